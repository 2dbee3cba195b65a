// The main window's menu, accelerator and tool-bar commands that act on the
// receiver or on the window's display.
#include "app/CMainWndDlg.h"
#include "app/AppProfile.h"
#include "app/MainWndLinkRules.h"
#include "app/MainWndProfile.h"

void CMainWndDlg::ResetReceiver(int /*kind*/) {}

BOOL CMainWndDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
    const UINT id = LOWORD(wParam);
    const UINT code = HIWORD(wParam);
    // Only menu items and accelerators; control notifications go their own way.
    if (code > 1) return CModelessDialog::OnCommand(wParam, lParam);

    if (id > ID_COM_PORT_FIRST && id < ID_COM_PORT_FIRST + 1000) {
        SelectComPort(static_cast<int>(id - ID_COM_PORT_FIRST), true);
        return TRUE;
    }
    switch (id) {
        case ID_PROT_AUTO:
            m_followReceived = 1;
            SetOutputProtocol();
            return TRUE;
        case ID_PROT_QBIN:
        case ID_PROT_NMEA:
        case ID_PROT_QTXT:
        case ID_PROT_QOP: {
            static const ProtocolKind kinds[] = {3, 4, 5, 7};
            m_followReceived = 0;
            m_commandProtocol = kinds[id - ID_PROT_QBIN];
            SetOutputProtocol();
            return TRUE;
        }
        case ID_POS_LLA:
        case ID_POS_LLA_DEC: {
            m_llaDecimal = id == ID_POS_LLA_DEC ? 1 : 0;
            AppProfile profile;
            profile.WriteProfileInt(kMainWndSection, "llaDec", m_llaDecimal);
            ApplyFormatCommand(4);
            return TRUE;
        }
        case ID_SPEED_KMH: ApplySpeedUnits(1); return TRUE;
        case ID_SPEED_MPH: ApplySpeedUnits(0); return TRUE;
        case ID_SPEED_MPS: ApplySpeedUnits(2); return TRUE;
        case ID_POS_COPY: m_copyRequest = true; return TRUE;
        case ID_ALWAYS_ON_TOP:
            m_onTop = m_onTop != 0 ? 0 : 1;
            ApplyOnTop();
            return TRUE;
        default:
            break;
    }
    struct FormatCommand {
        UINT id;
        int code;
    } static const kFormats[] = {{ID_VEL_ENU, 1},  {ID_VEL_ECEF, 2},  {ID_POS_XYZ, 5},     {ID_ALT_MSL, 6},
                                 {ID_ALT_HAE, 7},  {ID_TIME_GPS, 8},  {ID_TIME_UTC, 9},    {ID_SIGNAL_CNO, 10},
                                 {ID_SIGNAL_AMU, 11}};
    for (const FormatCommand& f : kFormats)
        if (f.id == id) {
            ApplyFormatCommand(f.code);
            return TRUE;
        }
    return CModelessDialog::OnCommand(wParam, lParam);
}

void CMainWndDlg::ApplyFormatCommand(int code) {
    // A connected receiver is told as well; its report of the new options
    // brings the display in line again. Without one the display follows now.
    if (m_linkMode == LINK_MONITOR) SetOutputFormat(code);
    ApplyDisplayFormat(code);
}

// ---- Output formats -----------------------------------------------------------------------------

void CMainWndDlg::SetOutputFormat(int format)
{
    IoOptions options = IoOptions();
    m_link.GetModel().GetIoOptions(options);
    ApplyOutputFormat(options, format);
    m_link.GetProtocol().SendIoOptions(1, &options);
}

void CMainWndDlg::SyncOutputFormatChecks()
{
    // During a transfer the receiver's replies belong to the loader.
    if (m_pLoader != nullptr) return;
    IoOptions options = IoOptions();
    m_link.GetModel().GetIoOptions(options);
    int codes[OUTPUT_FORMAT_CHECK_COUNT];
    GetOutputFormatChecks(options, codes);
    for (int code : codes) ApplyDisplayFormat(code);
}
