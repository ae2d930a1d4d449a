// The SSH library's Diffie-Hellman numbers as the sending code gets them: a
// result that would begin with zero bytes comes without them. With them, the key
// exchange hashed the number wrongly and about one SFTP connection in 128 failed
// ("Unable to exchange encryption keys").
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

// libssh2's own numbers and context with Windows' CNG (the version scripts/setup builds).
extern "C" {
struct Ssh2Number {
    unsigned char* bytes;
    unsigned long length;
};
struct Ssh2DhContext {
    void* keyHandle;
    void* parameters;
    Ssh2Number* exponent;
};
int libssh2_init(int flags);
Ssh2Number* _libssh2_wincng_bignum_init(void);
void _libssh2_wincng_bignum_from_bin(Ssh2Number* n, unsigned long length, const unsigned char* bytes);
int _libssh2_dh_secret(Ssh2DhContext* context, Ssh2Number* secret, Ssh2Number* theirs, Ssh2Number* prime);
void _libssh2_dh_dtor(Ssh2DhContext* context);
void _libssh2_wincng_bignum_free(Ssh2Number* n);
}

namespace {

Ssh2Number* number(const std::vector<unsigned char>& bytes) {
    Ssh2Number* n = _libssh2_wincng_bignum_init();
    _libssh2_wincng_bignum_from_bin(n, static_cast<unsigned long>(bytes.size()), bytes.data());
    return n;
}

struct Case {
    std::vector<unsigned char> theirs, exponent, secret;
};

TEST(SshKeyExchange, ASharedSecretComesWithoutLeadingZeroBytes) {
    ASSERT_EQ(libssh2_init(0), 0);
    const std::vector<unsigned char> prime{1, 0, 0, 0, 0, 0, 0, 0, 13};   // 2^64 + 13
    const Case cases[] = {
        {{2}, {1}, {2}},
        {{3}, {2}, {9}},
        {{1, 0, 0, 0, 0, 0, 0, 0, 1}, {1}, {1, 0, 0, 0, 0, 0, 0, 0, 1}},   // as long as the prime: kept whole
    };
    for (const Case& c : cases) {
        Ssh2DhContext context{nullptr, nullptr, number(c.exponent)};
        Ssh2Number* p = number(prime);
        Ssh2Number* theirs = number(c.theirs);
        Ssh2Number* secret = _libssh2_wincng_bignum_init();
        ASSERT_EQ(_libssh2_dh_secret(&context, secret, theirs, p), 0);
        EXPECT_EQ(std::vector<unsigned char>(secret->bytes, secret->bytes + secret->length), c.secret)
            << "their value " << int(c.theirs.back()) << ", exponent " << int(c.exponent.back());
        _libssh2_wincng_bignum_free(secret);
        _libssh2_wincng_bignum_free(theirs);
        _libssh2_wincng_bignum_free(p);
        _libssh2_dh_dtor(&context);
    }
}

}  // namespace
