#include "exec/zip_aes.h"

#include <zip.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace tarvex::exec::pack {

void xorBytes(unsigned char* data, const unsigned char* key, std::size_t n) {
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t a, b;
        std::memcpy(&a, data + i, 8);
        std::memcpy(&b, key + i, 8);
        a ^= b;
        std::memcpy(data + i, &a, 8);
    }
    for (; i < n; ++i) data[i] ^= key[i];
}

bool aesAvailable() { return zip_encryption_method_supported(ZIP_EM_AES_256, 1) != 0; }

void appendStoredBlocks(std::vector<unsigned char>& out, const unsigned char* data, std::size_t length, bool last) {
    constexpr std::size_t kBlock = 65535;
    std::size_t at = 0;
    do {
        const std::size_t n = std::min(kBlock, length - at);
        const bool final = last && at + n == length;
        const unsigned char head[5] = {static_cast<unsigned char>(final ? 1 : 0),
                                       static_cast<unsigned char>(n), static_cast<unsigned char>(n >> 8),
                                       static_cast<unsigned char>(~n), static_cast<unsigned char>(~n >> 8)};
        out.insert(out.end(), head, head + 5);
        out.insert(out.end(), data + at, data + at + n);
        at += n;
    } while (at < length);
}

}  // namespace tarvex::exec::pack
