#pragma once
// A whole conversion on the calling thread, for the tests, the fuzz target,
// the benchmark and the command-line converter: recorded bytes go to a frame
// handler bound as a conversion's reader binds it (the converter and the model
// in its context, a playback channel's type, the link speaking QBIN as a
// conversion starts it), through every decoder into a real model, whose events
// all go to the converter engine and its writers, as the link's controller
// passes them during a conversion.
//
//     ConversionPipeline pipeline;
//     if (pipeline.Open(options) == 0) {
//         pipeline.Feed(bytes, count);      // as often as the bytes arrive
//         pipeline.End();                   // end of data, then Finish
//     }
//
// The files go wherever the file layer's backend puts them: a
// MemoryFileBackend in tests and fuzzing, the disk otherwise.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "link/CConverterEngine.h"
#include "link/FrameHandler.h"
#include "link/LinkStatistics.h"
#include "model/CModel.h"
#include "model/ReceiverEvent.h"
#include "model/ReceiverEventSink.h"

namespace convsupport {

// The largest block a conversion's reader reads from its recording at once.
const size_t kReadBlock = 65536;

// The options of a conversion of `inputPath` that writes every output, with
// nothing to ask: an existing output is replaced.
inline ConverterOptions EveryOutputOf(const std::string& inputPath)
{
    ConverterOptions options;
    options.inputPath = inputPath.c_str();
    options.overwrite = true;
    options.mapCsv = true;
    options.kml = true;
    options.nmeaGga = true;
    options.textTranslation = true;
    options.spreadsheet = true;
    return options;
}

// How the recording's bytes reach the frame handler.
enum FeedMode {
    FEED_AS_READER,     // whole read blocks, as the conversion's reader hands them over
    FEED_BYTE_BY_BYTE   // one byte at a time (the tests compare: the outputs are the same)
};

class ConversionPipeline : public IReceiverEventSink {
public:
    explicit ConversionPipeline(FeedMode feed = FEED_AS_READER) : m_feed(feed) {}
    ~ConversionPipeline() override { End(); }
    ConversionPipeline(const ConversionPipeline&) = delete;
    ConversionPipeline& operator=(const ConversionPipeline&) = delete;

    // The engine's result (0, or 1 / 2 when its outputs could not be made).
    // The model is attached first, so that even a recording that ends at once
    // reaches the engine with its end.
    int Open(const ConverterOptions& options)
    {
        if (m_open) End();
        if (!m_model.Attach(this, nullptr)) return 1;
        m_link.protocol = PROTO_QBIN;
        m_link.stop = false;
        m_link.readCount = 0;
        m_position = 0;
        const int result = m_engine.Open(options, &m_model);
        if (result != 0) {
            m_model.Detach();
            return result;
        }
        FrameContext context;
        context.channelType = LINK_CHANNEL_PLAYBACK;
        context.model = &m_model;
        context.converter = &m_engine;
        context.statistics = &m_statistics;
        context.link = &m_link;
        m_handler.reset(new CFrameHandler(context));
        m_open = true;
        m_stopped = false;
        return 0;
    }

    // The next bytes of the recording. Bytes after a stop (a writer asked
    // for it, or the engine became inactive) are not taken. False once
    // stopped.
    bool Feed(const uint8_t* bytes, size_t count)
    {
        if (m_feed == FEED_AS_READER) return FeedBlocks(bytes, count);
        // Byte by byte, each with its file position (which the CRC and
        // broken-packet reports print).
        for (size_t i = 0; i < count && !IsStopped(); ++i) {
            m_link.readCount.store(++m_position, std::memory_order_relaxed);
            if (m_handler->OnByte(bytes[i]).stopRequested) m_stopped = true;
        }
        return !IsStopped();
    }

    // The end of the recording: the end of data is announced (the engine
    // closes its KML there), and the engine finishes its files. Returns
    // whether the engine stayed active to the end, that is, whether nothing
    // stopped it.
    bool End()
    {
        if (!m_open) return false;
        // Bytes the recogniser must scan again, should any be left.
        if (!IsStopped()) {
            while (m_handler->GetRecogniser().HasPending()) m_handler->OnBytes(nullptr, 0);
        }
        m_handler.reset();
        m_model.Notify(EV_END_OF_DATA, 0, IsSentEvent(EV_END_OF_DATA));
        const bool completed = !m_stopped && m_engine.IsActive();
        m_engine.Finish();
        m_model.Detach();
        m_open = false;
        return completed;
    }

    // During a conversion every event goes to the engine alone; a writer
    // that asks to stop ends the reading after the frame being decoded.
    bool NotifyListeners(int32_t event, int32_t, bool) override
    {
        if (m_open && !m_engine.OnModelEvent(event)) {
            m_stopped = true;
            m_link.stop = true;
        }
        return true;
    }

    bool IsStopped() const { return m_stopped || !m_engine.IsActive(); }
    FeedMode GetFeedMode() const { return m_feed; }
    CModel& GetModel() { return m_model; }
    CConverterEngine& GetEngine() { return m_engine; }
    const LinkStatistics& GetStatistics() const { return m_statistics; }

private:
    // As a conversion's reader hands over a block it read: the whole block
    // to the handler, which returns after each frame; the read count is the
    // block's end, from which the handler counts back to where a frame ended.
    bool FeedBlocks(const uint8_t* bytes, size_t count)
    {
        for (size_t start = 0; start < count && !IsStopped(); start += kReadBlock) {
            const size_t block = std::min(kReadBlock, count - start);
            m_position += static_cast<uint32_t>(block);
            m_link.readCount.store(m_position, std::memory_order_relaxed);
            for (size_t done = 0; done < block && !m_stopped;) {
                const FrameStep step = m_handler->OnBytes(bytes + start + done, block - done);
                done += step.taken;
                if (step.stopRequested) m_stopped = true;
            }
        }
        return !IsStopped();
    }

    const FeedMode m_feed;
    CModel m_model;
    CConverterEngine m_engine;
    LinkStatistics m_statistics;
    CFrameLinkState m_link;
    std::unique_ptr<CFrameHandler> m_handler;
    bool m_open = false;
    bool m_stopped = false;
    uint32_t m_position = 0;   // bytes of the recording handed over
};

}  // namespace convsupport
