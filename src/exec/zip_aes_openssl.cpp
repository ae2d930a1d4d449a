// Elsewhere than Windows: the same AE-2 encryption with OpenSSL, whose libcrypto
// Debian's libzip already uses (its WinZip AES functions are not exported); the
// keystream from the processor's AES instructions where it has them.
#ifndef _WIN32
#define OPENSSL_SUPPRESS_DEPRECATED
#include <openssl/evp.h>
#include <openssl/rand.h>
#include <openssl/sha.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <stdexcept>

#include "exec/aes_ctr.h"
#include "exec/zip_aes.h"

namespace tarvex::exec::pack {

namespace {

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
};

}  // namespace

struct EntryCipher::Keys {
    EVP_CIPHER_CTX* aes = EVP_CIPHER_CTX_new();
    std::optional<AesCounterStream> fast;
    SHA_CTX macInner{}, macOuter{};
    std::uint64_t counter = 0;
    unsigned char stream[4096];
    std::size_t used = sizeof stream;
    ~Keys() { EVP_CIPHER_CTX_free(aes); }

    void apply(unsigned char* data, std::size_t length) {
        while (length) {
            if (used == sizeof stream) refill();
            const std::size_t n = std::min(length, sizeof stream - used);
            xorBytes(data, stream + used, n);
            used += n;
            data += n;
            length -= n;
        }
    }

    // The next keystream: the AES of a little-endian block counter from 1.
    void refill() {
        used = 0;
        if (fast) return fast->next(stream, sizeof stream / 16);
        unsigned char counters[sizeof stream] = {};
        for (std::size_t b = 0; b < sizeof stream / 16; ++b) {
            ++counter;
            for (int i = 0; i < 8; ++i) counters[b * 16 + i] = static_cast<unsigned char>(counter >> (8 * i));
        }
        int got = 0;
        if (EVP_EncryptUpdate(aes, stream, &got, counters, sizeof counters) != 1 || got != sizeof counters)
            throw std::runtime_error("não foi possível criptografar (AES)");
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
    if (AesCounterStream::available()) keys_->fast.emplace(derived.data());
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
