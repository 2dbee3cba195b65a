// The identifier lines of one round of rxsim's "mixed" script, as the raw
// data monitor lists them: the frames the reader's handler passes on as raw
// frames, each through the formatter. The lines are kept in
// tests/data/rawmon_mixed_ids.txt, which the end-to-end run compares with
// what the window shows for the same script.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "app/RawLine.h"
#include "framework/CArray.h"
#include "link/FrameHandler.h"
#include "link/LinkStatistics.h"
#include "model/CModel.h"
#include "model/ReceiverEventSink.h"

namespace {

typedef std::vector<uint8_t> Bytes;

// Beside this file's folder: tests/monitor/app/ -> tests/data/.
std::string GoldenPath()
{
    std::string path = __FILE__;
    const size_t app = path.rfind("/monitor/app/");
    if (app == std::string::npos) return "tests/data/rawmon_mixed_ids.txt";
    return path.substr(0, app) + "/data/rawmon_mixed_ids.txt";
}

// Takes each raw frame while its event is delivered, as the window does.
struct RawLineSink : IReceiverEventSink {
    bool NotifyListeners(int32_t event, int32_t, bool) override
    {
        if (event != EV_RAW_FRAME || model == nullptr) return true;
        CByteArray frame;
        const ProtocolKind kind = model->GetLastRawFrame(frame);
        const std::string line = FormatRawLine(kind, frame.GetData(), static_cast<int>(frame.GetSize()), true);
        if (!line.empty()) lines.push_back(line);
        return true;
    }
    CModel* model = nullptr;
    std::vector<std::string> lines;
};

Bytes GenerateMixedRound()
{
    char folder[] = "/tmp/rawline_mixed.XXXXXX";
    if (mkdtemp(folder) == nullptr) return Bytes();
    const std::string out = std::string(folder) + "/mixed.bin";
    const std::string command =
        std::string("'") + RXSIM_PROGRAM + "' --generate mixed --count 1 --out '" + out + "' >/dev/null";
    Bytes bytes;
    if (std::system(command.c_str()) == 0) {
        std::ifstream in(out, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::remove(out.c_str());
    rmdir(folder);
    return bytes;
}

std::vector<std::string> ReadLines(const std::string& path)
{
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

TEST(RawLineMixed, ScriptRoundGivesTheKeptLines)
{
    const Bytes stream = GenerateMixedRound();
    ASSERT_FALSE(stream.empty()) << "rxsim did not write the script";

    CModel model;
    RawLineSink sink;
    sink.model = &model;
    ASSERT_TRUE(model.Attach(&sink, nullptr));
    LinkStatistics stats;
    CFrameLinkState link;
    link.protocol = PROTO_AUTO;
    FrameContext context;
    context.channelType = LINK_CHANNEL_SERIAL;
    context.model = &model;
    context.statistics = &stats;
    context.link = &link;
    CFrameHandler handler(context);
    for (size_t at = 0; at < stream.size();) {
        const FrameStep step = handler.OnBytes(stream.data() + at, stream.size() - at);
        if (step.taken == 0) break;
        at += step.taken;
    }
    model.Detach();

    if (std::getenv("RAWLINE_PRINT_MIXED") != nullptr)
        for (const std::string& line : sink.lines) std::printf("%s\n", line.c_str());
    EXPECT_EQ(ReadLines(GoldenPath()), sink.lines);
}

}  // namespace
