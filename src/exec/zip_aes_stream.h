#pragma once
// An entry's AES counter-mode keystream, xored over its data in the order the
// data comes; each build makes the keystream a buffer at a time with the block
// function it has.
#include <algorithm>
#include <cstddef>

#include "exec/zip_aes.h"

namespace tarvex::exec::pack {

class KeyStream {
public:
    static constexpr std::size_t kBlocks = 256;   // 16-byte blocks made at once

    // fill(out) writes the next kBlocks blocks of the keystream.
    template <class Fill>
    void apply(unsigned char* data, std::size_t length, Fill&& fill) {
        while (length) {
            if (used_ == sizeof stream_) {
                fill(stream_);
                used_ = 0;
            }
            const std::size_t n = std::min(length, sizeof stream_ - used_);
            xorBytes(data, stream_ + used_, n);
            used_ += n;
            data += n;
            length -= n;
        }
    }

private:
    unsigned char stream_[16 * kBlocks];
    std::size_t used_ = sizeof stream_;
};

}  // namespace tarvex::exec::pack
