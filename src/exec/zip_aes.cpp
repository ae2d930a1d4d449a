#include "exec/zip_aes.h"

#include <zip.h>

#include <algorithm>

namespace tarvex::exec::pack {

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
