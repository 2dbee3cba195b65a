// The data converter window under Wine on a recorded log: a conversion from
// the controls to complete files, the refusals, a folder run, an abort with
// the reader held mid-file, and the options dialog's checks and interval.
// The window is the real one from the program's template, with its own
// link, reader and engine; only an abort's replay is held by the test.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/resource.h"
#include "data/CDataConverterDlg.h"
#include "framework/MessagePrompter.h"
#include "framework/afx.h"
#include "link/CPlaybackChannel.h"
#include "support/ConverterOutputs.h"
#include "win32/monitor/app/TestFiles.h"
#include "win32/monitor/framework/MessagePump.h"

namespace {

using convsupport::CountOf;
using convsupport::SplitLines;

const char kRecording[] = "tests/data/velmara_demo.qbl";
const DWORD kRunTimeoutMs = 120000;

bool FileExists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void WriteFile(const std::string& path, const std::string& bytes)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr) << path;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

// The real parts, with the reader held on its first event past byte
// `holdAt` until the engine is aborted: an abort then always finds the
// conversion running, whatever the reader's speed.
class HeldParts : public ILinkFactory {
public:
    explicit HeldParts(uint32_t holdAt) : m_holdAt(holdAt) {}
    CChannel* OpenSerial(const LinkPortSettings&) override { return nullptr; }
    CChannel* OpenPlayback(const PlaybackSettings& settings) override
    {
        m_channel = static_cast<CPlaybackChannel*>(GetSystemLinkFactory().OpenPlayback(settings));
        return m_channel;
    }
    bool OnEngineEvent(CConverterEngine& engine, int32_t event) override
    {
        // Bounded, so a test that never aborts ends rather than hanging the run.
        const DWORD start = ::GetTickCount();
        while (m_channel != nullptr && m_channel->GetReadCount() >= m_holdAt && engine.IsActive() &&
               ::GetTickCount() - start < 30000)
            ::Sleep(1);
        return engine.OnModelEvent(event);
    }

private:
    uint32_t m_holdAt;
    CPlaybackChannel* m_channel = nullptr;
};

class DataConverterDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_recording = ReadFileText(kRecording);
        if (m_recording.empty()) GTEST_SKIP() << kRecording << " not found (run from the source folder)";
        char temp[MAX_PATH] = {};
        ::GetTempPathA(sizeof temp, temp);
        m_folder = std::string(temp) + "vmconv" + std::to_string(::GetTickCount()) + "_" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name();
        ASSERT_TRUE(::CreateDirectoryA(m_folder.c_str(), nullptr)) << m_folder;

        m_window = new CDataConverterDlg(nullptr);
        ASSERT_TRUE(m_window->CreateView(IDD_DATA_CONVERTER, nullptr, &m_window, true));
        PumpPending();
    }

    void TearDown() override
    {
        if (m_window != nullptr && m_window->GetSafeHwnd() != nullptr) m_window->DestroyWindow();
        PumpPending();
        RemoveFolder(m_folder);
    }

    static void RemoveFolder(const std::string& folder)
    {
        if (folder.empty()) return;
        WIN32_FIND_DATAA found;
        HANDLE h = ::FindFirstFileA((folder + "\\*").c_str(), &found);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                const std::string name = found.cFileName;
                if (name == "." || name == "..") continue;
                const std::string path = folder + "\\" + name;
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveFolder(path);
                else
                    ::DeleteFileA(path.c_str());
            } while (::FindNextFileA(h, &found));
            ::FindClose(h);
        }
        ::RemoveDirectoryA(folder.c_str());
    }

    std::string Path(const std::string& name) const { return m_folder + "\\" + name; }
    HWND Hwnd() const { return m_window->GetSafeHwnd(); }

    std::string Text(int id) const
    {
        char text[512] = {};
        ::GetDlgItemTextA(Hwnd(), id, text, sizeof text);
        return text;
    }
    void SetText(int id, const std::string& text) { ::SetDlgItemTextA(Hwnd(), id, text.c_str()); }
    void Check(int id, bool on) { ::CheckDlgButton(Hwnd(), id, on ? BST_CHECKED : BST_UNCHECKED); }
    void Click(int id)
    {
        ::SendMessageA(Hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(Hwnd(), id)));
    }

    // Runs the window until the status reads `status` (or time is up); the status then.
    std::string WaitForStatus(const std::string& status, DWORD timeoutMs = kRunTimeoutMs)
    {
        const DWORD start = ::GetTickCount();
        while (Text(IDC_CONV_STATUS) != status && ::GetTickCount() - start < timeoutMs) {
            PumpPending();
            ::Sleep(5);
        }
        return Text(IDC_CONV_STATUS);
    }

    std::vector<std::string> PartFiles() const
    {
        std::vector<std::string> parts;
        WIN32_FIND_DATAA found;
        HANDLE h = ::FindFirstFileA((m_folder + "\\*.part").c_str(), &found);
        if (h == INVALID_HANDLE_VALUE) return parts;
        do parts.push_back(found.cFileName);
        while (::FindNextFileA(h, &found));
        ::FindClose(h);
        return parts;
    }

    std::string m_recording;
    std::string m_folder;
    CDataConverterDlg* m_window = nullptr;
};

