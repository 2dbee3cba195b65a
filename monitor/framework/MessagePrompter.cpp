#include "framework/MessagePrompter.h"

#include <stdio.h>

#include <atomic>

namespace {
std::atomic<IMessagePrompter*> g_prompter{nullptr};
}  // namespace

// The program's own prompter: a real message box on Windows.
IMessagePrompter& AfxSystemPrompter();

#ifndef _WIN32
namespace {
class CConsolePrompter : public IMessagePrompter {
public:
  int Prompt(LPCTSTR pszText, UINT nType, UINT) override {
    fprintf(stderr, "[message] %s\n", pszText != nullptr ? pszText : "");
    return AfxDefaultButtonOf(nType);
  }
};
}  // namespace

IMessagePrompter& AfxSystemPrompter() {
  static CConsolePrompter prompter;
  return prompter;
}
#endif

int AfxDefaultButtonOf(UINT nType) {
  static const int kButtons[][3] = {
      {IDOK, IDOK, IDOK},             // MB_OK
      {IDOK, IDCANCEL, IDOK},         // MB_OKCANCEL
      {IDABORT, IDRETRY, IDIGNORE},   // MB_ABORTRETRYIGNORE
      {IDYES, IDNO, IDCANCEL},        // MB_YESNOCANCEL
      {IDYES, IDNO, IDYES},           // MB_YESNO
      {IDRETRY, IDCANCEL, IDRETRY},   // MB_RETRYCANCEL
  };
  UINT kind = nType & MB_TYPEMASK;
  if (kind >= sizeof kButtons / sizeof kButtons[0]) return IDOK;
  UINT def = (nType & MB_DEFMASK) >> 8;
  if (def > 2) def = 0;
  return kButtons[kind][def];
}

IMessagePrompter* AfxSetMessagePrompter(IMessagePrompter* pPrompter) {
  return g_prompter.exchange(pPrompter);
}

IMessagePrompter* AfxGetMessagePrompter() {
  IMessagePrompter* p = g_prompter.load();
  return p != nullptr ? p : &AfxSystemPrompter();
}

int AfxMessageBox(LPCTSTR lpszText, UINT nType, UINT nIDHelp) {
  return AfxGetMessagePrompter()->Prompt(lpszText != nullptr ? lpszText : "", nType, nIDHelp);
}

int ScriptedPrompter::Prompt(LPCTSTR pszText, UINT nType, UINT) { return PromptCaptioned(pszText, nullptr, nType); }

int ScriptedPrompter::PromptCaptioned(LPCTSTR pszText, LPCTSTR pszCaption, UINT nType) {
  boxes.push_back(Box{pszText != nullptr ? pszText : "", nType, pszCaption != nullptr ? pszCaption : ""});
  if (m_answers.empty()) return AfxDefaultButtonOf(nType);
  int answer = m_answers.front();
  m_answers.erase(m_answers.begin());
  return answer;
}
