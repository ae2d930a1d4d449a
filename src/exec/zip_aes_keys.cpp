// An entry's keys from the password and its salt: PBKDF2 with HMAC-SHA1, a
// thousand rounds, written out over SHA-1 blocks (OpenSSL's own took several
// milliseconds an entry, libzip's on Windows thousands of system calls), and
// kept per salt so that reading the archive back derives nothing again.
#include <algorithm>
#include <cstring>

#include "exec/hmac_sha1.h"
#include "exec/zip_aes.h"

namespace tarvex::exec::pack {

namespace {

constexpr int kRounds = 1000;

// The four 20-byte blocks of the keys are independent chains of rounds: they
// are hashed side by side.
void deriveKeys(const std::string& password, const unsigned char* salt, unsigned char* out, std::size_t length) {
    static_assert(kAesKeys <= 4 * 20);
    const HmacSha1 hmac(reinterpret_cast<const unsigned char*>(password.data()), password.size());
    unsigned char u[4][20], sum[4][20];
    for (std::uint32_t block = 1; block <= 4; ++block) {
        std::memcpy(u[block - 1], salt, kAesSalt);
        for (int b = 0; b < 4; ++b) u[block - 1][kAesSalt + b] = static_cast<unsigned char>(block >> (24 - 8 * b));
    }
    static_assert(kAesSalt + 4 == 20);
    hmac.of20x4(u, u);
    std::memcpy(sum, u, sizeof u);
    for (int r = 1; r < kRounds; ++r) {
        hmac.of20x4(u, u);
        for (int l = 0; l < 4; ++l)
            for (int i = 0; i < 20; ++i) sum[l][i] ^= u[l][i];
    }
    std::memcpy(out, sum, std::min(length, sizeof sum));
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

void ArchivePassword::deriveAhead(const std::stop_token& stop, std::size_t atMost) const {
    for (std::size_t n = 0; n < atMost && !stop.stop_requested(); ++n) {
        std::array<unsigned char, kAesSalt> salt;
        if (!freshSalt(salt.data())) return;   // each entry then asks for its own, and says why
        keysFor(salt.data());
        std::lock_guard lock(m_);
        ready_.push_back(salt);
    }
}

bool ArchivePassword::takeSalt(unsigned char* salt) const {
    std::lock_guard lock(m_);
    if (ready_.empty()) return false;
    std::copy(ready_.back().begin(), ready_.back().end(), salt);
    ready_.pop_back();
    return true;
}

}  // namespace tarvex::exec::pack
