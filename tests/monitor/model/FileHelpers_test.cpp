#include "model/FileHelpers.h"

#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "framework/MemoryFileBackend.h"

namespace {

const double kDegToRad = 0.017453292519943295;

// Answers file dialogs from a script and records what each one showed.
class ScriptedChooser : public IFileChooser {
public:
    struct Answer {
        int result;
        std::string path;
        std::string name;
    };
    std::vector<Answer> answers;
    std::vector<FileChooserRequest> requests;

    int Choose(const FileChooserRequest& request, CString& path, CString& fileName) override
    {
        requests.push_back(request);
        if (answers.empty()) return CHOOSE_FILE_CANCEL;
        const Answer a = answers.front();
        answers.erase(answers.begin());
        path = a.path.c_str();
        fileName = a.name.c_str();
        return a.result;
    }
};

class FileHelpersTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CFile::SetBackend(&files);
        previous = SetFileChooser(&chooser);
    }
    void TearDown() override
    {
        SetFileChooser(previous);
        CFile::SetBackend(nullptr);
    }
    MemoryFileBackend files;
    ScriptedChooser chooser;
    IFileChooser* previous = nullptr;
};

TEST_F(FileHelpersTest, ChooserTitleAndFilter)
{
    EXPECT_STREQ("Choose the position file ...", BuildChooserTitle("Position"));
    EXPECT_STREQ("Position Files (.dat)|*.dat|All Files (*.*)|*.*|", BuildChooserFilter("Position", "dat"));
    EXPECT_STREQ("Choose the log file ...", BuildChooserTitle(""));
    EXPECT_STREQ("Log Files (.txt)|*.txt|All Files (*.*)|*.*|", BuildChooserFilter(nullptr, "txt"));

    chooser.answers.push_back({CHOOSE_FILE_OK, "C:\\data\\out.log", "out.log"});
    CString path;
    CString name;
    EXPECT_EQ(CHOOSE_FILE_OK, ChooseFile(nullptr, path, "run.log", true, "log", &name));
    ASSERT_EQ(1u, chooser.requests.size());
    EXPECT_STREQ("Choose the log file ...", chooser.requests[0].title);
    EXPECT_STREQ("run.log", chooser.requests[0].initialName);
    EXPECT_FALSE(chooser.requests[0].openDialog);
    EXPECT_STREQ("C:\\data\\out.log", path);
    EXPECT_STREQ("out.log", name);
}

TEST_F(FileHelpersTest, ChooseFileOpensTheChosenFile)
{
    files.SetFile("in.txt", "hello\r\n");
    chooser.answers.push_back({CHOOSE_FILE_OK, "in.txt", "in.txt"});
    chooser.answers.push_back({CHOOSE_FILE_OK, "missing.txt", "missing.txt"});
    CStdioFile* file = nullptr;
    CString path;
    ASSERT_EQ(CHOOSE_FILE_OK, ChooseFile(&file, path, "", false, "txt", nullptr, "Text", true));
    ASSERT_NE(nullptr, file);
    CString line;
    EXPECT_TRUE(file->ReadString(line));
    EXPECT_STREQ("hello", line);
    // An open dialog's file that cannot be read turns OK into cancel.
    EXPECT_EQ(CHOOSE_FILE_CANCEL, ChooseFile(&file, path, "", false, "txt", nullptr, "Text", true));
    EXPECT_EQ(nullptr, file);
    CloseStdioFile(file);
}

TEST_F(FileHelpersTest, OpenStdioFileAppendsUnlessOverwriting)
{
    files.SetFile("log.txt", "old\r\n");
    CStdioFile* file = nullptr;
    ASSERT_TRUE(OpenStdioFile(file, "log.txt", false, false, false));
    EXPECT_TRUE(file->WriteString("new\n"));
    ASSERT_TRUE(OpenStdioFile(file, "other.txt", false, false, true));  // closes log.txt first
    EXPECT_TRUE(file->WriteString("raw\n"));
    CloseStdioFile(file);
    EXPECT_EQ(nullptr, file);
    EXPECT_EQ("old\r\nnew\r\n", files.GetFileText("log.txt"));
    EXPECT_EQ("raw\n", files.GetFileText("other.txt"));

    ASSERT_TRUE(OpenStdioFile(file, "log.txt", true, false, false));
    EXPECT_TRUE(file->WriteString("only\n"));
    CloseStdioFile(file);
    EXPECT_EQ("only\r\n", files.GetFileText("log.txt"));

    files.FailOpen("locked.txt");
    EXPECT_FALSE(OpenStdioFile(file, "locked.txt", false, false, false));
    EXPECT_EQ(nullptr, file);
    EXPECT_FALSE(OpenStdioFile(file, "absent.txt", false, true, false));
    EXPECT_FALSE(OpenStdioFile(file, "", false, true, false));
    EXPECT_EQ(0, files.GetOpenCount());
}

