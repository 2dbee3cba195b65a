#include "app/CPortSettings.h"

#include <cstdio>

#include "app/CMainWndDlg.h"
#include "app/PortSettingsRules.h"
#include "app/resource.h"
#include "framework/MessagePrompter.h"
#include "link/CCommPort.h"

namespace {

// The detector starts this long after OK, so the dialog is drawn as
// detecting (and a link taken down is closed) before the port is probed.
const UINT kDetectTimerId = 1;
const UINT kDetectStartMs = 1500;

const COLORREF kStatusColour = RGB(0, 128, 0);   // 0x008000
const int kFontTenths = 100;                     // 10 points
const char kFontFace[] = "Tahoma";

// Every option of the detection request is on.
const uint32_t kDetectOptionOn = 1;

// The configurator's port dialog speaks for a port it does not choose.
const char kConfiguratorPortText[] = "COM 1";
const int32_t kConfiguratorPort = -1;

const char kDetectFailedText[] = "Failed to initilize automatic receiver detection!";
const char kNotFoundText[] = "Could not identify the receiver on the selected port!";
const char kPortNotOpenedText[] =
    "The specified COM port could not be opened!\nCheck that it is not used by another program.";

const UINT kSettingCombos[] = {IDC_PORT_BAUD, IDC_PORT_PARITY, IDC_PORT_DATABITS, IDC_PORT_STOPBITS};
const UINT kDetectionTexts[] = {IDC_PORT_CHECKING, IDC_PORT_USING, IDC_PORT_STATUS};

// The program's own detector behind the dialog's interface.
class CReceiverDetectorAdapter : public IPortDetector {
public:
    bool Control(int32_t operation, const DetectionRequest* request) override
    {
        return m_detector.Control(operation, request);
    }
    void GetResult(ProtocolKind& protocol, LinkPortSettings& settings, CString& text) override
    {
        m_detector.GetResult(protocol, settings, text);
    }

private:
    CReceiverDetector m_detector;
};

PortDetectorFactory& InstalledFactory()
{
    static PortDetectorFactory factory;
    return factory;
}

std::unique_ptr<IPortDetector> MakeDetector()
{
    const PortDetectorFactory& factory = InstalledFactory();
    if (factory) return factory();
    return std::unique_ptr<IPortDetector>(new CReceiverDetectorAdapter);
}

CMainWndDlg* AsMainWindow(CWnd* owner) { return dynamic_cast<CMainWndDlg*>(owner); }

}  // namespace

PortDetectorFactory SetPortDetectorFactory(PortDetectorFactory factory)
{
    PortDetectorFactory previous = InstalledFactory();
    InstalledFactory() = std::move(factory);
    return previous;
}

BEGIN_MESSAGE_MAP(CPortSettings, CDialog)
    ON_BN_CLICKED(IDC_PORT_AUTODETECT, &CPortSettings::OnAutoDetectClicked)
    ON_BN_CLICKED(IDC_PORT_PRESETS, &CPortSettings::OnPresetsClicked)
    ON_WM_CONTEXTMENU()
    ON_MESSAGE(WM_DETECTOR_EVENT, &CPortSettings::OnDetectorEvent)
    ON_WM_TIMER()
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

CPortSettings::CPortSettings(CWnd* owner, int32_t port, bool configuratorVariant)
    : CDialog(configuratorVariant ? IDD_PORT_SETTINGS_CONFIGURATOR : IDD_PORT_SETTINGS, owner),
      m_detectStartMs(kDetectStartMs),
      m_owner(owner),
      m_initialPort(configuratorVariant ? kConfiguratorPort : port),
      m_configuratorVariant(configuratorVariant),
      m_request()
{
}

CPortSettings::~CPortSettings()
{
    // A dialog that went while detecting still gives the owner its
    // auto-query back.
    StopDetection();
}

void CPortSettings::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    if (!m_configuratorVariant) DDX_Check(pDX, IDC_PORT_AUTODETECT, m_autoDetect);
}

// ---- Initialisation --------------------------------------------------------------------

