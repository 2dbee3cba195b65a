// The raw data monitor on a main window whose link has no reader: the test
// stores frames and sent commands in the link's model, which sends their
// events to the listening windows as a reader or a write would, and then
// runs the windows' refresh. What the rich edit shows depends only on the
// window's rules: the check boxes, Pause, FILE mode and its speed, the
// line limit, Clear and Copy.
#include <windows.h>
#include <richedit.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/CMainWndDlg.h"
#include "app/CRawOutput.h"
#include "app/resource.h"
#include "framework/MessagePrompter.h"
#include "model/CModel.h"
#include "model/ReceiverEvent.h"
#include "win32/monitor/app/TestMainWnd.h"
#include "win32/monitor/framework/DialogTemplate.h"

namespace {

typedef std::vector<BYTE> Bytes;

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

const Bytes kGga = Text("$GPGGA,*7A\r\n");
const Bytes kQbinPosition = {0x10, 0x41, 0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x10, 0x03};

void PumpPending()
{
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

std::string ClipboardText()
{
    std::string text;
    if (!::OpenClipboard(nullptr)) return text;
    if (HANDLE data = ::GetClipboardData(CF_TEXT)) {
        if (const char* p = static_cast<const char*>(::GlobalLock(data))) {
            text = p;
            ::GlobalUnlock(data);
        }
    }
    ::CloseClipboard();
    return text;
}

void ClearClipboard()
{
    if (!::OpenClipboard(nullptr)) return;
    ::EmptyClipboard();
    ::CloseClipboard();
}

class RawOutputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // A command-line window never writes the link settings when it goes.
        main.SetCommandLineFlag(true);
        ASSERT_TRUE(main.CreateFromTemplate(mainTemplate));
        main.m_initialised = true;
        main.m_linkMode = LINK_MONITOR;
        // A link without a reader: its model raises what the test stores.
        ASSERT_TRUE(main.m_link.Start(PROTO_NONE, nullptr));
    }

    void TearDown() override
    {
        main.CloseRawOutputWnds();
        main.m_link.Disconnect();
        if (main.GetSafeHwnd() != nullptr) main.DestroyWindow();
        PumpPending();
    }

    CRawOutput* Open()
    {
        const INT_PTR before = main.m_rawOutputs.GetSize();
        main.OpenRawOutputWnd();
        if (main.m_rawOutputs.GetSize() != before + 1) return nullptr;
        return static_cast<CRawOutput*>(main.m_rawOutputs[before]);
    }

    void Receive(ProtocolKind kind, const Bytes& frame)
    {
        main.m_link.GetModel().SetLastRawFrame(kind, frame.data(), static_cast<int>(frame.size()));
    }
    void Sent(ProtocolKind kind, const Bytes& command)
    {
        main.m_link.GetModel().SetLastSentCommand(kind, command.data(), static_cast<int>(command.size()));
    }

    // The rich edit's lines after a refresh; none for an empty control.
    static std::vector<std::string> Lines(CRawOutput* window)
    {
        window->FlushLines();
        const HWND edit = ::GetDlgItem(window->m_hWnd, IDC_RAW_TEXT);
        const int length = ::GetWindowTextLengthA(edit);
        std::string text(static_cast<size_t>(length) + 1, '\0');
        ::GetWindowTextA(edit, &text[0], length + 1);
        text.resize(static_cast<size_t>(length));
        std::vector<std::string> lines;
        if (text.empty()) return lines;
        std::string line;
        for (char c : text) {
            if (c == '\n') continue;
            if (c == '\r') {
                lines.push_back(line);
                line.clear();
            } else {
                line += c;
            }
        }
        lines.push_back(line);
        return lines;
    }

