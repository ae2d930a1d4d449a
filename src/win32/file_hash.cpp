#include "win32/file_hash.h"

#include <windows.h>
#include <bcrypt.h>

#include <cstdio>
#include <vector>

#include "platform/files.h"

namespace tarvex::win32 {

std::string sha256Hex(const std::string& cp1252Path) {
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    BCRYPT_HASH_HANDLE hash = nullptr;
    std::FILE* in = _wfopen(platform::fsPath(cp1252Path).c_str(), L"rb");
    std::string hex;
    if (in && BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0)) &&
        BCRYPT_SUCCESS(BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0))) {
        std::vector<unsigned char> buffer(1 << 20);
        bool read = true;
        for (size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), in)) > 0;)
            read = read && BCRYPT_SUCCESS(BCryptHashData(hash, buffer.data(), static_cast<ULONG>(n), 0));
        unsigned char digest[32];
        if (read && !std::ferror(in) && BCRYPT_SUCCESS(BCryptFinishHash(hash, digest, sizeof digest, 0)))
            for (unsigned char b : digest) {
                static const char digits[] = "0123456789abcdef";
                hex += digits[b >> 4];
                hex += digits[b & 15];
            }
    }
    if (hash) BCryptDestroyHash(hash);
    if (algorithm) BCryptCloseAlgorithmProvider(algorithm, 0);
    if (in) std::fclose(in);
    return hex;
}

}  // namespace tarvex::win32