BOOL CPortSettings::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (m_font.CreatePointFont(kFontTenths, kFontFace)) {
        LOGFONTA font = {};
        m_font.GetLogFont(&font);
        font.lfWeight = FW_BOLD;
        m_font.DeleteObject();
        m_font.CreateFontIndirect(&font);
        if (CWnd* status = GetDlgItem(IDC_PORT_STATUS)) status->SetFont(&m_font);
    }
    FillCombos();
    UpdateData(FALSE);
    ShowDetectionControls();
    CenterWindow(m_owner);

    m_presets.CreatePopupMenu();
    m_presets.AppendMenu(MF_STRING | MF_GRAYED, 0, kPortPresetsTitle);
    m_presets.AppendMenu(MF_STRING | MF_GRAYED, 0, kPortPresetsLine);
    for (int i = 0; i < kPortPresetCount; ++i) m_presets.AppendMenu(MF_STRING, kPortPresets[i].id, kPortPresets[i].text);
    return TRUE;
}

void CPortSettings::FillCombos()
{
    if (CComboBox* ports = static_cast<CComboBox*>(GetDlgItem(IDC_PORT_PORT))) {
        if (AvailableComPorts.GetSize() == 0) EnumerateComPorts();
        for (INT_PTR i = 0; i < AvailableComPorts.GetSize(); ++i) {
            CString item;
            item.Format("COM %u", static_cast<unsigned>(AvailableComPorts[i]));
            if (ports->FindStringExact(-1, item) < 0) ports->AddString(item);
        }
        const int32_t port = m_initialPort != 0 ? m_initialPort : static_cast<int32_t>(m_settings.portNumber);
        CString wanted;
        wanted.Format("COM %d", static_cast<int>(port));
        const int index = ports->FindStringExact(-1, wanted);
        if (index >= 0) ports->SetCurSel(index);
    }
    const struct {
        UINT id;
        const char* const* texts;
        int count;
    } combos[] = {{IDC_PORT_BAUD, kPortBaudTexts, kPortBaudTextCount},
                  {IDC_PORT_PARITY, kPortParityTexts, kPortParityTextCount},
                  {IDC_PORT_DATABITS, kPortDataBitsTexts, 2},
                  {IDC_PORT_STOPBITS, kPortStopBitsTexts, 2}};
    for (const auto& combo : combos) {
        CComboBox* box = static_cast<CComboBox*>(GetDlgItem(static_cast<int>(combo.id)));
        if (box == nullptr) continue;
        box->ResetContent();
        for (int i = 0; i < combo.count; ++i) box->AddString(combo.texts[i]);
    }
    CString baud;
    baud.Format("%u", static_cast<unsigned>(m_settings.baudRate));
    SelectComboText(IDC_PORT_BAUD, baud);
    SendDlgItemMessage(IDC_PORT_PARITY, CB_SETCURSEL, static_cast<WPARAM>(ParityIndex(m_settings.parity)), 0);
    SendDlgItemMessage(IDC_PORT_DATABITS, CB_SETCURSEL, static_cast<WPARAM>(DataBitsIndex(m_settings.dataBits)), 0);
    SendDlgItemMessage(IDC_PORT_STOPBITS, CB_SETCURSEL, static_cast<WPARAM>(StopBitsIndex(m_settings.stopBits)), 0);
}

void CPortSettings::SelectComboText(UINT id, const char* text)
{
    const LRESULT index = SendDlgItemMessage(static_cast<int>(id), CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                             reinterpret_cast<LPARAM>(text));
    if (index != CB_ERR) SendDlgItemMessage(static_cast<int>(id), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

CString CPortSettings::GetComboText(UINT id)
{
    CString text;
    const LRESULT index = SendDlgItemMessage(static_cast<int>(id), CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) return text;
    char buffer[64] = {};
    const LRESULT length = SendDlgItemMessage(static_cast<int>(id), CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length <= 0 || length >= static_cast<LRESULT>(sizeof buffer)) return text;
    SendDlgItemMessage(static_cast<int>(id), CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer));
    text = buffer;
    return text;
}

// ---- Auto-detect and presets --------------------------------------------------------------

void CPortSettings::OnAutoDetectClicked()
{
    UpdateData(TRUE);
    ShowDetectionControls();
}

void CPortSettings::ShowDetectionControls()
{
    const bool detect = m_autoDetect != 0;
    for (UINT id : kSettingCombos)
        if (CWnd* combo = GetDlgItem(static_cast<int>(id))) combo->EnableWindow(detect ? FALSE : TRUE);
    if (CWnd* hint = GetDlgItem(IDC_PORT_HINT)) hint->ShowWindow(detect ? SW_HIDE : SW_SHOW);
    for (UINT id : kDetectionTexts)
        if (CWnd* text = GetDlgItem(static_cast<int>(id))) text->ShowWindow(detect ? SW_SHOW : SW_HIDE);
}

void CPortSettings::OnPresetsClicked()
{
    POINT cursor = {};
    ::GetCursorPos(&cursor);
    m_presets.TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, cursor.x, cursor.y, this);
}

