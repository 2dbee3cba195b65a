#include "framework/MessagePrompter.h"

#include "framework/CString.h"
#include "framework/CWinApp.h"

namespace {

// The real box: owned by the active window of this thread (or the main
// window), captioned with the application's name.
class CSystemPrompter : public IMessagePrompter {
public:
  int Prompt(LPCTSTR pszText, UINT nType, UINT) override { return PromptCaptioned(pszText, nullptr, nType); }

  int PromptCaptioned(LPCTSTR pszText, LPCTSTR pszCaption, UINT nType) override {
    HWND hOwner = ::GetActiveWindow();
    CWinApp* pApp = AfxGetApp();
    if (hOwner == nullptr && pApp != nullptr && pApp->m_pMainWnd != nullptr)
      hOwner = pApp->m_pMainWnd->m_hWnd;
    if (hOwner != nullptr) hOwner = ::GetAncestor(hOwner, GA_ROOT);
    LPCTSTR caption = pszCaption;
    if (caption == nullptr) caption = pApp != nullptr && pApp->m_pszAppName != nullptr ? pApp->m_pszAppName : "";
    if ((nType & MB_ICONMASK) == 0) {
      // As the framework does: questions get the question mark, plain
      // messages the exclamation mark.
      UINT kind = nType & MB_TYPEMASK;
      nType |= (kind == MB_OK || kind == MB_OKCANCEL) ? MB_ICONEXCLAMATION : MB_ICONQUESTION;
    }
    return ::MessageBoxA(hOwner, pszText, caption, nType);
  }
};

}  // namespace

IMessagePrompter& AfxSystemPrompter() {
  static CSystemPrompter prompter;
  return prompter;
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp) {
  CString text;
  if (!text.LoadString(nIDPrompt)) text.Format("Message %u", nIDPrompt);
  return AfxMessageBox(text, nType, nIDHelp == static_cast<UINT>(-1) ? nIDPrompt : nIDHelp);
}
