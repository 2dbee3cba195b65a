// Real receiver logs through the recogniser and frame handler: every line that
// is a valid NMEA sentence is recognised and accepted, whether the log keeps
// bare LF line ends or the CR LF of the wire, and the binary parts of a mixed
// log neither crash nor stall it nor hide a sentence from it.
//
// The logs are read at run time from CORPUS_DIR; without it the tests report
// themselves skipped.
#include <gtest/gtest.h>

#include <dirent.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "FrameTestUtil.h"
#include "link/FrameHandler.h"
#include "link/LinkStatistics.h"
#include "protocol/NmeaSentence.h"

using namespace frametest;

namespace {

#ifdef CORPUS_DIR
const char* const kCorpusDir = CORPUS_DIR;
#else
const char* const kCorpusDir = nullptr;
#endif

std::vector<std::string> CorpusLogs()
{
    std::vector<std::string> files;
    DIR* dir = kCorpusDir != nullptr ? opendir(kCorpusDir) : nullptr;
    if (dir == nullptr) return files;
    while (dirent* e = readdir(dir)) {
        std::string name = e->d_name;
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".log") == 0)
            files.push_back(std::string(kCorpusDir) + "/" + name);
    }
    closedir(dir);
    std::sort(files.begin(), files.end());
    return files;
}