void CPortSettings::OnContextMenu(CWnd* pWnd, CPoint point)
{
    (void)point;
    if (pWnd != nullptr && pWnd->GetDlgCtrlID() == IDC_PORT_PRESETS) OnPresetsClicked();
}

BOOL CPortSettings::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT id = LOWORD(wParam);
    if (lParam == 0 && id >= ID_PORT_PRESET_FIRST && id <= ID_PORT_PRESET_LAST) {
        ApplyPreset(id);
        return TRUE;
    }
    return CDialog::OnCommand(wParam, lParam);
}

void CPortSettings::ApplyPreset(UINT id)
{
    PortPresetChoice choice;
    if (!GetPortPresetChoice(id, choice)) return;
    if (choice.baud != nullptr) {
        SelectComboText(IDC_PORT_BAUD, choice.baud);
        SendDlgItemMessage(IDC_PORT_PARITY, CB_SETCURSEL, static_cast<WPARAM>(choice.parityIndex), 0);
    }
    SelectComboText(IDC_PORT_STOPBITS, choice.stopBits);
    SelectComboText(IDC_PORT_DATABITS, choice.dataBits);
}

// ---- OK and Cancel -------------------------------------------------------------------------

void CPortSettings::OnOK()
{
    if (!UpdateData(TRUE)) return;
    const CString portText = m_configuratorVariant ? CString(kConfiguratorPortText) : GetComboText(IDC_PORT_PORT);
    const int32_t port = ParsePortText(portText);

    if (m_autoDetect != 0 && !m_configuratorVariant) {
        StartDetection(port);
        return;
    }
    if (port != 0) m_settings.portNumber = static_cast<uint32_t>(port);
    const uint32_t baud = BaudFromText(GetComboText(IDC_PORT_BAUD));
    if (baud != 0) m_settings.baudRate = baud;
    m_settings.parity = ParityFromIndex(static_cast<int>(SendDlgItemMessage(IDC_PORT_PARITY, CB_GETCURSEL, 0, 0)));
    m_settings.dataBits = DataBitsFromIndex(static_cast<int>(SendDlgItemMessage(IDC_PORT_DATABITS, CB_GETCURSEL, 0, 0)));
    m_settings.stopBits = StopBitsFromIndex(static_cast<int>(SendDlgItemMessage(IDC_PORT_STOPBITS, CB_GETCURSEL, 0, 0)));
    EndDialog(IDOK);
}

void CPortSettings::OnCancel()
{
    StopDetection();
    // The link this dialog took down for its detection comes back.
    if (m_ownerLinkTakenDown) {
        m_ownerLinkTakenDown = false;
        OwnerEnterIdle(1);
    }
    EndDialog(IDCANCEL);
}

// ---- Detection --------------------------------------------------------------------------------

void CPortSettings::StartDetection(int32_t port)
{
    if (m_detector) return;   // one at a time: OK is disabled while it runs
    m_detectedPort = port;
    // The detector needs the port to itself.
    if (OwnerMonitorsPort(port)) {
        OwnerEnterIdle(0);
        m_ownerLinkTakenDown = true;
    }
    m_detector = MakeDetector();
    if (!m_detector) {
        AfxMessageBox(kDetectFailedText, MB_ICONSTOP);
        m_detectedPort = 0;
        return;
    }
    m_request = DetectionRequest();
    m_request.portNumber = static_cast<uint32_t>(port);
    for (uint32_t& option : m_request.options) option = kDetectOptionOn;
    m_request.replyWindow = m_hWnd;
    m_request.replyMessage = WM_DETECTOR_EVENT;
    OwnerSetAutoQuery(1);
    m_autoQuerySuspended = true;
    SetTimer(kDetectTimerId, m_detectStartMs, nullptr);
    EnableOk(false);
}

