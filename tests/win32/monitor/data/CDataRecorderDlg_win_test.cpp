// The data logger window from the program's own template, opened by the main
// window's commands: its ports and controls, logging the main window's own
// link (a scripted serial port), what the main window is then refused, the
// form's refusals, standard naming, hiding and what its destruction leaves.
// Message boxes go to a scripted prompter; files go to the temporary folder.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/CMainWndDlg.h"
#include "data/CDataRecorderDlg.h"
#include "framework/afx.h"
#include "link/CCommPort.h"
#include "model/Clock.h"
#include "support/ConverterOutputs.h"
#include "win32/monitor/app/TestFiles.h"
#include "win32/monitor/app/TestMainWnd.h"
#include "win32/monitor/framework/DialogTemplate.h"
#include "win32/monitor/framework/MessagePump.h"

namespace {

// A health report, streamed by the scripted port.
const char kHealthFrame[] = "\x10\x46\x00\x00\x10\x03";

// A serial port that streams one frame after another until it is closed.
class StreamingSerial : public CChannel {
public:
    int Read(BYTE* buf, uint16_t len, int32_t timeoutMs) override
    {
        if (timeoutMs >= 0 || len == 0) return -1;
        buf[0] = static_cast<BYTE>(kHealthFrame[m_at]);
        m_at = (m_at + 1) % (sizeof kHealthFrame - 1);
        // A breath now and then: a live port is not a fire hose.
        if (m_at == 0 && ++m_frames % kFramesPerPause == 0) ::Sleep(1);
        return 1;
    }
    int Write(const BYTE*, uint16_t len, int32_t) override { return len; }
    bool Close() override { return true; }
    int GetType() override { return CHANNEL_TYPE_SERIAL; }

private:
    static const unsigned kFramesPerPause = 64;
    size_t m_at = 0;
    unsigned m_frames = 0;
};

class StreamingFactory : public ILinkFactory {
public:
    CChannel* OpenSerial(const LinkPortSettings&) override { return new StreamingSerial(); }
    CChannel* OpenPlayback(const PlaybackSettings&) override { return nullptr; }
};

class DataRecorderDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_savedPorts.Copy(AvailableComPorts);
        AvailableComPorts.RemoveAll();
        for (DWORD port : {5u, 6u, 77u}) AvailableComPorts.Add(port);
        const CalendarTime t = MakeCalendarTime(2007, 2, 3, 9, 5, 0);
        clock.Set(t, t, 1170493500);

        char dir[MAX_PATH] = {};
        ::GetTempPathA(MAX_PATH, dir);
        m_dir = std::string(dir) + "vmlogger\\";
        ::CreateDirectoryA(m_dir.c_str(), nullptr);

        DialogTemplate tmpl("Main", WS_POPUP | WS_CAPTION, 300, 200);
        m_tmpl = tmpl;
        main.SetCommandLineFlag(true);
        ASSERT_TRUE(main.CreateFromTemplate(m_tmpl));
        main.m_initialised = true;
        main.m_port = 5;
        main.m_internalTools = true;
        main.m_link.SetLinkFactory(&factory);
    }

    void TearDown() override
    {
        if (main.m_pDataRecorder != nullptr) main.m_pDataRecorder->DestroyWindow();
        PumpPending();
        main.EnterIdleMode(0);
        main.m_link.SetLinkFactory(nullptr);
        if (main.GetSafeHwnd() != nullptr) main.DestroyWindow();
        PumpPending();
        WIN32_FIND_DATAA found;
        HANDLE find = ::FindFirstFileA((m_dir + "*").c_str(), &found);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
                    ::DeleteFileA((m_dir + found.cFileName).c_str());
            } while (::FindNextFileA(find, &found));
            ::FindClose(find);
        }
        ::RemoveDirectoryA(m_dir.c_str());
        AvailableComPorts.Copy(m_savedPorts);
    }

    CDataRecorderDlg* Open()
    {
        main.SendMessage(WM_COMMAND, ID_DATA_LOGGER, 0);
        return main.m_pDataRecorder;
    }

    HWND Item(UINT id) { return ::GetDlgItem(main.m_pDataRecorder->GetSafeHwnd(), static_cast<int>(id)); }
    std::string Text(UINT id)
    {
        char buf[512] = {};
        ::GetWindowTextA(Item(id), buf, sizeof buf);
        return buf;
    }
    void SetText(UINT id, const std::string& text) { ::SetWindowTextA(Item(id), text.c_str()); }
    void Click(UINT id) { ::SendMessageA(Item(id), BM_CLICK, 0, 0); }
    void Command(UINT id) { main.m_pDataRecorder->SendMessage(WM_COMMAND, id, 0); }
    bool Enabled(UINT id) { return ::IsWindowEnabled(Item(id)) != FALSE; }
    std::string SelectedEntry()
    {
        const LRESULT sel = ::SendMessageA(Item(IDC_LOGGER_PORTS), LB_GETCURSEL, 0, 0);
        char buf[64] = {};
        if (sel >= 0) ::SendMessageA(Item(IDC_LOGGER_PORTS), LB_GETTEXT, static_cast<WPARAM>(sel), reinterpret_cast<LPARAM>(buf));
        return buf;
    }
    void Select(const char* entry)
    {
        HWND list = Item(IDC_LOGGER_PORTS);
        const LRESULT index = ::SendMessageA(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(entry));
        ::SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
        main.m_pDataRecorder->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_LOGGER_PORTS, LBN_SELCHANGE),
                                          reinterpret_cast<LPARAM>(list));
    }
    // The main window's message pane without its leading blank.
    std::string MainStatus()
    {
        CStatusBarEx& bar = main.GetStatusBar();
        std::string text = static_cast<const char*>(bar.GetPaneText(bar.CommandToIndex(ID_PANE_MESSAGE)));
        while (!text.empty() && text[0] == ' ') text.erase(0, 1);
        return text;
    }
    template <class Pred>
    bool PumpUntil(Pred done, DWORD ms = 5000)
    {
        const DWORD start = ::GetTickCount();
        while (!done() && ::GetTickCount() - start < ms) {
            PumpPending();
            ::Sleep(5);
        }
        PumpPending();
        return done();
    }

    FixedClock clock;
    ScopedClock clockScope{&clock};
    ScriptedPrompter prompter;
    CPrompterScope prompterScope{&prompter};
    DialogTemplate m_tmpl{"", 0, 0, 0};
    TestMainWnd main;
    StreamingFactory factory;
    CDWordArray m_savedPorts;
    std::string m_dir;
};