TEST_F(FileHelpersTest, PositionFileContents)
{
    const struct {
        const char* contents;
        bool ok;
        double latitude;  // degrees, or the failure value
    } cases[] = {
        {"0 45.5 -120.25 300\r\n", true, 45.5},
        {"0 45.5 -120.25 300", true, 45.5},
        {"0\t45.5 -120.25 300\nsecond line\n", true, 45.5},
        {"1 45.5 -120.25 300\r\n", false, -1.0},
        {"0 91 0 0\r\n", false, -1.0},
        {"0 0 180.5 0\r\n", false, -1.0},
        {"0 0 0 18000.5\r\n", false, -1.0},
        {"0 45.5 -120.25\r\n", false, -1.0},
        {"045.5 -120.25 300\r\n", false, -1.0},
        {" 0 45.5 -120.25 300\r\n", false, -1.0},
        {"0 nan 0 0\r\n", false, -1.0},
        {"0 x 0 0\r\n", false, -1.0},
        {"", false, -1.0},
        {"\r\n0 45.5 -120.25 300\r\n", false, -1.0},
    };
    for (const auto& c : cases) {
        files.SetFile("Position.dat", c.contents);
        PositionRecord position = {7, 7, 7};
        CString path;
        EXPECT_EQ(c.ok, ReadPositionFile(false, path, position)) << c.contents;
        EXPECT_STREQ("Position.dat", path);
        if (c.ok) {
            EXPECT_DOUBLE_EQ(45.5 * kDegToRad, position.latitude);
            EXPECT_DOUBLE_EQ(-120.25 * kDegToRad, position.longitude);
            EXPECT_DOUBLE_EQ(300.0, position.altitude);
        } else {
            EXPECT_EQ(-1.0, position.latitude) << c.contents;
        }
    }
    EXPECT_EQ(0, files.GetOpenCount());
}

TEST_F(FileHelpersTest, PositionFileNotReadGivesLatitudeZero)
{
    PositionRecord position = {7, 7, 7};
    CString path("nowhere.dat");
    EXPECT_FALSE(ReadPositionFile(false, path, position));
    EXPECT_EQ(0.0, position.latitude);

    position.latitude = 7;
    EXPECT_FALSE(ReadPositionFile(true, path, position));  // the chooser cancels
    EXPECT_EQ(0.0, position.latitude);
    ASSERT_EQ(1u, chooser.requests.size());
    EXPECT_STREQ("Choose the position file ...", chooser.requests[0].title);
    EXPECT_STREQ("Position Files (.dat)|*.dat|All Files (*.*)|*.*|", chooser.requests[0].filter);
    EXPECT_STREQ("Position.dat", chooser.requests[0].initialName);
    EXPECT_TRUE(chooser.requests[0].openDialog);

    files.SetFile("C:\\pos\\home.dat", "0 -33.5 151.25 -20\r\n");
    chooser.answers.push_back({CHOOSE_FILE_OK, "C:\\pos\\home.dat", "home.dat"});
    path.Empty();
    EXPECT_TRUE(ReadPositionFile(true, path, position));
    EXPECT_STREQ("C:\\pos\\home.dat", path);
    EXPECT_DOUBLE_EQ(-33.5 * kDegToRad, position.latitude);
    EXPECT_DOUBLE_EQ(-20.0, position.altitude);
    EXPECT_EQ(0, files.GetOpenCount());
}

TEST_F(FileHelpersTest, ScriptFileHeader)
{
    const struct {
        const char* contents;
        bool script;
    } cases[] = {
        {"!qzwscript\r\n!Version 2\r\n", true},
        {"!QZWSCRIPT\n# !VERSION 3\nrest\n", true},
        {"!QzwScript\r\n!version", true},
        {"!qzwscript\r\n", false},
        {"!QZWSCRIPT x\r\n!Version 2\r\n", false},
        {"!QZWSCRIPT\r\nVersion 2\r\n", false},
        {"\r\n!QZWSCRIPT\r\n!Version 2\r\n", false},
        {"", false},
    };
    for (const auto& c : cases) {
        files.SetFile("run.scr", c.contents);
        EXPECT_EQ(c.script, IsScriptFile("run.scr")) << c.contents;
    }
    EXPECT_FALSE(IsScriptFile("absent.scr"));
    EXPECT_FALSE(IsScriptFile(nullptr));
    EXPECT_EQ(0, files.GetOpenCount());
}

} // namespace