void CPortSettings::StopDetection()
{
    if (!m_detector) return;
    if (GetSafeHwnd() != nullptr) KillTimer(kDetectTimerId);
    m_detector->Control(DETECT_OP_CANCEL);
    m_detector.reset();
    if (m_autoQuerySuspended) {
        m_autoQuerySuspended = false;
        OwnerSetAutoQuery(3);
    }
}

void CPortSettings::EnableOk(bool enable)
{
    if (CWnd* ok = GetDlgItem(IDOK)) ok->EnableWindow(enable ? TRUE : FALSE);
}

void CPortSettings::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != kDetectTimerId) {
        CDialog::OnTimer(nIDEvent);
        return;
    }
    KillTimer(kDetectTimerId);
    if (!m_detector || m_detector->Control(DETECT_OP_START, &m_request)) return;
    StopDetection();
    AfxMessageBox(kDetectFailedText, MB_ICONSTOP);
    m_detectedPort = 0;
    EnableOk(true);
    ApplyPreset(ID_PORT_PRESET_DEFAULT);
}

void CPortSettings::ShowTry()
{
    ProtocolKind protocol = 0;
    LinkPortSettings tried;
    CString text;
    m_detector->GetResult(protocol, tried, text);
    SetDlgItemText(IDC_PORT_STATUS, GetProtocolName(protocol));
    CString baud;
    baud.Format("%u", static_cast<unsigned>(tried.baudRate));
    SelectComboText(IDC_PORT_BAUD, baud);
    SendDlgItemMessage(IDC_PORT_PARITY, CB_SETCURSEL, static_cast<WPARAM>(ParityIndex(tried.parity)), 0);
}

LRESULT CPortSettings::OnDetectorEvent(WPARAM wParam, LPARAM lParam)
{
    (void)lParam;
    // A report that comes after the detection ended has nobody to tell.
    if (!m_detector) return 0;
    switch (static_cast<int32_t>(wParam)) {
    case DETECT_TRYING:
        ShowTry();
        break;
    case DETECT_FOUND: {
        ProtocolKind protocol = 0;
        LinkPortSettings found;
        CString text;
        m_detector->GetResult(protocol, found, text);
        if (found.portNumber == 0) found.portNumber = static_cast<uint32_t>(m_detectedPort);
        m_settings = found;
        m_detectedProtocol = protocol;
        StopDetection();
        EnableOk(true);
        EndDialog(IDOK);
        break;
    }
    case DETECT_NOT_FOUND:
        StopDetection();
        EnableOk(true);
        ApplyPreset(ID_PORT_PRESET_DEFAULT);
        AfxMessageBox(kNotFoundText, MB_ICONWARNING);
        break;
    case DETECT_PORT_NOT_OPENED:
        StopDetection();
        EnableOk(true);
        AfxMessageBox(kPortNotOpenedText, MB_ICONSTOP);
        break;
    case DETECT_CANCELLED:
        StopDetection();
        EnableOk(true);
        ApplyPreset(ID_PORT_PRESET_DEFAULT);
        break;
    default:
        break;
    }
    return 0;
}

HBRUSH CPortSettings::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    HBRUSH brush = CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
    if (pDC != nullptr && pWnd != nullptr && pWnd->GetDlgCtrlID() == IDC_PORT_STATUS) {
        pDC->SetTextColor(kStatusColour);
        pDC->SelectObject(&m_font);
    }
    return brush;
}

// ---- The owner ---------------------------------------------------------------------------------

bool CPortSettings::OwnerMonitorsPort(int32_t port)
{
    CMainWndDlg* main = AsMainWindow(m_owner);
    return main != nullptr && main->GetLinkMode() == LINK_MONITOR && static_cast<int32_t>(main->m_port) == port;
}

void CPortSettings::OwnerEnterIdle(int reconnect)
{
    if (CMainWndDlg* main = AsMainWindow(m_owner)) main->EnterIdleMode(reconnect);
}

void CPortSettings::OwnerSetAutoQuery(int action)
{
    if (CMainWndDlg* main = AsMainWindow(m_owner)) main->SetAutoQuery(action);
}
