#pragma once
// Bytes to a frame handler as the link's reader hands them over, without the
// reader: in read blocks of a given size, each offered until the handler has
// taken all of it, then one empty call for whatever the recogniser still had
// to scan again; or one byte at a time.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "link/FrameHandler.h"

namespace framefeed {

// The block size that feeds one byte at a time.
const size_t kByteByByte = 0;

inline void Feed(CFrameHandler& handler, const std::vector<uint8_t>& input, size_t block)
{
    if (block == kByteByByte) {
        for (uint8_t b : input) handler.OnByte(b);
        return;
    }
    for (size_t start = 0; start < input.size(); start += block) {
        const size_t count = std::min(block, input.size() - start);
        for (size_t done = 0; done < count;) done += handler.OnBytes(input.data() + start + done, count - done).taken;
    }
    handler.OnBytes(input.data(), 0);
}

}  // namespace framefeed
