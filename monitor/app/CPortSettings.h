#pragma once
// The serial settings of a COM port: port, baud rate, parity, data and stop
// bits, with a presets menu and, in the main window's variant, automatic
// detection of the receiver on the port. Modal. The caller fills
// m_settings before DoModal and reads it (GetSettings) after IDOK.
// Windows build only.
#ifdef _WIN32

#include <cstdint>
#include <functional>
#include <memory>

#include "config/CReceiverDetector.h"
#include "framework/afx.h"
#include "link/LinkPortSettings.h"
#include "link/ProtocolKind.h"

// The detector's progress and outcome reach the dialog as this message,
// wParam the kind (DETECT_TRYING .. DETECT_CANCELLED).
const UINT WM_DETECTOR_EVENT = 0x467;

// What the dialog needs of a receiver detector.
class IPortDetector {
public:
    virtual ~IPortDetector() {}
    // DETECT_OP_START with a request, or DETECT_OP_CANCEL; false when refused.
    virtual bool Control(int32_t operation, const DetectionRequest* request = nullptr) = 0;
    // The try in progress (after DETECT_TRYING) or the receiver found.
    virtual void GetResult(ProtocolKind& protocol, LinkPortSettings& settings, CString& text) = 0;
};

// Makes the detector of one detection; null when none can be made.
typedef std::function<std::unique_ptr<IPortDetector>()> PortDetectorFactory;
// Installs the factory later detections use; an empty one restores the
// program's own (the receiver detector). Returns the previous one.
PortDetectorFactory SetPortDetectorFactory(PortDetectorFactory factory);

class CPortSettings : public CDialog {
public:
    // owner: the window the dialog belongs to (the main window in its
    // variant). port: the port to select; 0 takes m_settings' port, -1 for
    // the configurator. The configurator's variant has no port choice and
    // no detection.
    CPortSettings(CWnd* owner, int32_t port, bool configuratorVariant);
    ~CPortSettings() override;

    // Filled by the caller; after IDOK what the user chose or the detector found.
    LinkPortSettings m_settings;

    const LinkPortSettings& GetSettings() const { return m_settings; }
    // The protocol a detection found; 0 when none ran to the end.
    ProtocolKind GetDetectedProtocol() const { return m_detectedProtocol; }
    // The port detected on; 0 when no detection ran to the end.
    int32_t GetDetectedPort() const { return m_detectedPort; }
    bool IsDetecting() const { return m_detector != nullptr; }

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    afx_msg void OnAutoDetectClicked();
    afx_msg void OnPresetsClicked();
    afx_msg void OnContextMenu(CWnd* pWnd, CPoint point);
    afx_msg LRESULT OnDetectorEvent(WPARAM wParam, LPARAM lParam);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    DECLARE_MESSAGE_MAP()

    // What a detection asks of the owner; the main window by default, a
    // recording fake in tests.
    virtual bool OwnerMonitorsPort(int32_t port);
    virtual void OwnerEnterIdle(int reconnect);
    virtual void OwnerSetAutoQuery(int action);

    void ApplyPreset(UINT id);

    // How long after OK the detector starts (tests shorten it).
    UINT m_detectStartMs;

private:
    void FillCombos();
    void SelectComboText(UINT id, const char* text);
    CString GetComboText(UINT id);
    void ShowDetectionControls();
    void StartDetection(int32_t port);
    // Ends a detection: only while a detector exists, and the owner's
    // auto-query comes back once for each time it was suspended.
    void StopDetection();
    void EnableOk(bool enable);
    void ShowTry();

    CWnd* m_owner;
    int32_t m_initialPort;
    bool m_configuratorVariant;
    int m_autoDetect = 0;
    int32_t m_detectedPort = 0;
    CMenu m_presets;
    CFont m_font;
    std::unique_ptr<IPortDetector> m_detector;
    DetectionRequest m_request;
    ProtocolKind m_detectedProtocol = 0;
    bool m_autoQuerySuspended = false;
    bool m_ownerLinkTakenDown = false;
};

#endif  // _WIN32