    static void SetCheck(CRawOutput* window, UINT id, bool on)
    {
        ::CheckDlgButton(window->m_hWnd, static_cast<int>(id), on ? BST_CHECKED : BST_UNCHECKED);
        window->SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                            reinterpret_cast<LPARAM>(::GetDlgItem(window->m_hWnd, static_cast<int>(id))));
    }
    static void Click(CRawOutput* window, UINT id)
    {
        window->SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                            reinterpret_cast<LPARAM>(::GetDlgItem(window->m_hWnd, static_cast<int>(id))));
    }
    static std::string ItemText(CRawOutput* window, UINT id)
    {
        char text[64] = {};
        ::GetDlgItemTextA(window->m_hWnd, static_cast<int>(id), text, sizeof text);
        return text;
    }

    ScriptedPrompter prompter;
    CPrompterScope scope{&prompter};
    DialogTemplate mainTemplate{"Main", WS_POPUP | WS_CAPTION, 300, 200};
    TestMainWnd main;
};

TEST_F(RawOutputTest, OpensWithItsControlsAndDefaults)
{
    CRawOutput* window = Open();
    ASSERT_NE(nullptr, window);
    char caption[64] = {};
    ::GetWindowTextA(window->m_hWnd, caption, sizeof caption);
    EXPECT_STREQ("Raw Data Monitor", caption);
    EXPECT_EQ(BST_CHECKED, ::IsDlgButtonChecked(window->m_hWnd, IDC_RAW_SHOW_RECEIVED));
    EXPECT_EQ(BST_UNCHECKED, ::IsDlgButtonChecked(window->m_hWnd, IDC_RAW_SHOW_SENT));
    EXPECT_EQ(BST_UNCHECKED, ::IsDlgButtonChecked(window->m_hWnd, IDC_RAW_IDS_ONLY));
    EXPECT_EQ("Pause", ItemText(window, IDC_RAW_PAUSE));
    EXPECT_TRUE(::IsWindowVisible(window->m_hWnd));
    // On the desktop, not owned by the main window.
    EXPECT_EQ(nullptr, ::GetWindow(window->m_hWnd, GW_OWNER));
    // The list is in Courier New, 10 point (200 twips, less the rounding to
    // whole screen pixels).
    CHARFORMATA format = {};
    format.cbSize = sizeof format;
    ::SendDlgItemMessageA(window->m_hWnd, IDC_RAW_TEXT, EM_GETCHARFORMAT, SCF_DEFAULT,
                          reinterpret_cast<LPARAM>(&format));
    EXPECT_STREQ("Courier New", format.szFaceName);
    EXPECT_NEAR(200, format.yHeight, 15);
    EXPECT_TRUE(prompter.boxes.empty());
}

TEST_F(RawOutputTest, ReceivedFramesInFullAndAsIds)
{
    CRawOutput* window = Open();
    ASSERT_NE(nullptr, window);
    Receive(PROTO_QBIN, kQbinPosition);
    Receive(PROTO_NMEA, kGga);
    SetCheck(window, IDC_RAW_IDS_ONLY, true);
    Receive(PROTO_QBIN, kQbinPosition);
    Receive(PROTO_QBIN, {0x10, 0x41, 0x10});  // too short for its id: nothing
    Receive(PROTO_NMEA, kGga);
    // Sent commands stay hidden while "sent" is off.
    Sent(PROTO_QBIN, {0x10, 0x1E, 0x4B, 0x10, 0x03});
    const std::vector<std::string> expected = {"10 41 00 01 02 03 04 05 06 07 08 09 10 03 ", "$GPGGA,*7A",
                                               "Packet ID: 0x41     Data Length: 10",
                                               "Message ID: GGA   Message Length: 12"};
    EXPECT_EQ(expected, Lines(window));
}

TEST_F(RawOutputTest, SentQbinCommandsShownUnstuffed)
{
    CRawOutput* window = Open();
    ASSERT_NE(nullptr, window);
    SetCheck(window, IDC_RAW_SHOW_RECEIVED, false);
    SetCheck(window, IDC_RAW_SHOW_SENT, true);
    Receive(PROTO_NMEA, kGga);
    Sent(PROTO_QBIN, {0x10, 0x8E, 0x15, 0x00, 0x10, 0x10, 0x10, 0x03});
    Sent(PROTO_NMEA, Text("$PZULQTF*50\r\n"));
    SetCheck(window, IDC_RAW_IDS_ONLY, true);
    Sent(PROTO_QBIN, {0x10, 0x8E, 0x15, 0x00, 0x10, 0x10, 0x10, 0x03});
    Sent(PROTO_QBIN, {0x10, 0x1E, 0x4B, 0x10, 0x03});
    const std::vector<std::string> expected = {"10 8E 15 00 10 10 03 ", "$PZULQTF*50",
                                               "Packet ID: 0x8E-15  Data Length: 3",
                                               "Packet ID: 0x1E     Data Length: 1"};
    EXPECT_EQ(expected, Lines(window));
}