TEST_F(DataConverterDlgTest, ConvertsARecordingIntoCompleteFiles)
{
    const std::string input = Path("run.qbl");
    WriteFile(input, m_recording);
    EXPECT_EQ(Text(IDC_CONV_PERCENT), "");
    EXPECT_EQ(Text(IDC_CONV_RECORDS), "");
    SetText(IDC_CONV_FILE, input);
    for (int id : {IDC_CONV_CSV, IDC_CONV_KML, IDC_CONV_NMEA, IDC_CONV_TXT, IDC_CONV_XLX}) Check(id, true);

    ScriptedPrompter prompter;
    CPrompterScope scope(&prompter);
    Click(IDC_CONV_CONVERT);
    EXPECT_EQ(Text(IDC_CONV_CONVERT), "Abort!");
    EXPECT_EQ(WaitForStatus("Conversion completed!"), "Conversion completed!");

    EXPECT_TRUE(prompter.boxes.empty());
    EXPECT_EQ(Text(IDC_CONV_CONVERT), "Convert");
    EXPECT_EQ(Text(IDC_CONV_PERCENT), "100%");
    EXPECT_FALSE(m_window->IsRunning());
    for (const char* name : {"run.csv", "run.kml", "run_nmea.txt", "run.txt", "run.xlx"})
        EXPECT_TRUE(FileExists(Path(name))) << name;
    EXPECT_TRUE(PartFiles().empty());
    EXPECT_EQ(ReadFileText(input), m_recording);

    // The count is the map CSV's data lines (the header aside).
    const std::vector<std::string> rows = SplitLines(ReadFileText(Path("run.csv")));
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(Text(IDC_CONV_RECORDS), std::to_string(rows.size() - 1));
    EXPECT_GT(rows.size(), 1u);
    const std::string kml = ReadFileText(Path("run.kml"));
    EXPECT_EQ(CountOf(kml, "<Placemark>"), CountOf(kml, "</Placemark>"));
    EXPECT_NE(kml.find("</kml>"), std::string::npos);
}

