// "Select Port & Settings..." from the program's own template, run modally,
// with a scripted receiver detector that answers a start with the kinds the
// test names. What the dialog asks of its owner (going idle, suspending and
// restoring the auto-query) is recorded instead of done.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/CPortSettings.h"
#include "app/resource.h"
#include "framework/MessagePrompter.h"
#include "framework/afx.h"
#include "link/CCommPort.h"

namespace {

struct DetectorLog {
    std::vector<int32_t> controls;   // every Control operation, in order
    int made = 0;
};

// Posts its kinds back as a real detector does once a start is accepted.
class ScriptedDetector : public IPortDetector {
public:
    ScriptedDetector(DetectorLog& log, std::vector<int32_t> kinds, bool refuseStart, ProtocolKind protocol,
                     const LinkPortSettings& result)
        : m_log(log), m_kinds(std::move(kinds)), m_refuseStart(refuseStart), m_protocol(protocol), m_result(result)
    {
    }
    bool Control(int32_t operation, const DetectionRequest* request) override
    {
        m_log.controls.push_back(operation);
        if (operation != DETECT_OP_START) return true;
        if (m_refuseStart || request == nullptr) return false;
        EXPECT_EQ(5u, request->portNumber);
        for (uint32_t option : request->options) EXPECT_EQ(1u, option);
        EXPECT_EQ(WM_DETECTOR_EVENT, request->replyMessage);
        for (int32_t kind : m_kinds) ::PostMessageA(request->replyWindow, request->replyMessage, kind, 0);
        return true;
    }
    void GetResult(ProtocolKind& protocol, LinkPortSettings& settings, CString& text) override
    {
        protocol = m_protocol;
        settings = m_result;
        text = "SIM-1";
    }

private:
    DetectorLog& m_log;
    std::vector<int32_t> m_kinds;
    bool m_refuseStart;
    ProtocolKind m_protocol;
    LinkPortSettings m_result;
};

// Posted by a test: note what the dialog shows, then Cancel.
const UINT kLookAndCancel = WM_APP + 1;

// What the dialog shows after one detector event.
struct Shown {
    int32_t kind;
    std::string status, baud, parity, dataBits, stopBits;
    bool okEnabled;
};

class TestPortSettings : public CPortSettings {
public:
    TestPortSettings() : CPortSettings(nullptr, 5, false) {}

    std::function<void(TestPortSettings&)> onInit;
    bool monitors = false;
    int32_t cancelAfterKind = 0;   // posts Cancel once this kind has been handled
    std::vector<int> idleCalls;
    std::vector<int> autoQueryCalls;
    std::vector<Shown> shown;

