// A "-converter" command line the program refuses: the message box every
// mode shows, then the same text on standard error and exit code 2 for the
// script that started it; an accepted one leaves the exit code alone.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "app/CCmdLineOptions.h"
#include "app/CCmdLineSettings.h"
#include "app/CMainApp.h"
#include "data/DataConverterCore.h"
#include "framework/MessagePrompter.h"

namespace {

class OneFilePaths : public ICmdLinePaths {
public:
    double GetFileLength(LPCTSTR path) override { return std::string(path) == "run.qbl" ? 10.0 : -1.0; }
    bool IsFolder(LPCTSTR path) override { return std::string(path) == "logs"; }
    CString GetCurrentFolder() override { return CString("C:\\logs"); }
    bool ReadPosition(LPCTSTR, PositionRecord&) override { return false; }
};

struct Outcome {
    bool accepted;
    std::vector<ScriptedPrompter::Box> boxes;
    std::string standardError;
    int32_t exitCode;
};

Outcome Parse(std::vector<const char*> args)
{
    args.insert(args.begin(), "VelmaraMon.exe");
    SetProgramExitCode(0);
    ScriptedPrompter prompter;
    CPrompterScope scope(&prompter);
    CCmdLineOptions options;
    options.Parse(static_cast<int32_t>(args.size()), args.data());
    OneFilePaths paths;
    CCmdLineSettings settings;
    testing::internal::CaptureStderr();
    const bool accepted = settings.ParseCommandLine(options, paths);
    const std::string standardError = testing::internal::GetCapturedStderr();
    Outcome out{accepted, prompter.boxes, standardError, GetProgramExitCode()};
    SetProgramExitCode(0);
    return out;
}

TEST(ConverterCommandLineExit, RefusalsShowTheBoxThenEndWithCode2)
{
    struct Case {
        std::vector<const char*> args;
        const char* message;
    } const cases[] = {
        {{"-converter", "-file=missing.qbl", "-kml"}, "Invalid file/path specified."},
        {{"-converter", "-kml"}, "No file/path specified."},
        {{"-converter", "-file=run.qbl"}, "Select at least one file format to generate!"},
        {{"-converter", "-file=run.qbl", "-csv", "-split_lines=0"}, "Invalid number of lines to split."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        const Outcome out = Parse(c.args);
        EXPECT_FALSE(out.accepted);
        ASSERT_EQ(out.boxes.size(), 1u);
        EXPECT_EQ(out.boxes[0].text, c.message);
        EXPECT_EQ(out.standardError, std::string(c.message) + "\n");
        EXPECT_EQ(out.exitCode, CONV_EXIT_REFUSED);
    }

    const Outcome ok = Parse({"-converter", "-file=logs", "-kml", "-nmea"});
    EXPECT_TRUE(ok.accepted);
    EXPECT_TRUE(ok.boxes.empty());
    EXPECT_TRUE(ok.standardError.empty());
    EXPECT_EQ(ok.exitCode, 0);
}

}  // namespace
