#pragma once
// One archive entry's WinZip AES-256 encryption (AE-2), done by the worker that
// compressed it: the key of each entry comes from the password and a fresh salt
// through a thousand rounds of hashing, which libzip would do one entry after
// another while closing the archive.
#include <array>
#include <cstddef>
#include <map>
#include <memory>
#include <mutex>
#include <stop_token>
#include <string>
#include <vector>

namespace tarvex::exec::pack {

// What an entry's encrypted data adds to it: the salt and the password check in
// front, the first ten bytes of the HMAC behind.
constexpr std::size_t kAesSalt = 16, kAesCheck = 2, kAesMac = 10;
constexpr std::size_t kAesOverhead = kAesSalt + kAesCheck + kAesMac;

constexpr std::size_t kAesKeys = 2 * 32 + kAesCheck;   // AES key, HMAC key, password check

// An archive's password, with the keys derived from it for each entry's salt
// while writing: reading the archive back finds them instead of deriving them
// again (the derivation was a third of an encrypted run). Shared by the workers.
class ArchivePassword {
public:
    explicit ArchivePassword(std::string text) : text_(std::move(text)) {}
    const std::string& text() const { return text_; }
    bool empty() const { return text_.empty(); }

    using Keys = std::array<unsigned char, kAesKeys>;
    Keys keysFor(const unsigned char* salt) const;   // derives once per salt

    // A new entry's salt, each handed out once, its keys ready: one derived
    // ahead, else a fresh batch derived now (four side by side where the
    // processor can, the others kept for the next entries); false when the
    // system's generator refuses.
    bool newSalt(unsigned char* salt) const;
    // Keys for fresh salts, derived until `stop` (or about `atMost` of them) on a
    // core that would otherwise wait: while the folder is walked, before any entry.
    static constexpr std::size_t kAheadAtMost = 1024;
    void deriveAhead(const std::stop_token& stop, std::size_t atMost = kAheadAtMost) const;

private:
    bool deriveBatch(unsigned char* mine) const;

    std::string text_;
    mutable std::mutex m_;
    mutable std::map<std::string, Keys> bySalt_;
    mutable std::vector<std::array<unsigned char, kAesSalt>> ready_;
};

// A random salt from the system's generator; false when it refuses.
bool freshSalt(unsigned char* salt);

class EntryCipher {
public:
    // A fresh salt and the entry's keys; throws std::runtime_error when the
    // system's cryptography refuses.
    explicit EntryCipher(const ArchivePassword& password);
    // Reading an entry back: the keys from the salt at the start of its data.
    EntryCipher(const ArchivePassword& password, const unsigned char* salt);
    ~EntryCipher();
    EntryCipher(const EntryCipher&) = delete;
    EntryCipher& operator=(const EntryCipher&) = delete;

    // Salt and password check: the first bytes of the entry's data.
    std::array<unsigned char, kAesSalt + kAesCheck> head() const { return head_; }
    // Encrypts in place, continuing where the previous call stopped.
    void encrypt(unsigned char* data, std::size_t length);
    void decrypt(unsigned char* data, std::size_t length);
    // The authentication code that ends the entry's data.
    std::array<unsigned char, kAesMac> finish();

    struct Keys;
private:
    void start(const ArchivePassword& password);
    std::array<unsigned char, kAesSalt + kAesCheck> head_{};
    std::unique_ptr<Keys> keys_;
};

// data ^= key, eight bytes at a time (byte by byte, this cost as much as the AES).
void xorBytes(unsigned char* data, const unsigned char* key, std::size_t n);

// Whether this build's libzip reads (and writes) AES entries at all.
bool aesAvailable();

// Raw deflate data that only stores `length` bytes, in blocks of at most 64 KiB;
// `last` ends the stream. An encrypted entry is always "deflated", because libzip
// would otherwise checksum a stored entry's encrypted bytes as if they were the file.
void appendStoredBlocks(std::vector<unsigned char>& out, const unsigned char* data, std::size_t length, bool last);

}  // namespace tarvex::exec::pack
