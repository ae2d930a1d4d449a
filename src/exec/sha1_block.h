#pragma once
// SHA-1's compression of one 64-byte block, with the processor's SHA
// instructions where it has them: an encrypted ZIP entry's key derivation runs
// it eight thousand times, which made it most of an encrypted archive's work.
#include <cstddef>
#include <cstdint>

namespace tarvex::exec::pack {

struct Sha1State {
    std::uint32_t h[5] = {0x67452301u, 0xEFCDAB89u, 0x98BADCFEu, 0x10325476u, 0xC3D2E1F0u};
};

void sha1Block(Sha1State& state, const unsigned char* block);
// Four states each by its own block, side by side: faster than one after another.
void sha1Blocks4(Sha1State* const* states, const unsigned char* const* blocks);
// The digest of a whole message (a password longer than a block).
void sha1(const unsigned char* data, std::size_t length, unsigned char* digest);
// The state's 20 bytes, big-endian.
void sha1Bytes(const Sha1State& state, unsigned char* out);

}  // namespace tarvex::exec::pack
