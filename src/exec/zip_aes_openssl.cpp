// Elsewhere than Windows: the same AE-2 encryption with OpenSSL, whose libcrypto
// Debian's libzip already uses (its WinZip AES functions are not exported).
// The key derivation is written out over SHA-1 states, because OpenSSL 3's own
// PBKDF2 costs several milliseconds per entry.
#ifndef _WIN32
#define OPENSSL_SUPPRESS_DEPRECATED
#include <openssl/evp.h>
#include <openssl/rand.h>
#include <openssl/sha.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <stdexcept>

#include "exec/zip_aes.h"

namespace tarvex::exec::pack {

namespace {

constexpr int kRounds = 1000;
constexpr std::size_t kKey = 32;

// HMAC-SHA1 with the key's padded blocks hashed once.
struct Hmac {
    SHA_CTX inner, outer;
    explicit Hmac(const unsigned char* key, std::size_t length) {
        unsigned char block[64] = {}, hashed[SHA_DIGEST_LENGTH];
        if (length > sizeof block) {
            SHA1(key, length, hashed);
            key = hashed;
            length = sizeof hashed;
        }
        std::memcpy(block, key, length);
        unsigned char pad[64];
        for (int i = 0; i < 64; ++i) pad[i] = block[i] ^ 0x36;
        SHA1_Init(&inner);
        SHA1_Update(&inner, pad, 64);
        for (int i = 0; i < 64; ++i) pad[i] = block[i] ^ 0x5c;
        SHA1_Init(&outer);
        SHA1_Update(&outer, pad, 64);
    }
    static void close(SHA_CTX inner, SHA_CTX outer, unsigned char* out) {
        unsigned char mid[SHA_DIGEST_LENGTH];
        SHA1_Final(mid, &inner);
        SHA1_Update(&outer, mid, sizeof mid);
        SHA1_Final(out, &outer);
    }
    // The HMAC of a 20-byte message, which is all the key derivation hashes: one
    // block each for the inner and the outer hash, padded by hand (the same
    // padding serves both, as both follow one 64-byte block).
    void of20(const unsigned char* message, unsigned char* out) const {
        unsigned char block[64] = {};
        std::memcpy(block, message, 20);
        block[20] = 0x80;
        block[62] = 0x02;   // (64 + 20) * 8 bits
        block[63] = 0xA0;
        SHA_CTX c = inner;
        SHA1_Transform(&c, block);
        digest(c, block);
        c = outer;
        SHA1_Transform(&c, block);
        digest(c, out);
    }
    static void digest(const SHA_CTX& c, unsigned char* out) {
        const SHA_LONG h[5] = {c.h0, c.h1, c.h2, c.h3, c.h4};
        for (int i = 0; i < 5; ++i)
            for (int b = 0; b < 4; ++b) out[4 * i + b] = static_cast<unsigned char>(h[i] >> (24 - 8 * b));
    }
};

void deriveKeys(const std::string& password, const unsigned char* salt, unsigned char* out, std::size_t length) {
    const Hmac hmac(reinterpret_cast<const unsigned char*>(password.data()), password.size());
    for (std::uint32_t block = 1; length; ++block) {
        unsigned char first[kAesSalt + 4], u[SHA_DIGEST_LENGTH], sum[SHA_DIGEST_LENGTH];
        std::memcpy(first, salt, kAesSalt);
        for (int b = 0; b < 4; ++b) first[kAesSalt + b] = static_cast<unsigned char>(block >> (24 - 8 * b));
        static_assert(sizeof first == 20);
        hmac.of20(first, u);
        std::memcpy(sum, u, sizeof u);
        for (int r = 1; r < kRounds; ++r) {
            hmac.of20(u, u);
            for (std::size_t i = 0; i < sizeof u; ++i) sum[i] ^= u[i];
        }
        const std::size_t n = std::min(length, sizeof sum);
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

struct EntryCipher::Keys {
    EVP_CIPHER_CTX* aes = EVP_CIPHER_CTX_new();
    SHA_CTX macInner{}, macOuter{};
    std::uint64_t counter = 0;
    unsigned char stream[4096];
    std::size_t used = sizeof stream;
    ~Keys() { EVP_CIPHER_CTX_free(aes); }

    void apply(unsigned char* data, std::size_t length) {
        while (length) {
            if (used == sizeof stream) refill();
            const std::size_t n = std::min(length, sizeof stream - used);
            xorInto(data, stream + used, n);
            used += n;
            data += n;
            length -= n;
        }
    }

    // Eight bytes at a time: byte by byte, this loop cost as much as the AES.
    static void xorInto(unsigned char* data, const unsigned char* key, std::size_t n) {
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

    // The next keystream: the AES of a little-endian block counter from 1.
    void refill() {
        unsigned char counters[sizeof stream] = {};
        for (std::size_t b = 0; b < sizeof stream / 16; ++b) {
            ++counter;
            for (int i = 0; i < 8; ++i) counters[b * 16 + i] = static_cast<unsigned char>(counter >> (8 * i));
        }
        int got = 0;
        if (EVP_EncryptUpdate(aes, stream, &got, counters, sizeof counters) != 1 || got != sizeof counters)
            throw std::runtime_error("não foi possível criptografar (AES)");
        used = 0;
    }
};

EntryCipher::EntryCipher(const ArchivePassword& password) : keys_(std::make_unique<Keys>()) {
    if (RAND_bytes(head_.data(), kAesSalt) != 1) throw std::runtime_error("não foi possível criptografar (gerador aleatório)");
    start(password);
}

EntryCipher::EntryCipher(const ArchivePassword& password, const unsigned char* salt) : keys_(std::make_unique<Keys>()) {
    std::memcpy(head_.data(), salt, kAesSalt);
    start(password);
}

void EntryCipher::start(const ArchivePassword& password) {
    if (password.empty() || !keys_->aes) throw std::runtime_error("não foi possível criptografar (chave AES)");
    ArchivePassword::Keys derived = password.keysFor(head_.data());
    const Hmac mac(derived.data() + kKey, kKey);
    keys_->macInner = mac.inner;
    keys_->macOuter = mac.outer;
    std::memcpy(head_.data() + kAesSalt, derived.data() + 2 * kKey, kAesCheck);
    const bool ok = EVP_EncryptInit_ex(keys_->aes, EVP_aes_256_ecb(), nullptr, derived.data(), nullptr) == 1 &&
                    EVP_CIPHER_CTX_set_padding(keys_->aes, 0) == 1;
    OPENSSL_cleanse(derived.data(), derived.size());
    if (!ok) throw std::runtime_error("não foi possível criptografar (chave AES)");
}

EntryCipher::~EntryCipher() = default;

void EntryCipher::encrypt(unsigned char* data, std::size_t length) {
    keys_->apply(data, length);
    SHA1_Update(&keys_->macInner, data, length);
}

// The authentication code covers the encrypted bytes, on both ways.
void EntryCipher::decrypt(unsigned char* data, std::size_t length) {
    SHA1_Update(&keys_->macInner, data, length);
    keys_->apply(data, length);
}

std::array<unsigned char, kAesMac> EntryCipher::finish() {
    unsigned char mac[SHA_DIGEST_LENGTH];
    Hmac::close(keys_->macInner, keys_->macOuter, mac);
    std::array<unsigned char, kAesMac> out;
    std::copy(mac, mac + kAesMac, out.begin());
    return out;
}

}  // namespace tarvex::exec::pack
#endif
