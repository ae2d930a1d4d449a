#pragma once
// The keys of four encrypted entries at once: their sixteen PBKDF2-HMAC-SHA1
// chains (four 20-byte blocks each) side by side in 512-bit registers, several
// times faster than the processor's SHA instructions on one entry's four.
#include "exec/sha1_block.h"

namespace tarvex::exec::pack {

bool wideKeysAvailable();

// `inner` and `outer`: the HMAC's states after the password's key block. Each
// salt is 16 bytes; each output the first 80 bytes of its derived key stream.
// Only where wideKeysAvailable().
void deriveWide(const Sha1State& inner, const Sha1State& outer, const unsigned char (*salts)[16], int rounds,
                unsigned char (*out)[80]);

}  // namespace tarvex::exec::pack
