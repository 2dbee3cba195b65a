#pragma once
// What monui's verbs share: finding windows and controls, texts across the
// process boundary, memory and threads in the program's process.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace monui {

const int kDefaultWait = 30;
// Messages to another process must not hang the driver on a busy window.
const UINT kSendTimeoutMs = 5000;

// Line breaks as "\n", carriage returns dropped: one line of output.
std::string Printable(const std::string& s);
std::string Narrow(const wchar_t* w);
std::wstring Wide(const char* s);
// Without accelerator marks: "&Data Playback..." is "Data Playback...".
std::string Unaccel(const std::string& s);
bool ParseInt(const char* s, long& v);
double Seconds(int argc, char** argv, int at);
std::string ClassOf(HWND h);
// WM_GETTEXT, marshalled between processes (GetWindowText reads only the
// caption stored with the window and misses edit controls).
bool TextOf(HWND h, std::string& text);

// A window spec names top-level windows:
//   TITLE            the first visible window with exactly this title, in
//                    z-order (a message box of that title only when no other
//                    window has it)
//   TITLE#N          the N-th (0-based) visible one, ordered by handle: the
//                    order stays while those windows stay open
//   class:NAME[#N]   by window class instead of title ("#32768": menus)
//   A TITLE or NAME ending in "*" matches every one that starts with the rest.
//   hwnd:HEX         that window (as "wait" and "list" print it)
// Message boxes are left out of counts and indexes (see "msgbox").
std::vector<HWND> MatchTop(const char* spec, bool visibleOnly);
HWND FindTop(const char* spec, bool visibleOnly);
// Looks at least once, then every 100 ms until the time is up.
HWND WaitTop(const char* spec, double seconds);
// The window, or null after printing "missing=SPEC".
HWND NeedTop(const char* spec);
bool IsMessageBox(HWND h);
// A visible message box (null: none), waiting for one, and its text control.
HWND FindBox();
HWND WaitBox(double seconds);
HWND BoxTextControl(HWND box);

// A control spec names a descendant of a window (a visible one before a
// hidden one): a number is a control id; "class:NAME[#N]" the N-th (0-based)
// of that class; "text:TEXT" or any other word the one whose text is TEXT
// (as written, or without its accelerator marks).
HWND FindControl(HWND top, const char* spec);
HWND FindChild(HWND top, int id, const char* cls);
// The window and its control: 0, or the exit code after a message (2: a
// bad spec, 1: no window or no control). `id` is the control's own id.
int NeedControl(const char* title, const char* spec, long& id, HWND& top, HWND& control);

// A notification from control `c` to its parent, as the control sends it.
bool NotifyParent(HWND c, long id, WORD code, UINT timeoutMs = kSendTimeoutMs);
// The same posted: for a handler that may open a modal window.
bool PostNotifyParent(HWND c, long id, WORD code);

// A block of memory in another process, for the messages whose pointers
// Wine does not carry across (common controls' structures).
class RemoteBlock {
public:
    RemoteBlock(HWND owner, size_t size, DWORD protect = PAGE_READWRITE);
    ~RemoteBlock();
    RemoteBlock(const RemoteBlock&) = delete;
    RemoteBlock& operator=(const RemoteBlock&) = delete;
    bool Ok() const { return m_at != nullptr; }
    HANDLE Process() const { return m_proc; }
    uintptr_t Address(size_t offset = 0) const { return reinterpret_cast<uintptr_t>(m_at) + offset; }
    bool Write(size_t offset, const void* data, size_t n);
    bool Read(void* data, size_t n);
    // Left in place: something in the other process may still use it.
    void Keep() { m_keep = true; }

private:
    HANDLE m_proc = nullptr;
    void* m_at = nullptr;
    size_t m_size;
    bool m_keep = false;
};

// Sends `msg` to `target` from inside its process with lParam pointing at a
// copy of `data` there. 1: done; 0: the send is still running after the
// time (its handler may have opened a box); -1: it could not be sent.
int SendInProcess(HWND target, UINT msg, WPARAM wp, const void* data, size_t n, DWORD timeoutMs);

// The verbs beyond the original ones (monui_menu_win.cpp,
// monui_controls_win.cpp); each returns the exit code.
int CmdCount(int argc, char** argv);
int CmdList(const char* spec);
int CmdMenuItem(int argc, char** argv);
int CmdMenuPos(int argc, char** argv);
int CmdMenuList(int argc, char** argv);
int CmdCommand(const char* spec, const char* idText);
int CmdContextMenu(int argc, char** argv);
int CmdPopup(int argc, char** argv);
int CmdState(const char* spec, const char* control, const char* which);
int CmdTab(int argc, char** argv);
int CmdTrackbar(int argc, char** argv);
int CmdLines(int argc, char** argv);
int CmdClipboard(int argc, char** argv);
int CmdAt(int argc, char** argv);
int CmdClickAt(int argc, char** argv);

}  // namespace monui