    std::string Text(UINT id)
    {
        char text[128] = {};
        ::GetDlgItemTextA(m_hWnd, static_cast<int>(id), text, sizeof text);
        return text;
    }
    std::string Combo(UINT id)
    {
        const LRESULT index = SendDlgItemMessage(static_cast<int>(id), CB_GETCURSEL, 0, 0);
        if (index == CB_ERR) return "";
        char text[64] = {};
        SendDlgItemMessage(static_cast<int>(id), CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
        return text;
    }
    void Select(UINT id, const char* text)
    {
        const LRESULT index = SendDlgItemMessage(static_cast<int>(id), CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                 reinterpret_cast<LPARAM>(text));
        SendDlgItemMessage(static_cast<int>(id), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }
    void CheckAutoDetect()
    {
        CheckDlgButton(IDC_PORT_AUTODETECT, BST_CHECKED);
        SendMessage(WM_COMMAND, MAKEWPARAM(IDC_PORT_AUTODETECT, BN_CLICKED),
                    reinterpret_cast<LPARAM>(::GetDlgItem(m_hWnd, IDC_PORT_AUTODETECT)));
    }
    void Click(UINT id) { PostMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
    bool IsEnabled(UINT id) { return ::IsWindowEnabled(::GetDlgItem(m_hWnd, static_cast<int>(id))) != FALSE; }
    using CPortSettings::ApplyPreset;

protected:
    BOOL OnInitDialog() override
    {
        CPortSettings::OnInitDialog();
        m_detectStartMs = 10;
        if (onInit) onInit(*this);
        return TRUE;
    }
    bool OwnerMonitorsPort(int32_t port) override { return monitors && port == 5; }
    void OwnerEnterIdle(int reconnect) override { idleCalls.push_back(reconnect); }
    void OwnerSetAutoQuery(int action) override { autoQueryCalls.push_back(action); }

    void Look(int32_t kind)
    {
        shown.push_back({kind, Text(IDC_PORT_STATUS), Combo(IDC_PORT_BAUD), Combo(IDC_PORT_PARITY),
                         Combo(IDC_PORT_DATABITS), Combo(IDC_PORT_STOPBITS), IsEnabled(IDOK)});
    }
    afx_msg LRESULT OnEvent(WPARAM wParam, LPARAM lParam)
    {
        const LRESULT result = CPortSettings::OnDetectorEvent(wParam, lParam);
        if (m_hWnd == nullptr || !::IsWindow(m_hWnd)) return result;
        Look(static_cast<int32_t>(wParam));
        if (static_cast<int32_t>(wParam) == cancelAfterKind) Click(IDCANCEL);
        return result;
    }
    afx_msg LRESULT OnLookAndCancel(WPARAM, LPARAM)
    {
        Look(0);
        Click(IDCANCEL);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TestPortSettings, CPortSettings)
    ON_MESSAGE(WM_DETECTOR_EVENT, &TestPortSettings::OnEvent)
    ON_MESSAGE(kLookAndCancel, &TestPortSettings::OnLookAndCancel)
END_MESSAGE_MAP()

// Records every box, as the scripted prompter does, and lets the test act
// once a box has been shown.
class ActingPrompter : public ScriptedPrompter {
public:
    std::function<void(const std::string&)> onBox;
    int Prompt(LPCTSTR text, UINT type, UINT help) override
    {
        const int answer = ScriptedPrompter::Prompt(text, type, help);
        if (onBox) onBox(text);
        return answer;
    }
};

class PortSettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_prompter = std::make_unique<CPrompterScope>(&prompter);
        AvailableComPorts.RemoveAll();
        for (DWORD port : {5u, 12u, 5u}) AvailableComPorts.Add(port);
        dlg.m_settings.portNumber = 5;
        dlg.m_settings.baudRate = 115200;
        dlg.m_settings.parity = 1;
        dlg.m_settings.dataBits = 8;
        dlg.m_settings.stopBits = 0;
    }
    void TearDown() override { SetPortDetectorFactory(PortDetectorFactory()); }

    void UseDetector(std::vector<int32_t> kinds, bool refuseStart = false, ProtocolKind protocol = PROTO_NMEA)
    {
        LinkPortSettings result;
        result.portNumber = 5;
        result.baudRate = 4800;
        result.parity = 2;
        result.dataBits = 8;
        result.stopBits = 0;
        SetPortDetectorFactory([this, kinds, refuseStart, protocol, result]() {
            ++log.made;
            return std::unique_ptr<IPortDetector>(new ScriptedDetector(log, kinds, refuseStart, protocol, result));
        });
    }

    // Checks auto-detect and presses OK.
    void DetectOnOpen()
    {
        dlg.onInit = [](TestPortSettings& d) {
            d.CheckAutoDetect();
            d.Click(IDOK);
        };
    }

    std::vector<std::string> Boxes() const
    {
        std::vector<std::string> texts;
        for (const auto& box : prompter.boxes) texts.push_back(box.text);
        return texts;
    }

    ActingPrompter prompter;
    std::unique_ptr<CPrompterScope> m_prompter;
    DetectorLog log;
    TestPortSettings dlg;
};

const char kNotFound[] = "Could not identify the receiver on the selected port!";
const char kNotOpened[] = "The specified COM port could not be opened!\nCheck that it is not used by another program.";
const char kCannotDetect[] = "Failed to initilize automatic receiver detection!";

}  // namespace

// Without detection the combos are the settings: the port's item of a list
// without duplicates, data bits "7" gives 7 and stop bits "2" code 2.
TEST_F(PortSettingsTest, ChosenSettingsAreTakenWithoutDetection)
{
    std::vector<std::string> ports;
    std::string baud, parity;
    dlg.onInit = [&](TestPortSettings& d) {
        for (int i = 0; i < static_cast<int>(d.SendDlgItemMessage(IDC_PORT_PORT, CB_GETCOUNT, 0, 0)); ++i) {
            char text[32] = {};
            d.SendDlgItemMessage(IDC_PORT_PORT, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            ports.push_back(text);
        }
        baud = d.Combo(IDC_PORT_BAUD);
        parity = d.Combo(IDC_PORT_PARITY);
        EXPECT_EQ("COM 5", d.Combo(IDC_PORT_PORT));
        EXPECT_EQ("8", d.Combo(IDC_PORT_DATABITS));
        EXPECT_EQ("1", d.Combo(IDC_PORT_STOPBITS));
        d.Select(IDC_PORT_PORT, "COM 12");
        d.ApplyPreset(32891);
        d.Select(IDC_PORT_DATABITS, "7");
        d.Select(IDC_PORT_STOPBITS, "2");
        d.Click(IDOK);
    };
    ASSERT_EQ(IDOK, dlg.DoModal());
    EXPECT_EQ((std::vector<std::string>{"COM 5", "COM 12"}), ports);
    EXPECT_EQ("115200", baud);
    EXPECT_EQ("Odd", parity);
    const LinkPortSettings& s = dlg.GetSettings();
    EXPECT_EQ(12u, s.portNumber);
    EXPECT_EQ(115200u, s.baudRate);
    EXPECT_EQ(0, s.parity);
    EXPECT_EQ(7, s.dataBits);
    EXPECT_EQ(2, s.stopBits);
    EXPECT_EQ(0, dlg.GetDetectedProtocol());
    EXPECT_EQ(0, log.made);
    EXPECT_TRUE(dlg.autoQueryCalls.empty());
}

// A try shows its protocol and its baud and parity with OK disabled; a
// cancelled detection re-enables OK at the default preset, and Cancel then
// calls neither the detector nor the auto-query again.
TEST_F(PortSettingsTest, TryingShowsTheTryAndCancelledRestoresTheDefaults)
{
    UseDetector({DETECT_TRYING, DETECT_CANCELLED});
    DetectOnOpen();
    dlg.cancelAfterKind = DETECT_CANCELLED;
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    ASSERT_EQ(2u, dlg.shown.size());
    const Shown& trying = dlg.shown[0];
    EXPECT_EQ("NMEA", trying.status);
    EXPECT_EQ("4800", trying.baud);
    EXPECT_EQ("Even", trying.parity);
    EXPECT_FALSE(trying.okEnabled);
    const Shown& cancelled = dlg.shown[1];
    EXPECT_TRUE(cancelled.okEnabled);
    EXPECT_EQ("9600", cancelled.baud);
    EXPECT_EQ("None", cancelled.parity);
    EXPECT_EQ((std::vector<int32_t>{DETECT_OP_START, DETECT_OP_CANCEL}), log.controls);
    EXPECT_EQ((std::vector<int>{1, 3}), dlg.autoQueryCalls);
    EXPECT_TRUE(dlg.idleCalls.empty()) << "COM 5 was not being monitored";
    EXPECT_TRUE(Boxes().empty());
}

// A receiver found ends the dialog with IDOK, its settings and protocol.
TEST_F(PortSettingsTest, FoundEndsWithTheDetectedSettings)
{
    UseDetector({DETECT_TRYING, DETECT_FOUND}, false, PROTO_KESTO);
    DetectOnOpen();
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_EQ(PROTO_KESTO, dlg.GetDetectedProtocol());
    EXPECT_EQ(5, dlg.GetDetectedPort());
    EXPECT_EQ(4800u, dlg.GetSettings().baudRate);
    EXPECT_EQ(2, dlg.GetSettings().parity);
    EXPECT_EQ((std::vector<int32_t>{DETECT_OP_START, DETECT_OP_CANCEL}), log.controls);
    EXPECT_EQ((std::vector<int>{1, 3}), dlg.autoQueryCalls);
}

// Not found and port-not-opened end the detection with their message; the
// combos of a detection that found nothing stand at 9600, None, 8, 1.
TEST_F(PortSettingsTest, FailedDetectionsTellWhyAndCancelCallsNothingMore)
{
    const struct {
        int32_t kind;
        const char* message;
        UINT icon;
        const char* baud;
    } cases[] = {{DETECT_NOT_FOUND, kNotFound, MB_ICONWARNING, "9600"},
                 {DETECT_PORT_NOT_OPENED, kNotOpened, MB_ICONSTOP, "4800"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        TestPortSettings d;
        d.m_settings = dlg.m_settings;
        log = DetectorLog();
        prompter.boxes.clear();
        UseDetector({DETECT_TRYING, c.kind});
        d.onInit = [](TestPortSettings& t) {
            t.CheckAutoDetect();
            t.Click(IDOK);
        };
        d.cancelAfterKind = c.kind;
        EXPECT_EQ(IDCANCEL, d.DoModal());
        ASSERT_EQ(2u, d.shown.size());
        const Shown& after = d.shown[1];
        EXPECT_TRUE(after.okEnabled);
        EXPECT_EQ(c.baud, after.baud);
        if (c.kind == DETECT_NOT_FOUND) {
            EXPECT_EQ("None", after.parity);
            EXPECT_EQ("8", after.dataBits);
            EXPECT_EQ("1", after.stopBits);
        }
        ASSERT_EQ(1u, prompter.boxes.size());
        EXPECT_EQ(c.message, prompter.boxes[0].text);
        EXPECT_EQ(c.icon, prompter.boxes[0].type & MB_ICONMASK);
        EXPECT_EQ((std::vector<int32_t>{DETECT_OP_START, DETECT_OP_CANCEL}), log.controls);
        EXPECT_EQ((std::vector<int>{1, 3}), d.autoQueryCalls);
    }
}

// The program's own detector refuses to start: after the start delay the
// user is told, OK comes back at the default preset, and the auto-query is
// restored once; Cancel then calls nothing more.
TEST_F(PortSettingsTest, ARefusedStartIsToldAndRestoresTheAutoQueryOnce)
{
    UseDetector({}, true);
    DetectOnOpen();
    prompter.onBox = [this](const std::string&) { dlg.PostMessage(kLookAndCancel, 0, 0); };
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_EQ((std::vector<std::string>{kCannotDetect}), Boxes());
    ASSERT_EQ(1u, dlg.shown.size());
    EXPECT_TRUE(dlg.shown[0].okEnabled);
    EXPECT_EQ("9600", dlg.shown[0].baud);
    EXPECT_EQ("None", dlg.shown[0].parity);
    EXPECT_EQ(0, dlg.GetDetectedPort());
    EXPECT_EQ((std::vector<int32_t>{DETECT_OP_START, DETECT_OP_CANCEL}), log.controls);
    EXPECT_EQ((std::vector<int>{1, 3}), dlg.autoQueryCalls);
}

// No detector can be made: the user is told at once and nothing was
// suspended, so nothing is restored.
TEST_F(PortSettingsTest, NoDetectorSuspendsNothing)
{
    SetPortDetectorFactory([this]() {
        ++log.made;
        return std::unique_ptr<IPortDetector>();
    });
    DetectOnOpen();
    prompter.onBox = [this](const std::string&) { dlg.PostMessage(kLookAndCancel, 0, 0); };
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_EQ(1, log.made);
    EXPECT_EQ((std::vector<std::string>{kCannotDetect}), Boxes());
    ASSERT_EQ(1u, dlg.shown.size());
    EXPECT_TRUE(dlg.shown[0].okEnabled);
    EXPECT_TRUE(dlg.autoQueryCalls.empty());
    EXPECT_EQ(0, dlg.GetDetectedPort());
}

// Detection on the port being monitored takes the link down first; Cancel
// after the detection brings it back (a reconnect).
TEST_F(PortSettingsTest, CancelReconnectsTheLinkADetectionTookDown)
{
    UseDetector({DETECT_NOT_FOUND});
    DetectOnOpen();
    dlg.monitors = true;
    dlg.cancelAfterKind = DETECT_NOT_FOUND;
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_EQ((std::vector<int>{0, 1}), dlg.idleCalls);
    EXPECT_EQ((std::vector<int>{1, 3}), dlg.autoQueryCalls);
}

// Cancel without any detection calls nobody.
TEST_F(PortSettingsTest, CancelWithoutDetectionCallsNothing)
{
    UseDetector({DETECT_FOUND});
    dlg.onInit = [](TestPortSettings& d) { d.Click(IDCANCEL); };
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_EQ(0, log.made);
    EXPECT_TRUE(dlg.autoQueryCalls.empty());
    EXPECT_TRUE(dlg.idleCalls.empty());
}

// The configurator's variant has no port choice and no detection: its OK
// speaks for "COM 1".
TEST_F(PortSettingsTest, TheConfiguratorVariantChoosesOnlyTheLineSettings)
{
    CPortSettings configurator(nullptr, 0, true);
    configurator.m_settings.baudRate = 38400;
    configurator.m_settings.parity = 2;
    configurator.m_settings.dataBits = 7;
    configurator.m_settings.stopBits = 2;
    struct Closer {
        static void CALLBACK Press(HWND, UINT, UINT_PTR id, DWORD)
        {
            ::KillTimer(nullptr, id);
            HWND dialog = ::FindWindowA(nullptr, "COM Settings...");
            if (dialog != nullptr) ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        }
    };
    ::SetTimer(nullptr, 0, 200, &Closer::Press);
    EXPECT_EQ(IDOK, configurator.DoModal());
    const LinkPortSettings& s = configurator.GetSettings();
    EXPECT_EQ(1u, s.portNumber);
    EXPECT_EQ(38400u, s.baudRate);
    EXPECT_EQ(2, s.parity);
    EXPECT_EQ(7, s.dataBits);
    EXPECT_EQ(2, s.stopBits);
}
