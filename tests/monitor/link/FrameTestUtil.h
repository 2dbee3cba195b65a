#pragma once
// Shared fixtures of the frame recogniser and frame handler tests: byte
// vectors written as hex text, a sink that records what the recogniser
// found, and a listener that records the events a model raised (with the raw
// frame that event 34 carried).
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "framework/CArray.h"
#include "link/FrameRecogniser.h"
#include "model/CModel.h"
#include "model/ReceiverEventSink.h"

namespace frametest {

typedef std::vector<uint8_t> Bytes;

// "10 41 00 10 03" -> bytes; words that are not hex pairs are taken as text
// when quoted: "'$GPGGA' 0D 0A".
inline Bytes Hex(const std::string& text)
{
    Bytes out;
    size_t i = 0;
    while (i < text.size()) {
        char c = text[i];
        if (c == ' ') {
            ++i;
        } else if (c == '\'') {
            size_t end = text.find('\'', i + 1);
            if (end == std::string::npos) end = text.size();
            out.insert(out.end(), text.begin() + static_cast<long>(i) + 1, text.begin() + static_cast<long>(end));
            i = end + 1;
        } else {
            out.push_back(static_cast<uint8_t>(std::strtoul(text.substr(i, 2).c_str(), nullptr, 16)));
            i += 2;
        }
    }
    return out;
}

inline Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }
inline std::string AsString(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

inline Bytes Cat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

inline std::string ToHex(const Bytes& b)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string s;
    for (size_t i = 0; i < b.size(); ++i) {
        if (i) s += ' ';
        s += digits[b[i] >> 4];
        s += digits[b[i] & 15];
    }
    return s;
}

// One finding of the recogniser, as text for readable comparisons:
// "frame 3: 10 41 00 10 03", "broken 46-01 len 1", "bang 5".
class RecordingFrameSink : public IFrameSink {
public:
    void OnFrame(ProtocolKind kind, const BYTE* frame, int length) override
    {
        found.push_back("frame " + std::to_string(kind) + ": " + ToHex(Bytes(frame, frame + length)));
    }
    void OnBrokenQbinPacket(BYTE id, BYTE firstData, int length) override
    {
        char text[64];
        snprintf(text, sizeof text, "broken %02X-%02X len %d", id, firstData, length);
        found.push_back(text);
    }
    void OnBangDigit(BYTE digit) override { found.push_back(std::string("bang ") + static_cast<char>(digit)); }

    std::vector<std::string> found;
};

struct Event {
    int32_t event;
    int32_t detail;
    bool send;
    Bytes raw;  // the raw frame event 34 carried
    bool operator==(const Event& o) const
    {
        return event == o.event && detail == o.detail && send == o.send && raw == o.raw;
    }
};

// The link owner's place: records each event; for event 34 it reads the raw
// frame back from the model during the delivery, as a listener window does.
class EventRecorder : public IReceiverEventSink {
public:
    explicit EventRecorder(CModel* model = nullptr) : m_model(model) {}
    void SetModel(CModel* model) { m_model = model; }
    bool NotifyListeners(int32_t event, int32_t detail, bool send) override
    {
        Event e{event, detail, send, Bytes()};
        if (event == 34 && m_model != nullptr) {
            CByteArray frame;
            ProtocolKind kind = m_model->GetLastRawFrame(frame);
            e.raw.assign(frame.GetData(), frame.GetData() + frame.GetSize());
            e.detail = detail == kind ? detail : -1000 - kind;  // exposes a kind mismatch
        }
        events.push_back(e);
        return true;
    }
    std::vector<int32_t> Codes() const
    {
        std::vector<int32_t> out;
        for (const Event& e : events) out.push_back(e.event);
        return out;
    }

    std::vector<Event> events;

private:
    CModel* m_model;
};

}  // namespace frametest
