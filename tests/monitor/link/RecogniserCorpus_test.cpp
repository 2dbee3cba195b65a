// Real receiver logs through the recogniser and frame handler: every line that
// is a valid NMEA sentence is recognised and accepted, whether the log keeps
// bare LF line ends or the CR LF of the wire, and the binary parts of a mixed
// log neither crash nor stall it.
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

std::vector<std::string> CorpusLogs()
{
    std::vector<std::string> files;
    DIR* dir = opendir(CORPUS_DIR);
    if (dir == nullptr) return files;
    while (dirent* e = readdir(dir)) {
        std::string name = e->d_name;
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".log") == 0)
            files.push_back(std::string(CORPUS_DIR) + "/" + name);
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

}  // namespace

TEST(RecogniserCorpus, EveryValidSentenceOfTheRealLogsIsRecognised)
{
    const std::vector<std::string> logs = CorpusLogs();
    if (logs.empty()) GTEST_SKIP() << "no corpus at " CORPUS_DIR;
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
            for (uint8_t b : input) handler.OnByte(b);

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
    if (logs.empty()) GTEST_SKIP() << "no corpus at " CORPUS_DIR;
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
