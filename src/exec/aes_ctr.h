#pragma once
// The keystream of a WinZip AES-256 entry (AES of a little-endian block counter
// from 1) made with the processor's AES instructions, eight blocks in flight;
// where it has none, the cipher backend makes it a block at a time.
#include <cstddef>
#include <cstdint>

namespace tarvex::exec::pack {

class AesCounterStream {
public:
    static bool available();
    // Only where available().
    explicit AesCounterStream(const unsigned char* key32);
    // The next `blocks` 16-byte blocks of keystream.
    void next(unsigned char* out, std::size_t blocks);

private:
    alignas(16) unsigned char roundKeys_[15 * 16];
    std::uint64_t counter_ = 0;
};

}  // namespace tarvex::exec::pack
