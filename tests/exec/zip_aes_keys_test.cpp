// An encrypted entry's keys, keystream and authentication code against values
// from other implementations (Python's, OpenSSL's), whichever of the
// processor's paths this machine takes: a wrong key opens in no other program.
#include <gtest/gtest.h>

#include <set>
#include <stop_token>
#include <string>
#include <utility>

#include "exec/aes_ctr.h"
#include "exec/hmac_sha1.h"
#include "exec/zip_aes.h"

namespace tarvex::exec::pack {
namespace {

std::string hex(const unsigned char* p, size_t n) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (size_t i = 0; i < n; ++i) out += {digits[p[i] >> 4], digits[p[i] & 15]};
    return out;
}

TEST(ZipAesKeys, MatchPbkdf2OfOtherImplementationsForShortAndLongPasswords) {
    unsigned char salt[kAesSalt];
    for (size_t i = 0; i < kAesSalt; ++i) salt[i] = static_cast<unsigned char>(i);
    const struct {
        std::string password, keys;
    } cases[] = {
        {"Senha-Secreta-42", "5c36841908e6fad8b4692d48a167ae3333f0ba7b92773875ef01f5e72229afc64a01583607efc407c61c03a8"
                             "8400acb3bdb116029f62022f39af14911b26918cdd7c"},
        // Longer than a hash block: the password is hashed first.
        {std::string(100, 'x'), "c11dad0df341d0fd009d6a96ca3d36c8b26ff2d9d584bb8437c3face45f906b1621aec6d076c09e23c2d"
                                "0657da80f0cff21ec88f1d854f5cff421b3ef7505cff6324"},
    };
    for (const auto& c : cases) {
        const ArchivePassword password(c.password);
        const ArchivePassword::Keys keys = password.keysFor(salt);
        EXPECT_EQ(hex(keys.data(), keys.size()), c.keys) << c.password.size();
        EXPECT_EQ(password.keysFor(salt), keys);   // found again, not derived differently
    }
}

// A salt reused by two entries would give both the same keystream; keys derived
// ahead or in a batch (side by side where the processor can) must be the ones
// a derivation of the salt alone gives.
TEST(ZipAesKeys, EachEntryGetsASaltOfItsOwnWithTheKeysItsDerivationGives) {
    const ArchivePassword password("Senha-Secreta-42");
    password.deriveAhead(std::stop_token{}, 2);
    std::set<std::string> salts;
    for (int entry = 0; entry < 9; ++entry) {
        const EntryCipher cipher(password);
        const auto head = cipher.head();
        salts.insert(hex(head.data(), kAesSalt));
        EXPECT_EQ(password.keysFor(head.data()), ArchivePassword(password.text()).keysFor(head.data())) << entry;
    }
    EXPECT_EQ(salts.size(), 9u);
}

// Pieces that straddle the hash's blocks, as an entry's encrypted pieces come.
TEST(ZipAesKeys, AuthenticationCodeOfAMessageFedInPiecesMatchesPythons) {
    unsigned char key[32], data[1000];
    for (int i = 0; i < 32; ++i) key[i] = static_cast<unsigned char>(i);
    for (int i = 0; i < 1000; ++i) data[i] = static_cast<unsigned char>(i * 7 % 256);
    HmacSha1 mac(key, sizeof key);
    for (const auto& [from, to] : {std::pair{0, 5}, {5, 5}, {5, 133}, {133, 640}, {640, 1000}})
        mac.update(data + from, static_cast<size_t>(to - from));
    const auto code = mac.finish();
    EXPECT_EQ(hex(code.data(), code.size()), "a871eb8c51fa37ef3c1b5003bc4abc1e462ecbab");
}

TEST(ZipAesKeys, KeystreamIsAesOfTheLittleEndianCounterFromOne) {
    if (!AesCounterStream::available()) GTEST_SKIP() << "no AES instructions here";
    unsigned char key[32], out[32];
    for (int i = 0; i < 32; ++i) key[i] = static_cast<unsigned char>(32 + i);
    AesCounterStream stream(key);
    stream.next(out, 2);
    EXPECT_EQ(hex(out, 32), "0e75fd70f4d114aed8613280be6c2b4969d5e80acb0fa8e457f07e154016afcd");
}

}  // namespace
}  // namespace tarvex::exec::pack