TEST_F(DataRecorderDlgTest, OpensOnceFromEitherCommandWithItsPortsAndControls)
{
    CDataRecorderDlg* logger = Open();
    ASSERT_NE(nullptr, logger);
    EXPECT_TRUE(logger->IsWindowVisible());
    char caption[64] = {};
    ::GetWindowTextA(logger->GetSafeHwnd(), caption, sizeof caption);
    EXPECT_STREQ("Multiport Data Logger", caption);
    HMENU menu = ::GetMenu(logger->GetSafeHwnd());
    ASSERT_NE(nullptr, menu);
    char item[64] = {};
    ::GetMenuStringA(menu, ID_LOGGER_STOP_ALL, item, sizeof item, MF_BYCOMMAND);
    EXPECT_STREQ("Stop &All", item);
    char help[256] = {};
    ::LoadStringA(::GetModuleHandleA(nullptr), ID_LOGGER_STOP_ALL, help, sizeof help);
    EXPECT_STREQ("Stop logging on all selected ports.", help);

    HWND list = Item(IDC_LOGGER_PORTS);
    ASSERT_EQ(4, ::SendMessageA(list, LB_GETCOUNT, 0, 0));
    EXPECT_EQ("COM 5", SelectedEntry());
    EXPECT_EQ("Log File for COM 5", Text(IDC_LOGGER_GROUP_FILE));
    EXPECT_EQ("Miscellaneous Settings for COM 5", Text(IDC_LOGGER_GROUP_MISC));
    EXPECT_EQ("9600", Text(IDC_LOGGER_BAUD));
    EXPECT_EQ("QBIN", Text(IDC_LOGGER_PROTOCOL));
    EXPECT_EQ("8", Text(IDC_LOGGER_DATA_BITS));
    EXPECT_EQ("Ready to start", Text(IDC_LOGGER_STATUS));
    EXPECT_EQ("Start Logging", Text(IDC_LOGGER_START));
    EXPECT_FALSE(Enabled(IDC_LOGGER_UNIT_ID));
    EXPECT_EQ(16, logger->GetToolTip().GetToolCount());

    Select("Playback");
    EXPECT_EQ("Log File for Playback Channel", Text(IDC_LOGGER_GROUP_FILE));

    // The other command and a hide reach the same window.
    main.SendMessage(WM_COMMAND, ID_DATA_LOGGER_SHOW, 0);
    EXPECT_EQ(logger, main.m_pDataRecorder);
    main.ShowDataRecorderDlg(false);
    EXPECT_FALSE(logger->IsWindowVisible());
    main.ShowDataRecorderDlg(true);
    EXPECT_TRUE(logger->IsWindowVisible());

    // Closed while nothing logs, it goes, and the next command makes a new one.
    logger->SendMessage(WM_CLOSE);
    PumpPending();
    EXPECT_EQ(nullptr, main.m_pDataRecorder);
}

