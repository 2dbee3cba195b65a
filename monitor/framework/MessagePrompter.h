// AfxMessageBox and the prompter seam behind it.
//
// Every message box and question of the monitor goes through one process-
// wide IMessagePrompter. The program uses the real one (a Win32 message box
// owned by the active window, captioned with the application's name); tests
// install a ScriptedPrompter that records each text and answers from a
// script, so no modal box ever waits for a person in an automated run. The
// native build has no message boxes: its default answers with the box's
// default button and prints the text to stderr.
#pragma once

#include <string>
#include <vector>

#include "framework/WinTypes.h"

#ifndef _WIN32
// Box types and answers with their Windows values, for portable callers.
#define MB_OK 0x00000000u
#define MB_OKCANCEL 0x00000001u
#define MB_ABORTRETRYIGNORE 0x00000002u
#define MB_YESNOCANCEL 0x00000003u
#define MB_YESNO 0x00000004u
#define MB_RETRYCANCEL 0x00000005u
#define MB_ICONHAND 0x00000010u
#define MB_ICONQUESTION 0x00000020u
#define MB_ICONEXCLAMATION 0x00000030u
#define MB_ICONASTERISK 0x00000040u
#define MB_ICONERROR MB_ICONHAND
#define MB_ICONSTOP MB_ICONHAND
#define MB_ICONWARNING MB_ICONEXCLAMATION
#define MB_ICONINFORMATION MB_ICONASTERISK
#define MB_DEFBUTTON1 0x00000000u
#define MB_DEFBUTTON2 0x00000100u
#define MB_DEFBUTTON3 0x00000200u
#define MB_TYPEMASK 0x0000000Fu
#define MB_DEFMASK 0x00000F00u
#define IDOK 1
#define IDCANCEL 2
#define IDABORT 3
#define IDRETRY 4
#define IDIGNORE 5
#define IDYES 6
#define IDNO 7
#endif

struct IMessagePrompter {
  virtual ~IMessagePrompter() {}
  // Shows pszText with the buttons and icon of nType (MB_* flags) and
  // returns the button chosen (IDOK, IDYES, ...).
  virtual int Prompt(LPCTSTR pszText, UINT nType, UINT nIDHelp) = 0;
  // A box with a caption of its own (CWnd::MessageBox) instead of the
  // application's name. Prompters that show no caption answer it as any box.
  virtual int PromptCaptioned(LPCTSTR pszText, LPCTSTR pszCaption, UINT nType) {
    return Prompt(pszText, nType, 0);
  }
};

// The answer a box gives when nobody is asked: its default button.
int AfxDefaultButtonOf(UINT nType);

// Installs the prompter every later message box uses; nullptr restores the
// program's own. Returns the previous one (nullptr when it was the default).
IMessagePrompter* AfxSetMessagePrompter(IMessagePrompter* pPrompter);
IMessagePrompter* AfxGetMessagePrompter();

int AfxMessageBox(LPCTSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
#ifdef _WIN32
// The text is the string resource nIDPrompt.
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = (UINT)-1);
#endif

// A test prompter: records every box, answers from a queue of scripted
// answers, then with each box's default button.
class ScriptedPrompter : public IMessagePrompter {
public:
  struct Box {
    std::string text;
    UINT type;
    std::string caption;  // empty: the application's name
  };
  void Answer(int nAnswer) { m_answers.push_back(nAnswer); }
  int Prompt(LPCTSTR pszText, UINT nType, UINT nIDHelp) override;
  int PromptCaptioned(LPCTSTR pszText, LPCTSTR pszCaption, UINT nType) override;

  std::vector<Box> boxes;

private:
  std::vector<int> m_answers;
};

// Installs a prompter for one scope and restores the previous one after it.
class CPrompterScope {
public:
  explicit CPrompterScope(IMessagePrompter* p) : m_prev(AfxSetMessagePrompter(p)) {}
  ~CPrompterScope() { AfxSetMessagePrompter(m_prev); }
  CPrompterScope(const CPrompterScope&) = delete;
  CPrompterScope& operator=(const CPrompterScope&) = delete;

private:
  IMessagePrompter* m_prev;
};