TEST_F(RawOutputTest, PausedOrBothChecksOffShowNothing)
{
    CRawOutput* window = Open();
    ASSERT_NE(nullptr, window);
    SetCheck(window, IDC_RAW_SHOW_SENT, true);

    Click(window, IDC_RAW_PAUSE);
    EXPECT_TRUE(window->IsPaused());
    EXPECT_EQ("Resume", ItemText(window, IDC_RAW_PAUSE));
    Receive(PROTO_NMEA, kGga);
    Sent(PROTO_QBIN, {0x10, 0x1E, 0x4B, 0x10, 0x03});
    EXPECT_TRUE(Lines(window).empty());

    Click(window, IDC_RAW_PAUSE);
    EXPECT_FALSE(window->IsPaused());
    EXPECT_EQ("Pause", ItemText(window, IDC_RAW_PAUSE));
    SetCheck(window, IDC_RAW_SHOW_RECEIVED, false);
    SetCheck(window, IDC_RAW_SHOW_SENT, false);
    Receive(PROTO_NMEA, kGga);
    Sent(PROTO_QBIN, {0x10, 0x1E, 0x4B, 0x10, 0x03});
    EXPECT_TRUE(Lines(window).empty());

    SetCheck(window, IDC_RAW_SHOW_RECEIVED, true);
    Receive(PROTO_NMEA, kGga);
    EXPECT_EQ(std::vector<std::string>{"$GPGGA,*7A"}, Lines(window));
}

// A playback faster than 500 is too fast to list; at 500 and below it is listed.
TEST_F(RawOutputTest, PlaybackSpeedLimit)
{
    CRawOutput* window = Open();
    ASSERT_NE(nullptr, window);
    main.m_linkMode = LINK_FILE;
    main.m_playback.speed = 501;
    Receive(PROTO_NMEA, kGga);
    EXPECT_TRUE(Lines(window).empty());
    main.m_playback.speed = 500;
    Receive(PROTO_NMEA, kGga);
    EXPECT_EQ(std::vector<std::string>{"$GPGGA,*7A"}, Lines(window));
    // The speed only counts in FILE mode.
    main.m_linkMode = LINK_MONITOR;
    main.m_playback.speed = 1000;
    Receive(PROTO_NMEA, kGga);
    EXPECT_EQ(2u, Lines(window).size());
}

// At most 4999 lines: the 5000th empties the list first, whether the lines
// come one refresh at a time or all between two refreshes.
TEST_F(RawOutputTest, FiveThousandthLineClearsFirst)
{
    CRawOutput* window = Open();
    ASSERT_NE(nullptr, window);
    SetCheck(window, IDC_RAW_IDS_ONLY, true);
    for (int i = 0; i < RawLineQueue::kLineLimit; ++i) {
        Receive(PROTO_QBIN, {0x10, 0x41, static_cast<BYTE>(i), 0x10, 0x03});
        if (i == 100) window->FlushLines();
    }
    const std::vector<std::string> full = Lines(window);
    ASSERT_EQ(4999u, full.size());
    EXPECT_EQ("Packet ID: 0x41     Data Length: 1", full.front());
    const HWND edit = ::GetDlgItem(window->m_hWnd, IDC_RAW_TEXT);
    EXPECT_EQ(4999, ::SendMessageA(edit, EM_GETLINECOUNT, 0, 0));

    Receive(PROTO_NMEA, kGga);
    EXPECT_EQ(std::vector<std::string>{"Message ID: GGA   Message Length: 12"}, Lines(window));
    EXPECT_EQ(1, window->GetLinesShown());
}