TEST_F(DataRecorderDlgTest, LoggingTheMainWindowsPortHoldsItUntilTheLoggerGoes)
{
    main.m_commandProtocol = PROTO_QBIN;
    ASSERT_TRUE(main.EnterMonitorMode());
    CDataRecorderDlg* logger = Open();
    ASSERT_NE(nullptr, logger);
    EXPECT_EQ("COM 5", SelectedEntry());
    SetText(IDC_LOGGER_FILE, m_dir + "five.log");
    SetText(IDC_LOGGER_SPLIT, "0.005");
    Click(IDC_LOGGER_MAKE_CSV);
    Click(IDC_LOGGER_MAKE_KML);
    Click(IDC_LOGGER_START);
    EXPECT_TRUE(prompter.boxes.empty());
    ASSERT_TRUE(PumpUntil([&] { return Text(IDC_LOGGER_STATUS) == "Logging started"; }));

    EXPECT_EQ("Stop Logging", Text(IDC_LOGGER_START));
    EXPECT_FALSE(Enabled(IDC_LOGGER_BAUD));
    EXPECT_FALSE(Enabled(IDC_LOGGER_BROWSE));
    EXPECT_NE(0, ::GetWindowLongA(Item(IDC_LOGGER_FILE), GWL_STYLE) & ES_READONLY);
    EXPECT_TRUE(main.IsPortLogged(5));
    EXPECT_TRUE(main.IsPortLogged(-1));
    EXPECT_FALSE(main.IsPortLogged(6));
    ASSERT_TRUE(PumpUntil([&] { return MainStatus().find("[data logging: ON]") != std::string::npos; }, 3000))
        << MainStatus();

    // The main window may not leave its port while it is logged.
    main.EnterIdleMode(0);
    ASSERT_EQ(1u, prompter.boxes.size());
    EXPECT_EQ("Data is currently being logged on COM 5.\nPlease, stop logging before switching to IDLE mode.",
              prompter.boxes[0].text);
    EXPECT_EQ(LINK_MONITOR, main.GetLinkMode());

    // Closing only hides a logging logger; the log grows into 5120-byte parts.
    logger->SendMessage(WM_CLOSE);
    PumpPending();
    ASSERT_EQ(logger, main.m_pDataRecorder);
    EXPECT_FALSE(logger->IsWindowVisible());
    ASSERT_TRUE(PumpUntil([&] { return ::GetFileAttributesA((m_dir + "five_00002.log").c_str()) !=
                                       INVALID_FILE_ATTRIBUTES; }, 10000))
        << ReadFileText(m_dir + "five_00001.log").size() << " " << Text(IDC_LOGGER_SIZE);

    // Going away (the program closing) stops the port and closes its documents.
    logger->DestroyWindow();
    PumpPending();
    EXPECT_EQ(nullptr, main.m_pDataRecorder);
    EXPECT_FALSE(main.IsPortLogged(-1));
    EXPECT_TRUE(main.m_link.IsConnected());
    EXPECT_EQ(5120u, ReadFileText(m_dir + "five_00001.log").size());
    EXPECT_EQ("Longitude, Latitude, Name", ReadFileText(m_dir + "five.csv"));
    const std::string kml = ReadFileText(m_dir + "five.kml");
    EXPECT_EQ(0u, kml.find("<?xml"));
    EXPECT_TRUE(convsupport::EndsWith(kml, convsupport::kKmlFooter));
}

TEST_F(DataRecorderDlgTest, RefusedSettingsStartNothing)
{
    Open();
    const struct {
        const char* path;
        const char* split;
        const char* message;
    } cases[] = {
        {"", "0", "Select a log file."},
        {"five.log", "200000", "Please enter a number between 0 and 100000."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.split);
        prompter.boxes.clear();
        SetText(IDC_LOGGER_FILE, c.path);
        SetText(IDC_LOGGER_SPLIT, c.split);
        Click(IDC_LOGGER_START);
        ASSERT_EQ(1u, prompter.boxes.size());
        EXPECT_EQ(c.message, prompter.boxes[0].text);
        EXPECT_EQ("Start Logging", Text(IDC_LOGGER_START));
    }
    // A port that does not open says so in the status line.
    Select("COM 77");
    prompter.boxes.clear();
    SetText(IDC_LOGGER_FILE, m_dir + "five.log");
    SetText(IDC_LOGGER_SPLIT, "0");
    Click(IDC_LOGGER_START);
    EXPECT_TRUE(prompter.boxes.empty());
    EXPECT_EQ("Can't open COM!", Text(IDC_LOGGER_STATUS));
    EXPECT_EQ("Start Logging", Text(IDC_LOGGER_START));
    EXPECT_FALSE(main.IsPortLogged(-1));
}

TEST_F(DataRecorderDlgTest, StandardNamingBuildsTheNameFromItsFields)
{
    Open();
    SetText(IDC_LOGGER_FILE, m_dir + "five.log");
    Click(IDC_LOGGER_STD_NAMING);
    EXPECT_TRUE(Enabled(IDC_LOGGER_UNIT_ID));
    EXPECT_TRUE(Enabled(IDC_LOGGER_TEST_CASE));
    SetText(IDC_LOGGER_UNIT_ID, "U1");
    SetText(IDC_LOGGER_TEST_CASE, "T7");
    EXPECT_EQ(m_dir + "TC_U1_070203_0905_T7.log", Text(IDC_LOGGER_FILE));
    Click(IDC_LOGGER_STD_NAMING);
    EXPECT_FALSE(Enabled(IDC_LOGGER_UNIT_ID));
    EXPECT_EQ(m_dir + "com5_data.log", Text(IDC_LOGGER_FILE));
}

}  // namespace
