// Message maps: each class that handles window messages lists its handlers in
// a static table, and lookups walk from the most derived class's table to its
// bases'.
//
// Declare with DECLARE_MESSAGE_MAP() in the class, then define in its .cpp:
//
//   BEGIN_MESSAGE_MAP(CLinkWnd, CWnd)
//     ON_WM_TIMER()                                  // void OnTimer(UINT_PTR)
//     ON_MESSAGE(WM_APP + 1, &CLinkWnd::OnLinkEvent) // LRESULT fn(WPARAM, LPARAM)
//   END_MESSAGE_MAP()
//
// Each entry holds a small function that calls the member through a
// member-function pointer of the exact signature the message needs, so a
// handler with the wrong signature does not compile. Later kinds of entry
// (commands, notifications, reflected messages) use the code and id fields.
//
// The tables are portable; the windows that dispatch through them are in
// framework/CWnd.h.
#pragma once

#include "framework/CObject.h"

#ifndef afx_msg
#define afx_msg  // marks message handlers in class declarations
#endif

class CCmdTarget;

// Unpacks the message parameters and calls one handler.
typedef LRESULT (*AFX_PMSG_THUNK)(CCmdTarget* pTarget, WPARAM wParam, LPARAM lParam);

// How an entry's handler answers. A plain entry handles its message when
// it matches; an "extended" one returns a BOOL, and FALSE lets the search go
// on to later entries and base classes (ON_COMMAND_EX, ON_NOTIFY_EX,
// ON_CONTROL_REFLECT_EX), which is how a reflected notification can still
// reach the parent.
enum AfxSig : UINT { AfxSig_plain = 0, AfxSig_ex = 1 };

struct AFX_MSGMAP_ENTRY {
  UINT nMessage;  // window message
  UINT nCode;     // control or notification code, 0 for plain messages
  UINT nID;       // first control id, 0 for plain messages
  UINT nLastID;   // last control id of a range
  UINT nSig;      // AfxSig
  AFX_PMSG_THUNK pfn;  // nullptr ends the table
};

// Message numbers the portable routing needs (same values as Windows).
const UINT AFX_WM_COMMAND = 0x0111;
const UINT AFX_WM_NOTIFY = 0x004E;
// Reflected messages: a control receives its parent's notification as
// WM_REFLECT_BASE + message before the parent handles it.
const UINT WM_REFLECT_BASE = 0xBC00;
// WM_COMMAND codes routed through OnCmdMsg: a plain command, and the
// question "is this command enabled/checked" (ON_UPDATE_COMMAND_UI).
const int CN_COMMAND = 0;
const int CN_UPDATE_COMMAND_UI = -1;

struct AFX_MSGMAP {
  const AFX_MSGMAP* (*pfnGetBaseMap)();  // nullptr at the root
  const AFX_MSGMAP_ENTRY* lpEntries;
};

class CCmdTarget : public CObject {
public:
  CCmdTarget() {}
  CCmdTarget(const CCmdTarget&) = delete;
  CCmdTarget& operator=(const CCmdTarget&) = delete;

  // The first entry for the message in this object's maps, most derived
  // class first; nullptr when no class handles it.
  const AFX_MSGMAP_ENTRY* FindMessageEntry(UINT nMessage, UINT nCode = 0, UINT nID = 0) const;
  // Calls the mapped handler; false when there is none.
  bool DispatchMappedMessage(UINT nMessage, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  // Calls the handlers mapped for (message, code, id) in map order until one
  // handles it (a plain entry, or an extended one returning TRUE).
  bool DispatchEntries(UINT nMessage, UINT nCode, UINT nID, WPARAM wParam, LPARAM lParam,
                       LRESULT* pResult);
  // Routes a command (nCode CN_COMMAND or a control's notification code) or
  // a CN_UPDATE_COMMAND_UI query (pExtra = the CCmdUI) to this object's map.
  virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra);

protected:
  static const AFX_MSGMAP* GetThisMessageMap();
  virtual const AFX_MSGMAP* GetMessageMap() const;
};

#define DECLARE_MESSAGE_MAP()                     \
 protected:                                       \
  static const AFX_MSGMAP* GetThisMessageMap();   \
  const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                        \
  const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); }   \
  const AFX_MSGMAP* theClass::GetThisMessageMap() {                                   \
    using ThisClass [[maybe_unused]] = theClass;                                      \
    using TheBaseClass = baseClass;                                                   \
    static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP()                                                                   \
      {0, 0, 0, 0, 0, nullptr}};                                                               \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
    return &messageMap;                                                                     \
  }

// WM_TIMER → void OnTimer(UINT_PTR nIDEvent)
#define ON_WM_TIMER()                                                          \
  {WM_TIMER, 0, 0, 0, AfxSig_plain,                                            \
   [](CCmdTarget* pTarget, WPARAM wParam, LPARAM) -> LRESULT {                 \
     void (ThisClass::*pfn)(UINT_PTR) = &ThisClass::OnTimer;                   \
     (static_cast<ThisClass*>(pTarget)->*pfn)(static_cast<UINT_PTR>(wParam));  \
     return 0;                                                                 \
   }},

// Any message → LRESULT memberFxn(WPARAM, LPARAM); pass &CMyWnd::OnSomething.
#define ON_MESSAGE(message, memberFxn)                                   \
  {static_cast<UINT>(message), 0, 0, 0, AfxSig_plain,                    \
   [](CCmdTarget* pTarget, WPARAM wParam, LPARAM lParam) -> LRESULT {    \
     LRESULT (ThisClass::*pfn)(WPARAM, LPARAM) = memberFxn;              \
     return (static_cast<ThisClass*>(pTarget)->*pfn)(wParam, lParam);    \
   }},