TEST_F(RawOutputTest, TwoWindowsGetTheSameLines)
{
    CRawOutput* first = Open();
    CRawOutput* second = Open();
    ASSERT_NE(nullptr, first);
    ASSERT_NE(nullptr, second);
    ASSERT_NE(first, second);
    EXPECT_EQ(2, main.m_rawOutputs.GetSize());
    Receive(PROTO_QBIN, kQbinPosition);
    Receive(PROTO_NMEA, kGga);
    Receive(PROTO_QTXT, Text(">QST;*79<"));
    const std::vector<std::string> lines = Lines(first);
    EXPECT_EQ(3u, lines.size());
    EXPECT_EQ(lines, Lines(second));
}

TEST_F(RawOutputTest, ClearEmptiesAndDropsWhatWaits)
{
    CRawOutput* window = Open();
    ASSERT_NE(nullptr, window);
    Receive(PROTO_NMEA, kGga);
    window->FlushLines();
    Receive(PROTO_NMEA, kGga);  // waiting for the next refresh
    Click(window, IDC_RAW_CLEAR);
    EXPECT_TRUE(Lines(window).empty());
    Receive(PROTO_QTXT, Text(">QST;*79<"));
    EXPECT_EQ(std::vector<std::string>{">QST;*79<"}, Lines(window));
}

TEST_F(RawOutputTest, CopyTakesTheSelectionOrEverything)
{
    CRawOutput* window = Open();
    ASSERT_NE(nullptr, window);
    Receive(PROTO_NMEA, kGga);
    Receive(PROTO_QTXT, Text(">QST;*79<"));
    const HWND edit = ::GetDlgItem(window->m_hWnd, IDC_RAW_TEXT);

    // Nothing selected: everything.
    ClearClipboard();
    CHARRANGE none = {0, 0};
    window->FlushLines();
    ::SendMessageA(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&none));
    Click(window, IDC_RAW_COPY);
    std::string all = ClipboardText();
    EXPECT_NE(std::string::npos, all.find("$GPGGA,*7A")) << all;
    EXPECT_NE(std::string::npos, all.find(">QST;*79<")) << all;

    // A selection holding text: only it.
    ClearClipboard();
    CHARRANGE word = {1, 6};  // "GPGGA"
    ::SendMessageA(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&word));
    Click(window, IDC_RAW_COPY);
    EXPECT_EQ("GPGGA", ClipboardText());

    // A selection of the line end alone counts as none.
    ClearClipboard();
    CHARRANGE lineEnd = {10, 11};
    ::SendMessageA(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&lineEnd));
    Click(window, IDC_RAW_COPY);
    all = ClipboardText();
    EXPECT_NE(std::string::npos, all.find(">QST;*79<")) << all;
}

TEST_F(RawOutputTest, ClosingLeavesTheListAndTheLink)
{
    CRawOutput* first = Open();
    CRawOutput* second = Open();
    ASSERT_NE(nullptr, first);
    ASSERT_NE(nullptr, second);
    const int listeners = main.m_link.GetListenerCount();
    Click(first, IDC_RAW_CLOSE);
    PumpPending();
    ASSERT_EQ(1, main.m_rawOutputs.GetSize());
    EXPECT_EQ(second, main.m_rawOutputs[0]);
    EXPECT_EQ(listeners - 1, main.m_link.GetListenerCount());
    second->SendMessage(WM_CLOSE);
    PumpPending();
    EXPECT_EQ(0, main.m_rawOutputs.GetSize());
    EXPECT_EQ(listeners - 2, main.m_link.GetListenerCount());
}

TEST_F(RawOutputTest, MainWindowTakesItsRawWindowsWithIt)
{
    ASSERT_NE(nullptr, Open());
    ASSERT_NE(nullptr, Open());
    std::vector<HWND> windows;
    for (INT_PTR i = 0; i < main.m_rawOutputs.GetSize(); ++i)
        windows.push_back(static_cast<CRawOutput*>(main.m_rawOutputs[i])->m_hWnd);
    main.DestroyWindow();
    PumpPending();
    EXPECT_EQ(0, main.m_rawOutputs.GetSize());
    for (HWND window : windows) EXPECT_FALSE(::IsWindow(window));
}

}  // namespace
