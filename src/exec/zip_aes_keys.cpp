// An entry's keys from the password and its salt: PBKDF2 with HMAC-SHA1, a
// thousand rounds, written out over SHA-1 blocks (OpenSSL's own took several
// milliseconds an entry, libzip's on Windows thousands of system calls), and
// kept per salt so that reading the archive back derives nothing again.
#include <cstring>

#include "exec/sha1_block.h"
#include "exec/zip_aes.h"

namespace tarvex::exec::pack {

namespace {

constexpr int kRounds = 1000;

// HMAC-SHA1 with the key's padded blocks hashed once.
struct Hmac {
    Sha1State inner, outer;
    explicit Hmac(const std::string& password) {
        unsigned char block[64] = {};
        if (password.size() > sizeof block) sha1(reinterpret_cast<const unsigned char*>(password.data()), password.size(), block);
        else std::memcpy(block, password.data(), password.size());
        unsigned char pad[64];
        for (int i = 0; i < 64; ++i) pad[i] = block[i] ^ 0x36;
        sha1Block(inner, pad);
        for (int i = 0; i < 64; ++i) pad[i] = block[i] ^ 0x5c;
        sha1Block(outer, pad);
    }
    // The HMAC of a 20-byte message, which is all the derivation hashes: one
    // block each for the inner and the outer hash, padded by hand (the same
    // padding serves both, as both follow one 64-byte block).
    void of20(const unsigned char* message, unsigned char* out) const {
        unsigned char block[64] = {};
        std::memcpy(block, message, 20);
        block[20] = 0x80;
        block[62] = 0x02;   // (64 + 20) * 8 bits
        block[63] = 0xA0;
        Sha1State s = inner;
        sha1Block(s, block);
        sha1Bytes(s, block);
        s = outer;
        sha1Block(s, block);
        sha1Bytes(s, out);
    }
};

void deriveKeys(const std::string& password, const unsigned char* salt, unsigned char* out, std::size_t length) {
    const Hmac hmac(password);
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