TEST_F(DataConverterDlgTest, RefusalsSayWhyAndStartNothing)
{
    WriteFile(Path("run.qbl"), m_recording);
    struct Case {
        std::string file;
        bool convertAll;
        bool kml;
        const char* message;
    } const cases[] = {
        {"", false, true, "Select a log file!"},
        {Path("missing.qbl"), false, true, "Specified file does not exist or cannot be opened!"},
        {Path("nowhere"), true, true, "Specified directory does not exist!"},
        {Path("run.qbl"), false, false, "Select at least one file format to generate!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        ScriptedPrompter prompter;
        CPrompterScope scope(&prompter);
        SetText(IDC_CONV_FILE, c.file);
        Check(IDC_CONV_CONVERT_ALL, c.convertAll);
        Check(IDC_CONV_KML, c.kml);
        Click(IDC_CONV_CONVERT);
        PumpPending();
        ASSERT_EQ(prompter.boxes.size(), 1u);
        EXPECT_EQ(prompter.boxes[0].text, c.message);
        EXPECT_FALSE(m_window->IsRunning());
        EXPECT_EQ(Text(IDC_CONV_CONVERT), "Convert");
    }
    EXPECT_FALSE(FileExists(Path("run.kml")));
}

TEST_F(DataConverterDlgTest, FolderRunConvertsEveryDataFileOnce)
{
    WriteFile(Path("b.log"), m_recording);
    WriteFile(Path("A.qbl"), m_recording);
    WriteFile(Path("notes.txt"), "not a recording");
    ASSERT_TRUE(::CreateDirectoryA(Path("old.log").c_str(), nullptr));

    SetText(IDC_CONV_FILE, Path("b.log"));
    Check(IDC_CONV_CONVERT_ALL, true);
    Check(IDC_CONV_KML, true);
    ScriptedPrompter prompter;
    CPrompterScope scope(&prompter);
    Click(IDC_CONV_CONVERT);
    EXPECT_EQ(Text(IDC_CONV_STATUS), "Converting file 1 of 2...");
    EXPECT_EQ(WaitForStatus("Conversion completed!"), "Conversion completed!");

    EXPECT_TRUE(prompter.boxes.empty());
    EXPECT_TRUE(FileExists(Path("A.kml")));
    EXPECT_TRUE(FileExists(Path("b.kml")));
    EXPECT_FALSE(FileExists(Path("notes.kml")));
    EXPECT_FALSE(FileExists(Path("old.kml")));
}

TEST_F(DataConverterDlgTest, AbortEndsWithCompleteOutputs)
{
    // Eight copies, the reader held after a quarter: the abort always finds the run going.
    std::string longRecording;
    for (int i = 0; i < 8; ++i) longRecording += m_recording;
    const std::string input = Path("long.qbl");
    WriteFile(input, longRecording);
    HeldParts parts(static_cast<uint32_t>(longRecording.size() / 4));
    m_window->SetLinkParts(&parts);

    SetText(IDC_CONV_FILE, input);
    for (int id : {IDC_CONV_CSV, IDC_CONV_KML, IDC_CONV_NMEA}) Check(id, true);
    ScriptedPrompter prompter;
    CPrompterScope scope(&prompter);
    Click(IDC_CONV_CONVERT);
    const DWORD start = ::GetTickCount();
    auto percent = [this]() { return std::atoi(Text(IDC_CONV_PERCENT).c_str()); };
    while (percent() < 1 && ::GetTickCount() - start < kRunTimeoutMs) {
        PumpPending();
        ::Sleep(5);
    }
    ASSERT_GE(percent(), 1);
    ASSERT_LT(percent(), 100);
    EXPECT_GT(::SendDlgItemMessageA(Hwnd(), IDC_CONV_PROGRESS, PBM_GETPOS, 0, 0), 0);

    Click(IDC_CONV_CONVERT);   // "Abort!"
    EXPECT_EQ(WaitForStatus("Conversion aborted!", 10000), "Conversion aborted!");
    EXPECT_EQ(Text(IDC_CONV_CONVERT), "Convert");
    EXPECT_FALSE(m_window->IsRunning());
    m_window->SetLinkParts(nullptr);

    EXPECT_TRUE(PartFiles().empty());
    EXPECT_EQ(ReadFileText(input), longRecording);
    const std::string kml = ReadFileText(Path("long.kml"));
    EXPECT_EQ(CountOf(kml, "<Placemark>"), CountOf(kml, "</Placemark>"));
    EXPECT_EQ(CountOf(kml, "</kml>"), 1u);
    // Every map CSV line whole: longitude, latitude, time.
    const std::vector<std::string> rows = SplitLines(ReadFileText(Path("long.csv")));
    ASSERT_GT(rows.size(), 1u);
    for (size_t i = 1; i < rows.size(); ++i) EXPECT_EQ(CountOf(rows[i], ", "), 2u) << rows[i];
    EXPECT_EQ(Text(IDC_CONV_RECORDS), std::to_string(rows.size() - 1));
}

// The options dialog, driven from a timer of the modal loop it runs.
struct OptionsScript {
    bool editsOffBefore = false;
    bool editsOnAfterClick = false;
    bool done = false;
};
OptionsScript g_options;

HWND FindOwnWindow(const char* title)
{
    HWND found = ::FindWindowA(nullptr, title);
    DWORD process = 0;
    if (found != nullptr) ::GetWindowThreadProcessId(found, &process);
    return process == ::GetCurrentProcessId() ? found : nullptr;
}

void CALLBACK DriveOptions(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND dialog = FindOwnWindow("Data Converter Options");
    if (dialog == nullptr) return;
    ::KillTimer(nullptr, timer);
    g_options.editsOffBefore = !::IsWindowEnabled(::GetDlgItem(dialog, IDC_CONV_OPT_START_WN));
    ::SendDlgItemMessageA(dialog, IDC_CONV_OPT_RANGE, BM_CLICK, 0, 0);
    g_options.editsOnAfterClick = ::IsWindowEnabled(::GetDlgItem(dialog, IDC_CONV_OPT_END_TOW)) != FALSE;
    // Start equals end: refused, the dialog stays.
    ::SetDlgItemTextA(dialog, IDC_CONV_OPT_START_WN, "1400");
    ::SetDlgItemTextA(dialog, IDC_CONV_OPT_START_TOW, "100");
    ::SetDlgItemTextA(dialog, IDC_CONV_OPT_END_WN, "1400");
    ::SetDlgItemTextA(dialog, IDC_CONV_OPT_END_TOW, "100");
    ::SendDlgItemMessageA(dialog, IDOK, BM_CLICK, 0, 0);
    if (!::IsWindow(dialog)) return;
    ::SetDlgItemTextA(dialog, IDC_CONV_OPT_START_TOW, "0");
    ::SetDlgItemTextA(dialog, IDC_CONV_OPT_END_TOW, "604799");
    ::SendDlgItemMessageA(dialog, IDOK, BM_CLICK, 0, 0);
    g_options.done = true;
}

TEST_F(DataConverterDlgTest, OptionsCheckTheIntervalAndRangeRenamesOutputs)
{
    g_options = OptionsScript();
    ScriptedPrompter prompter;
    CPrompterScope scope(&prompter);
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &DriveOptions);
    ::SendMessageA(Hwnd(), WM_COMMAND, MAKEWPARAM(ID_CONV_OPTIONS, 0), 0);
    ::KillTimer(nullptr, timer);

    EXPECT_TRUE(g_options.done);
    EXPECT_TRUE(g_options.editsOffBefore);
    EXPECT_TRUE(g_options.editsOnAfterClick);
    ASSERT_EQ(prompter.boxes.size(), 1u);
    EXPECT_EQ(prompter.boxes[0].text, "Invalid processing time interval specified.");
    const ConverterOptions& options = m_window->GetOptions();
    EXPECT_TRUE(options.rangeOn);
    EXPECT_EQ(options.startWeek, 1400);
    EXPECT_EQ(options.startTimeOfWeek, 0);
    EXPECT_EQ(options.endTimeOfWeek, 604799);

    WriteFile(Path("run.qbl"), m_recording);
    SetText(IDC_CONV_FILE, Path("run.qbl"));
    Check(IDC_CONV_KML, true);
    Click(IDC_CONV_CONVERT);
    EXPECT_EQ(WaitForStatus("Conversion completed!"), "Conversion completed!");
    EXPECT_TRUE(FileExists(Path("run_1400-0_1400-604799.kml")));
    EXPECT_FALSE(FileExists(Path("run.kml")));
}

}  // namespace
