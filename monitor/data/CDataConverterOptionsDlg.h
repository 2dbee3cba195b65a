#pragma once
// The converter's finer options, edited modally on a copy of the converter
// window's record: a processing interval, the text translation's layout and
// the spreadsheet's split, filling and separator. OK checks them
// (CheckConverterOptions) and keeps the dialog open on a refusal.
#ifdef _WIN32

#include "data/DataConverterCore.h"
#include "framework/CControls.h"
#include "framework/CDialog.h"

class CDataConverterOptionsDlg : public CDialog {
public:
    CDataConverterOptionsDlg(const ConverterOptions& options, CWnd* parent);

    // The options as edited; the caller takes them after IDOK.
    const ConverterOptions& GetOptions() const { return m_options; }

    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    afx_msg void OnRangeClicked();
    DECLARE_MESSAGE_MAP()

private:
    void EnableIntervalEdits();

    ConverterOptions m_options;
    CToolTipCtrl m_bubbleHelp;
};

#endif  // _WIN32
