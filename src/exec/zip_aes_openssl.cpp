// Elsewhere than Windows: the same AE-2 encryption, with OpenSSL (whose libcrypto
// Debian's libzip already uses) for the random salt and for AES where the
// processor has no AES instructions.
#ifndef _WIN32
#include <openssl/evp.h>
#include <openssl/rand.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <stdexcept>

#include "exec/aes_ctr.h"
#include "exec/hmac_sha1.h"
#include "exec/zip_aes.h"
#include "exec/zip_aes_stream.h"

namespace tarvex::exec::pack {

namespace {
constexpr std::size_t kKey = 32;
}

struct EntryCipher::Keys {
    EVP_CIPHER_CTX* aes = EVP_CIPHER_CTX_new();
    std::optional<AesCounterStream> fast;
    std::optional<HmacSha1> mac;
    std::uint64_t counter = 0;
    KeyStream stream;
    ~Keys() { EVP_CIPHER_CTX_free(aes); }

    void apply(unsigned char* data, std::size_t length) {
        stream.apply(data, length, [this](unsigned char* out) { refill(out); });
    }

    // The next keystream: the AES of a little-endian block counter from 1.
    void refill(unsigned char* out) {
        if (fast) return fast->next(out, KeyStream::kBlocks);
        unsigned char counters[16 * KeyStream::kBlocks] = {};
        for (std::size_t b = 0; b < KeyStream::kBlocks; ++b) {
            ++counter;
            for (int i = 0; i < 8; ++i) counters[b * 16 + i] = static_cast<unsigned char>(counter >> (8 * i));
        }
        int got = 0;
        if (EVP_EncryptUpdate(aes, out, &got, counters, sizeof counters) != 1 || got != sizeof counters)
            throw std::runtime_error("não foi possível criptografar (AES)");
    }
};

bool freshSalt(unsigned char* salt) { return RAND_bytes(salt, kAesSalt) == 1; }

EntryCipher::EntryCipher(const ArchivePassword& password) : keys_(std::make_unique<Keys>()) {
    if (!password.newSalt(head_.data()))
        throw std::runtime_error("não foi possível criptografar (gerador aleatório)");
    start(password);
}

EntryCipher::EntryCipher(const ArchivePassword& password, const unsigned char* salt) : keys_(std::make_unique<Keys>()) {
    std::memcpy(head_.data(), salt, kAesSalt);
    start(password);
}

void EntryCipher::start(const ArchivePassword& password) {
    if (password.empty() || !keys_->aes) throw std::runtime_error("não foi possível criptografar (chave AES)");
    ArchivePassword::Keys derived = password.keysFor(head_.data());
    keys_->mac.emplace(derived.data() + kKey, kKey);
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
    keys_->mac->update(data, length);
}

// The authentication code covers the encrypted bytes, on both ways.
void EntryCipher::decrypt(unsigned char* data, std::size_t length) {
    keys_->mac->update(data, length);
    keys_->apply(data, length);
}

std::array<unsigned char, kAesMac> EntryCipher::finish() {
    const auto mac = keys_->mac->finish();
    std::array<unsigned char, kAesMac> out;
    std::copy(mac.begin(), mac.begin() + kAesMac, out.begin());
    return out;
}

}  // namespace tarvex::exec::pack
#endif
