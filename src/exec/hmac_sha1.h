#pragma once
// HMAC-SHA1 over SHA-1 blocks (sha1_block.h): the key derivation's thousands of
// 20-byte messages, and the authentication code over an entry's encrypted
// bytes, without a system call per entry or per piece.
#include <array>
#include <cstddef>
#include <cstdint>

#include "exec/sha1_block.h"

namespace tarvex::exec::pack {

class HmacSha1 {
public:
    HmacSha1(const unsigned char* key, std::size_t length);
    // The HMAC of a 20-byte message alone, by two blocks; of four at once, side
    // by side (`messages` and `out` may be the same).
    void of20(const unsigned char* message, unsigned char* out) const;
    void of20x4(unsigned char (*messages)[20], unsigned char (*out)[20]) const;
    // A long message, piece by piece, then its HMAC.
    void update(const unsigned char* data, std::size_t length);
    std::array<unsigned char, 20> finish();
    // The states after the key's inner and outer blocks, for a derivation of its own.
    const Sha1State& inner() const { return inner_; }
    const Sha1State& outer() const { return outer_; }

private:
    Sha1State inner_, outer_;
    Sha1State running_;              // inner_ and the message so far
    unsigned char pending_[64] = {};
    std::size_t used_ = 0;
    std::uint64_t total_ = 64;       // bytes hashed by running_, the key block first
};

}  // namespace tarvex::exec::pack