Bytes ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The log's lines without their line ends.
std::vector<std::string> Lines(const Bytes& log)
{
    std::vector<std::string> lines;
    std::string line;
    for (uint8_t b : log) {
        if (b == '\n') {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            lines.push_back(line);
            line.clear();
        } else {
            line.push_back(static_cast<char>(b));
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

// A whole line that is a sentence the monitor accepts: "$", printable text,
// 8..255 bytes with CR LF, and a checksum that holds.
bool IsValidSentence(const std::string& line)
{
    if (line.empty() || line[0] != '$' || line.size() + 2 < 8 || line.size() + 2 > 255) return false;
    for (char c : line) {
        if (static_cast<uint8_t>(c) < 0x20 || static_cast<uint8_t>(c) > 0x7E) return false;
    }
    std::string wire = line + "\r\n";
    return CheckNmeaSentence(reinterpret_cast<const BYTE*>(wire.data()), static_cast<int>(wire.size()));
}

Bytes Join(const std::vector<std::string>& lines, const char* end)
{
    Bytes out;
    for (const std::string& l : lines) {
        out.insert(out.end(), l.begin(), l.end());
        out.insert(out.end(), end, end + strlen(end));
    }
    return out;
}

// Keeps the accepted NMEA sentences (as text without CR LF) that the handler saw.
class SentenceCollector : public IFrameSink {
public:
    void OnFrame(ProtocolKind kind, const BYTE* frame, int length) override
    {
        if (kind == PROTO_NMEA && CheckNmeaSentence(frame, length))
            sentences.push_back(std::string(reinterpret_cast<const char*>(frame), static_cast<size_t>(length) - 2));
    }
    void OnBrokenQbinPacket(BYTE, BYTE, int) override {}
    void OnBangDigit(BYTE) override {}
    std::vector<std::string> sentences;
};

// True when `expected` appears in `found` in the same order (other sentences,
// e.g. ones starting in the middle of a line, may come between).
bool IsSubsequence(const std::vector<std::string>& expected, const std::vector<std::string>& found,
                   std::string& missing)
{
    size_t j = 0;
    for (const std::string& e : expected) {
        while (j < found.size() && found[j] != e) ++j;
        if (j == found.size()) {
            missing = e;
            return false;
        }
        ++j;
    }
    return true;
}

// The UBX messages of a log: B5 62, class, id, little-endian length, payload
// and a Fletcher checksum that holds; anything else is skipped.
std::vector<Bytes> UbxMessages(const Bytes& log)
{
    const size_t header = 6, checksum = 2;
    std::vector<Bytes> messages;
    size_t i = 0;
    while (i + header + checksum <= log.size()) {
        if (log[i] != 0xB5 || log[i + 1] != 0x62) {
            ++i;
            continue;
        }
        const size_t end = i + header + (log[i + 4] | (log[i + 5] << 8)) + checksum;
        uint8_t a = 0, b = 0;
        for (size_t k = i + 2; end <= log.size() && k < end - checksum; ++k) {
            a = static_cast<uint8_t>(a + log[k]);
            b = static_cast<uint8_t>(b + a);
        }
        if (end > log.size() || a != log[end - 2] || b != log[end - 1]) {
            ++i;
            continue;
        }
        messages.emplace_back(log.begin() + static_cast<long>(i), log.begin() + static_cast<long>(end));
        i = end;
    }
    return messages;
}

// Every NMEA frame the recogniser finds, valid or not, as text without CR LF.
class NmeaFrameCollector : public IFrameSink {
public:
    void OnFrame(ProtocolKind kind, const BYTE* frame, int length) override
    {
        if (kind == PROTO_NMEA)
            sentences.push_back(std::string(reinterpret_cast<const char*>(frame), static_cast<size_t>(length) - 2));
    }
    void OnBrokenQbinPacket(BYTE, BYTE, int) override {}
    void OnBangDigit(BYTE) override {}
    std::vector<std::string> sentences;
};

}  // namespace

TEST(RecogniserCorpus, EveryValidSentenceOfTheRealLogsIsRecognised)
{
    const std::vector<std::string> logs = CorpusLogs();
    if (logs.empty()) GTEST_SKIP() << "no corpus of real logs";
    size_t total = 0;
    for (const std::string& path : logs) {
        const std::vector<std::string> lines = Lines(ReadFile(path));
        std::vector<std::string> expected;
        for (const std::string& l : lines) {
            if (IsValidSentence(l)) expected.push_back(l);
        }
        total += expected.size();
        for (const char* end : {"\n", "\r\n"}) {
            SCOPED_TRACE(path + (end[0] == '\n' ? " with LF" : " with CR LF"));
            const Bytes input = Join(lines, end);
            LinkStatistics stats;
            FrameContext context;
            context.statistics = &stats;
            CFrameHandler handler(context);
            SentenceCollector collector;
            handler.SetFrameObserver(&collector);
            // Byte by byte as the reader feeds today, then in blocks.
            for (size_t i = 0; i < input.size() / 2; ++i) handler.OnByte(input[i]);
            for (size_t at = input.size() / 2; at < input.size();) {
                at += handler.OnBytes(input.data() + at, std::min<size_t>(4096, input.size() - at)).taken;
            }

            std::string missing;
            EXPECT_TRUE(IsSubsequence(expected, collector.sentences, missing)) << "not recognised: " << missing;
            EXPECT_GE(stats.Get(LINK_NMEA_GOOD), expected.size());
            EXPECT_EQ(stats.Get(LINK_BYTES), input.size());
        }
    }
    EXPECT_GT(total, 1000u);  // the corpus really holds sentences
}

TEST(RecogniserCorpus, BinaryAndCommentBytesNeverStallTheRecogniser)
{
    const std::vector<std::string> logs = CorpusLogs();
    if (logs.empty()) GTEST_SKIP() << "no corpus of real logs";
    for (const std::string& path : logs) {
        SCOPED_TRACE(path);
        Bytes input = ReadFile(path);
        // Every framing gives up within 512 bytes that cannot continue it.
        input.insert(input.end(), 600, 0x00);
        const Bytes marker = Text("$GPTXT,END*63\r\n");
        input.insert(input.end(), marker.begin(), marker.end());
        RecordingFrameSink sink;
        CFrameRecogniser rec(&sink);
        rec.Feed(input.data(), input.size());
        ASSERT_FALSE(sink.found.empty());
        EXPECT_EQ(sink.found.back(), "frame 4: " + ToHex(marker));
        EXPECT_EQ(rec.GetState(), CFrameRecogniser::ST_IDLE);
    }
}

TEST(RecogniserCorpus, NoSentenceIsLostAmongRealUbxMessages)
{
    const std::vector<std::string> logs = CorpusLogs();
    if (logs.empty()) GTEST_SKIP() << "no corpus of real logs";
    const std::string dir = std::string(kCorpusDir) + "/";
    const std::vector<Bytes> ubx = UbxMessages(ReadFile(dir + "ublox-neo-m8n.log"));
    ASSERT_EQ(ubx.size(), 52u);
    std::vector<std::string> lines;
    for (const std::string& l : Lines(ReadFile(dir + "ublox-8.log"))) {
        if (!l.empty() && l[0] == '$') lines.push_back(l);
    }
    ASSERT_EQ(lines.size(), 1008u);

    // Each sentence line with CR LF, then the next UBX message, cycling.
    Bytes input;
    for (size_t i = 0; i < lines.size(); ++i) {
        input.insert(input.end(), lines[i].begin(), lines[i].end());
        input.push_back('\r');
        input.push_back('\n');
        const Bytes& m = ubx[i % ubx.size()];
        input.insert(input.end(), m.begin(), m.end());
    }
    for (size_t block : {size_t(1), size_t(100), input.size()}) {
        SCOPED_TRACE("blocks of " + std::to_string(block));
        NmeaFrameCollector collector;
        CFrameRecogniser rec(&collector);
        for (size_t at = 0; at < input.size(); at += block) rec.Feed(input.data() + at, std::min(block, input.size() - at));
        EXPECT_EQ(collector.sentences, lines);  // the one cut-off line included, as a frame to be judged
    }

    // Through the handler: each valid line counts good, the cut-off one bad.
    size_t valid = 0;
    for (const std::string& l : lines) valid += IsValidSentence(l);
    LinkStatistics stats;
    FrameContext context;
    context.statistics = &stats;
    CFrameHandler handler(context);
    for (size_t at = 0; at < input.size();) at += handler.OnBytes(input.data() + at, input.size() - at).taken;
    EXPECT_EQ(stats.Get(LINK_NMEA_GOOD), valid);
    EXPECT_EQ(stats.Get(LINK_NMEA_BAD), lines.size() - valid);
    EXPECT_EQ(stats.Get(LINK_BYTES), input.size());
}
