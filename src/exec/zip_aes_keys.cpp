// An entry's keys from the password and its salt: PBKDF2 with HMAC-SHA1, a
// thousand rounds, written out over SHA-1 blocks (OpenSSL's own took several
// milliseconds an entry, libzip's on Windows thousands of system calls), and
// kept per salt so that reading the archive back derives nothing again.
#include <cstring>

#include "exec/hmac_sha1.h"
#include "exec/zip_aes.h"

namespace tarvex::exec::pack {

namespace {

constexpr int kRounds = 1000;

void deriveKeys(const std::string& password, const unsigned char* salt, unsigned char* out, std::size_t length) {
    const HmacSha1 hmac(reinterpret_cast<const unsigned char*>(password.data()), password.size());
    for (std::uint32_t block = 1; length; ++block) {
        unsigned char first[kAesSalt + 4], u[20], sum[20];
        std::memcpy(first, salt, kAesSalt);
        for (int b = 0; b < 4; ++b) first[kAesSalt + b] = static_cast<unsigned char>(block >> (24 - 8 * b));
        static_assert(sizeof first == 20);
        hmac.of20(first, u);
        std::memcpy(sum, u, sizeof u);
        for (int r = 1; r < kRounds; ++r) {
            hmac.of20(u, u);
            for (std::size_t i = 0; i < sizeof u; ++i) sum[i] ^= u[i];
        }
        const std::size_t n = length < sizeof sum ? length : sizeof sum;
        std::memcpy(out, sum, n);
        out += n;
        length -= n;
    }
}

}  // namespace

ArchivePassword::Keys ArchivePassword::keysFor(const unsigned char* salt) const {
    const std::string key(reinterpret_cast<const char*>(salt), kAesSalt);
    {
        std::lock_guard lock(m_);
        if (auto it = bySalt_.find(key); it != bySalt_.end()) return it->second;
    }
    Keys keys;
    deriveKeys(text_, salt, keys.data(), keys.size());
    std::lock_guard lock(m_);
    bySalt_.emplace(key, keys);
    return keys;
}

}  // namespace tarvex::exec::pack
