// Windows: the entry's keys derived here once (and found again when the archive
// is read back), the keystream from the processor's AES instructions and the
// authentication code over SHA-1 blocks; libzip's CNG functions, which the static
// libzip built by scripts/setup carries but does not declare in zip.h, give the
// random salt, and AES a block at a time where the processor has no AES
// instructions. libzip's own entry encryption derived the keys through thousands
// of system calls per entry, on writing and again on reading back.
#ifdef _WIN32
#include <zip.h>

#include <algorithm>
#include <optional>
#include <stdexcept>

#include "exec/aes_ctr.h"
#include "exec/hmac_sha1.h"
#include "exec/zip_aes.h"
#include "exec/zip_aes_stream.h"

extern "C" {
struct _zip_crypto_aes_s;
_zip_crypto_aes_s* _zip_crypto_aes_new(const zip_uint8_t* key, zip_uint16_t key_size, zip_error_t* error);
void _zip_crypto_aes_free(_zip_crypto_aes_s* aes);
bool _zip_crypto_aes_encrypt_block(_zip_crypto_aes_s* aes, const zip_uint8_t* in, zip_uint8_t* out);
bool zip_secure_random(zip_uint8_t* buffer, zip_uint16_t length);
}

namespace tarvex::exec::pack {

namespace {
constexpr std::size_t kKey = 32;
}

struct EntryCipher::Keys {
    std::optional<AesCounterStream> fast;
    _zip_crypto_aes_s* aes = nullptr;
    std::optional<HmacSha1> mac;
    std::uint64_t counter = 0;
    KeyStream stream;
    ~Keys() {
        if (aes) _zip_crypto_aes_free(aes);
    }

    void apply(unsigned char* data, std::size_t length) {
        stream.apply(data, length, [this](unsigned char* out) { refill(out); });
    }

    // The next keystream: the AES of a little-endian block counter from 1.
    void refill(unsigned char* out) {
        if (fast) return fast->next(out, KeyStream::kBlocks);
        for (std::size_t b = 0; b < KeyStream::kBlocks; ++b) {
            ++counter;
            unsigned char block[16] = {};
            for (int i = 0; i < 8; ++i) block[i] = static_cast<unsigned char>(counter >> (8 * i));
            if (!_zip_crypto_aes_encrypt_block(aes, block, out + 16 * b))
                throw std::runtime_error("não foi possível criptografar (AES)");
        }
    }
};

bool freshSalt(unsigned char* salt) { return zip_secure_random(salt, kAesSalt); }

EntryCipher::EntryCipher(const ArchivePassword& password) : keys_(std::make_unique<Keys>()) {
    if (!password.newSalt(head_.data()))
        throw std::runtime_error("não foi possível criptografar (gerador aleatório)");
    start(password);
}

EntryCipher::EntryCipher(const ArchivePassword& password, const unsigned char* salt) : keys_(std::make_unique<Keys>()) {
    std::copy(salt, salt + kAesSalt, head_.begin());
    start(password);
}

void EntryCipher::start(const ArchivePassword& password) {
    if (password.empty()) throw std::runtime_error("senha vazia");
    ArchivePassword::Keys derived = password.keysFor(head_.data());
    std::copy(derived.begin() + 2 * kKey, derived.end(), head_.begin() + kAesSalt);
    zip_error_t error;
    zip_error_init(&error);
    if (AesCounterStream::available()) keys_->fast.emplace(derived.data());
    else keys_->aes = _zip_crypto_aes_new(derived.data(), 8 * kKey, &error);
    keys_->mac.emplace(derived.data() + kKey, kKey);
    zip_error_fini(&error);
    std::fill(derived.begin(), derived.end(), 0);
    if (!keys_->fast && !keys_->aes) throw std::runtime_error("não foi possível criptografar (chave AES)");
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
