// Windows: libzip's own WinZip AES code (its CNG backend), which the static
// libzip built by scripts/setup carries but does not declare in zip.h.
#ifdef _WIN32
#include <zip.h>

#include <stdexcept>

#include "exec/zip_aes.h"

extern "C" {
struct zip_winzip_aes;
zip_winzip_aes* _zip_winzip_aes_new(const zip_uint8_t* password, zip_uint64_t password_length, const zip_uint8_t* salt,
                                    zip_uint16_t encryption_method, zip_uint8_t* password_verify, zip_error_t* error);
bool _zip_winzip_aes_encrypt(zip_winzip_aes* ctx, zip_uint8_t* data, zip_uint64_t length);
bool _zip_winzip_aes_decrypt(zip_winzip_aes* ctx, zip_uint8_t* data, zip_uint64_t length);
bool _zip_winzip_aes_finish(zip_winzip_aes* ctx, zip_uint8_t* hmac);
void _zip_winzip_aes_free(zip_winzip_aes* ctx);
bool zip_secure_random(zip_uint8_t* buffer, zip_uint16_t length);
}

namespace tarvex::exec::pack {

struct EntryCipher::Keys {
    zip_winzip_aes* ctx = nullptr;
};

EntryCipher::EntryCipher(const ArchivePassword& password) : keys_(std::make_unique<Keys>()) {
    if (!zip_secure_random(head_.data(), kAesSalt))
        throw std::runtime_error("não foi possível criptografar (gerador aleatório)");
    start(password);
}

EntryCipher::EntryCipher(const ArchivePassword& password, const unsigned char* salt) : keys_(std::make_unique<Keys>()) {
    std::copy(salt, salt + kAesSalt, head_.begin());
    start(password);
}

void EntryCipher::start(const ArchivePassword& password) {
    if (password.empty()) throw std::runtime_error("senha vazia");
    const std::string& text = password.text();
    zip_error_t error;
    zip_error_init(&error);
    keys_->ctx = _zip_winzip_aes_new(reinterpret_cast<const zip_uint8_t*>(text.data()), text.size(),
                                     head_.data(), ZIP_EM_AES_256, head_.data() + kAesSalt, &error);
    zip_error_fini(&error);
    if (!keys_->ctx) throw std::runtime_error("não foi possível criptografar (chave AES)");
}

EntryCipher::~EntryCipher() {
    if (keys_->ctx) _zip_winzip_aes_free(keys_->ctx);
}

void EntryCipher::encrypt(unsigned char* data, std::size_t length) {
    if (length && !_zip_winzip_aes_encrypt(keys_->ctx, data, length))
        throw std::runtime_error("não foi possível criptografar (AES)");
}

void EntryCipher::decrypt(unsigned char* data, std::size_t length) {
    if (length && !_zip_winzip_aes_decrypt(keys_->ctx, data, length))
        throw std::runtime_error("não foi possível descriptografar (AES)");
}

std::array<unsigned char, kAesMac> EntryCipher::finish() {
    unsigned char mac[20];
    if (!_zip_winzip_aes_finish(keys_->ctx, mac)) throw std::runtime_error("não foi possível criptografar (HMAC)");
    std::array<unsigned char, kAesMac> out;
    std::copy(mac, mac + kAesMac, out.begin());
    return out;
}

}  // namespace tarvex::exec::pack
#endif
