#pragma once
// A replay's bytes to a frame handler as the link's reader hands them over,
// without the reader: the handler's context (a playback channel whose
// protocol is found by itself, counted statistics, the model), and the bytes
// in read blocks of a given size, each offered until the handler has taken
// all of it, then one empty call for whatever the recogniser still had to
// scan again; or one byte at a time.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "link/FrameHandler.h"
#include "link/LinkStatistics.h"
#include "model/CModel.h"

namespace framefeed {

// What a frame handler of a replay into `model` needs; give it `context`.
struct ReplayContext {
    explicit ReplayContext(CModel& model)
    {
        link.protocol = PROTO_AUTO;
        context.channelType = LINK_CHANNEL_PLAYBACK;
        context.model = &model;
        context.statistics = &stats;
        context.link = &link;
    }
    ReplayContext(const ReplayContext&) = delete;
    ReplayContext& operator=(const ReplayContext&) = delete;

    LinkStatistics stats;
    CFrameLinkState link;
    FrameContext context;
};

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
