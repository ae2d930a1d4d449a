// An entry's keys from the password and its salt: PBKDF2 with HMAC-SHA1, a
// thousand rounds, written out over SHA-1 blocks (OpenSSL's own took several
// milliseconds an entry, libzip's on Windows thousands of system calls), and
// kept per salt so that reading the archive back derives nothing again.
#include <algorithm>
#include <array>
#include <cstring>

#include "exec/hmac_sha1.h"
#include "exec/pbkdf2_wide.h"
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

// Fresh salts and their keys: the first to `mine` (when given), the others kept ready.
bool ArchivePassword::deriveBatch(unsigned char* mine) const {
    const std::size_t n = wideKeysAvailable() ? 4 : 1;
    unsigned char salts[4][kAesSalt];
    for (std::size_t i = 0; i < n; ++i)
        if (!freshSalt(salts[i])) return false;
    Keys keys[4];
    if (n == 4) {
        const HmacSha1 hmac(reinterpret_cast<const unsigned char*>(text_.data()), text_.size());
        unsigned char out[4][80];
        deriveWide(hmac.inner(), hmac.outer(), salts, kRounds, out);
        for (std::size_t i = 0; i < n; ++i) std::memcpy(keys[i].data(), out[i], keys[i].size());
    } else {
        deriveKeys(text_, salts[0], keys[0].data(), keys[0].size());
    }
    std::lock_guard lock(m_);
    for (std::size_t i = 0; i < n; ++i) {
        bySalt_.emplace(std::string(reinterpret_cast<const char*>(salts[i]), kAesSalt), keys[i]);
        if (i == 0 && mine) std::memcpy(mine, salts[i], kAesSalt);
        else ready_.push_back(std::to_array(salts[i]));
    }
    return true;
}

bool ArchivePassword::newSalt(unsigned char* salt) const {
    {
        std::lock_guard lock(m_);
        if (!ready_.empty()) {
            std::copy(ready_.back().begin(), ready_.back().end(), salt);
            ready_.pop_back();
            return true;
        }
    }
    return deriveBatch(salt);
}

void ArchivePassword::deriveAhead(const std::stop_token& stop, std::size_t atMost) const {
    const std::size_t batch = wideKeysAvailable() ? 4 : 1;
    for (std::size_t n = 0; n < atMost && !stop.stop_requested(); n += batch)
        if (!deriveBatch(nullptr)) return;   // each entry then asks for its own, and says why
}

}  // namespace tarvex::exec::pack
