#include "exec/hmac_sha1.h"

#include <algorithm>
#include <cstring>

namespace tarvex::exec::pack {

namespace {

// The last block(s) of a hash of `total` bytes whose tail is `tail` (under 64).
void closeHash(Sha1State& s, const unsigned char* tail, std::size_t used, std::uint64_t total) {
    unsigned char last[128] = {};
    std::memcpy(last, tail, used);
    last[used] = 0x80;
    const std::size_t blocks = used + 9 > 64 ? 2 : 1;
    const std::uint64_t bits = total * 8;
    for (int b = 0; b < 8; ++b) last[blocks * 64 - 1 - b] = static_cast<unsigned char>(bits >> (8 * b));
    for (std::size_t b = 0; b < blocks; ++b) sha1Block(s, last + 64 * b);
}

}  // namespace

HmacSha1::HmacSha1(const unsigned char* key, std::size_t length) {
    unsigned char block[64] = {};
    if (length > sizeof block) sha1(key, length, block);
    else std::memcpy(block, key, length);
    unsigned char pad[64];
    for (int i = 0; i < 64; ++i) pad[i] = block[i] ^ 0x36;
    sha1Block(inner_, pad);
    for (int i = 0; i < 64; ++i) pad[i] = block[i] ^ 0x5c;
    sha1Block(outer_, pad);
    running_ = inner_;
}

// One block each for the inner and the outer hash, padded by hand (the same
// padding serves both, as both follow one 64-byte block).
void HmacSha1::of20(const unsigned char* message, unsigned char* out) const {
    unsigned char block[64] = {};
    std::memcpy(block, message, 20);
    block[20] = 0x80;
    block[62] = 0x02;   // (64 + 20) * 8 bits
    block[63] = 0xA0;
    Sha1State s = inner_;
    sha1Block(s, block);
    sha1Bytes(s, block);
    s = outer_;
    sha1Block(s, block);
    sha1Bytes(s, out);
}

void HmacSha1::of20x4(unsigned char (*messages)[20], unsigned char (*out)[20]) const {
    unsigned char blocks[4][64] = {};
    Sha1State states[4] = {inner_, inner_, inner_, inner_};
    Sha1State* const each[4] = {&states[0], &states[1], &states[2], &states[3]};
    const unsigned char* const data[4] = {blocks[0], blocks[1], blocks[2], blocks[3]};
    for (int l = 0; l < 4; ++l) {
        std::memcpy(blocks[l], messages[l], 20);
        blocks[l][20] = 0x80;
        blocks[l][62] = 0x02;
        blocks[l][63] = 0xA0;
    }
    sha1Blocks4(each, data);
    for (int l = 0; l < 4; ++l) {
        sha1Bytes(states[l], blocks[l]);
        states[l] = outer_;
    }
    sha1Blocks4(each, data);
    for (int l = 0; l < 4; ++l) sha1Bytes(states[l], out[l]);
}

void HmacSha1::update(const unsigned char* data, std::size_t length) {
    total_ += length;
    if (used_) {
        const std::size_t n = std::min(length, sizeof pending_ - used_);
        std::memcpy(pending_ + used_, data, n);
        used_ += n, data += n, length -= n;
        if (used_ < sizeof pending_) return;
        sha1Block(running_, pending_);
        used_ = 0;
    }
    for (; length >= 64; data += 64, length -= 64) sha1Block(running_, data);
    std::memcpy(pending_, data, length);
    used_ = length;
}

std::array<unsigned char, 20> HmacSha1::finish() {
    unsigned char inner[20];
    closeHash(running_, pending_, used_, total_);
    sha1Bytes(running_, inner);
    Sha1State s = outer_;
    closeHash(s, inner, sizeof inner, 64 + sizeof inner);
    std::array<unsigned char, 20> out;
    sha1Bytes(s, out.data());
    return out;
}

}  // namespace tarvex::exec::pack
