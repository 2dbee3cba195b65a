// monui's shared helpers: window and control specs, texts, memory and
// threads in the program's process (see monui.h).
#include "monui.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace monui {

std::string Printable(const std::string& s)
{
    std::string out;
    for (char c : s) {
        if (c == '\r') continue;
        if (c == '\n') out += "\\n";
        else out += c;
    }
    return out;
}

std::string Narrow(const wchar_t* w)
{
    int n = WideCharToMultiByte(CP_ACP, 0, w, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return std::string();
    std::vector<char> buf(n, '\0');
    WideCharToMultiByte(CP_ACP, 0, w, -1, buf.data(), n, nullptr, nullptr);
    return buf.data();
}

// WM_GETTEXT is marshalled between processes, unlike GetWindowText, which
// reads only the caption stored with the window and misses edit controls.
bool TextOf(HWND h, std::string& text)
{
    DWORD_PTR len = 0;
    if (!SendMessageTimeoutW(h, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &len))
        return false;
    // Wide, converted here: the same form whether the control is an ANSI or
    // a Unicode window (see CmdCombo for what the ANSI form does in Wine).
    std::vector<wchar_t> buf(len + 2, L'\0');
    DWORD_PTR got = 0;
    if (!SendMessageTimeoutW(h, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()),
                             SMTO_ABORTIFHUNG, kSendTimeoutMs, &got))
        return false;
    buf[std::min<size_t>(got, buf.size() - 1)] = L'\0';
    text = Narrow(buf.data());
    return true;
}

std::wstring Wide(const char* s)
{
    int n = MultiByteToWideChar(CP_ACP, 0, s, -1, nullptr, 0);
    if (n <= 0) return std::wstring();
    std::vector<wchar_t> buf(n, L'\0');
    MultiByteToWideChar(CP_ACP, 0, s, -1, buf.data(), n);
    return buf.data();
}

std::string Unaccel(const std::string& s)
{
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '&') {
            if (i + 1 < s.size() && s[i + 1] == '&') out += s[++i];
            continue;
        }
        out += s[i];
    }
    return out;
}

// The messages that read the items of a list box or of a combo's list, and

std::string ClassOf(HWND h)
{
    char cls[128] = "";
    GetClassNameA(h, cls, sizeof cls);
    return cls;
}

bool ParseInt(const char* s, long& v)
{
    char* end = nullptr;
    v = std::strtol(s, &end, 0);
    return end && end != s && *end == '\0';
}

double Seconds(int argc, char** argv, int at)
{
    if (argc > at) return std::atof(argv[at]);
    return kDefaultWait;
}

// ---- Message boxes ------------------------------------------------------------

// A message box: a visible dialog-class window with a static text under the
// id the system gives message texts (0xFFFF) and only a handful of children,
// which tells it apart from the main window (also a dialog).
struct BoxScan {
    int children;
    bool hasButton;
    HWND textCtl;
};

BOOL CALLBACK ScanBoxProc(HWND h, LPARAM lp)
{
    BoxScan* s = reinterpret_cast<BoxScan*>(lp);
    ++s->children;
    std::string cls = ClassOf(h);
    if (lstrcmpiA(cls.c_str(), "Button") == 0) s->hasButton = true;
    if (lstrcmpiA(cls.c_str(), "Static") == 0 && (GetDlgCtrlID(h) & 0xFFFF) == 0xFFFF &&
        GetWindowTextLengthA(h) > 0 && !s->textCtl)
        s->textCtl = h;
    return TRUE;
}

BOOL CALLBACK FindBoxProc(HWND h, LPARAM lp)
{
    if (!IsWindowVisible(h) || ClassOf(h) != "#32770") return TRUE;
    BoxScan s = {0, false, nullptr};
    EnumChildWindows(h, ScanBoxProc, reinterpret_cast<LPARAM>(&s));
    if (s.children > 12 || !s.hasButton || !s.textCtl) return TRUE;
    *reinterpret_cast<HWND*>(lp) = h;
    return FALSE;
}

HWND WaitBox(double seconds)
{
    DWORD start = GetTickCount();
    for (;;) {
        HWND box = nullptr;
        EnumWindows(FindBoxProc, reinterpret_cast<LPARAM>(&box));
        if (box) return box;
        if (GetTickCount() - start >= seconds * 1000) return nullptr;
        Sleep(100);
    }
}


bool IsMessageBox(HWND h)
{
    if (ClassOf(h) != "#32770") return false;
    BoxScan s = {0, false, nullptr};
    EnumChildWindows(h, ScanBoxProc, reinterpret_cast<LPARAM>(&s));
    return s.children <= 12 && s.hasButton && s.textCtl;
}

HWND FindBox()
{
    HWND box = nullptr;
    EnumWindows(FindBoxProc, reinterpret_cast<LPARAM>(&box));
    return box;
}

HWND BoxTextControl(HWND box)
{
    BoxScan s = {0, false, nullptr};
    EnumChildWindows(box, ScanBoxProc, reinterpret_cast<LPARAM>(&s));
    return s.textCtl;
}

// ---- Top-level windows ------------------------------------------------------------

namespace {

struct TopSpec {
    std::string text;    // title or class
    bool byClass = false;
    long index = -1;     // -1: the first in z-order
    HWND hwnd = nullptr; // hwnd:HEX
};

// The title of a top-level window is its stored caption, so GetWindowText
// needs no message (and works while the program is busy).
std::string TitleOf(HWND h)
{
    char text[512] = "";
    GetWindowTextA(h, text, sizeof text);
    return text;
}

struct TopScan {
    const TopSpec* spec;
    bool visibleOnly;
    std::vector<HWND> found;  // z-order
};

// Exactly, or by its start when the spec ends in "*" ("class:Afx:*").
bool NameMatches(const std::string& name, const std::string& want)
{
    if (!want.empty() && want.back() == '*') return name.compare(0, want.size() - 1, want, 0, want.size() - 1) == 0;
    return name == want;
}

BOOL CALLBACK ScanTopProc(HWND h, LPARAM lp)
{
    TopScan* s = reinterpret_cast<TopScan*>(lp);
    if (s->visibleOnly && !IsWindowVisible(h)) return TRUE;
    if (NameMatches(s->spec->byClass ? ClassOf(h) : TitleOf(h), s->spec->text)) s->found.push_back(h);
    return TRUE;
}

std::vector<HWND> Scan(const TopSpec& spec, bool visibleOnly)
{
    TopScan s = {&spec, visibleOnly, {}};
    EnumWindows(ScanTopProc, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

// "NAME#N" split into the name and N; false when it has no such ending.
bool SplitIndex(const std::string& s, std::string& name, long& index)
{
    const size_t hash = s.rfind('#');
    if (hash == std::string::npos || hash + 1 >= s.size() || hash == 0) return false;
    for (size_t i = hash + 1; i < s.size(); ++i)
        if (s[i] < '0' || s[i] > '9') return false;
    name = s.substr(0, hash);
    index = std::atol(s.c_str() + hash + 1);
    return true;
}

TopSpec ParseSpec(const char* text, bool visibleOnly)
{
    TopSpec spec;
    std::string s = text;
    if (s.compare(0, 5, "hwnd:") == 0) {
        spec.hwnd = reinterpret_cast<HWND>(static_cast<uintptr_t>(std::strtoull(s.c_str() + 5, nullptr, 16)));
        return spec;
    }
    if (s.compare(0, 6, "class:") == 0) {
        spec.byClass = true;
        s = s.substr(6);
    }
    spec.text = s;
    // "#N" ends a title only when no window has the whole text as its title.
    std::string name;
    long index;
    if (SplitIndex(s, name, index) && (spec.byClass || Scan(spec, visibleOnly).empty())) {
        spec.text = name;
        spec.index = index;
    }
    return spec;
}

}  // namespace

std::vector<HWND> MatchTop(const char* text, bool visibleOnly)
{
    const TopSpec spec = ParseSpec(text, visibleOnly);
    if (spec.hwnd) {
        if (IsWindow(spec.hwnd) && (!visibleOnly || IsWindowVisible(spec.hwnd))) return {spec.hwnd};
        return {};
    }
    std::vector<HWND> all = Scan(spec, visibleOnly), kept;
    for (HWND h : all)
        if (spec.byClass || !IsMessageBox(h)) kept.push_back(h);
    std::sort(kept.begin(), kept.end(),
              [](HWND a, HWND b) { return reinterpret_cast<uintptr_t>(a) < reinterpret_cast<uintptr_t>(b); });
    if (spec.index >= 0) {
        if (spec.index < static_cast<long>(kept.size())) return {kept[static_cast<size_t>(spec.index)]};
        return {};
    }
    // No index: z-order, boxes last (the main window before its own box).
    std::vector<HWND> ordered;
    for (HWND h : all)
        if (std::find(kept.begin(), kept.end(), h) != kept.end()) ordered.push_back(h);
    for (HWND h : all)
        if (std::find(kept.begin(), kept.end(), h) == kept.end()) ordered.push_back(h);
    return ordered;
}

HWND FindTop(const char* spec, bool visibleOnly)
{
    std::vector<HWND> found = MatchTop(spec, visibleOnly);
    return found.empty() ? nullptr : found.front();
}

HWND WaitTop(const char* spec, double seconds)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (HWND h = FindTop(spec, true)) return h;
        if (GetTickCount() - start >= seconds * 1000) return nullptr;
        Sleep(100);
    }
}

HWND NeedTop(const char* spec)
{
    HWND h = FindTop(spec, true);
    if (!h) std::printf("missing=%s\n", spec);
    return h;
}

// ---- Controls ---------------------------------------------------------------------

namespace {

// EnumChildWindows walks every descendant, so controls inside the tool bar
// (the link combo) and on tab pages are found as well as the dialog's own.
struct ChildSearch {
    int id;            // >= 0: by id
    const char* cls;   // null: any class
    const char* text;  // null: any text
    long skip;         // matches to pass over first (class:NAME#N)
    HWND found;
    HWND foundHidden;
};

bool TextMatches(HWND h, const char* want)
{
    std::string t;
    if (!TextOf(h, t)) return false;
    return t == want || Unaccel(t) == want;
}

BOOL CALLBACK FindChildProc(HWND h, LPARAM lp)
{
    ChildSearch* s = reinterpret_cast<ChildSearch*>(lp);
    if (s->id >= 0 && GetDlgCtrlID(h) != s->id) return TRUE;
    if (s->cls && lstrcmpiA(ClassOf(h).c_str(), s->cls) != 0) return TRUE;
    if (s->text && !TextMatches(h, s->text)) return TRUE;
    // A visible control wins over a hidden one with the same id.
    if (!IsWindowVisible(h)) {
        if (!s->foundHidden) s->foundHidden = h;
        return TRUE;
    }
    if (s->skip-- > 0) return TRUE;
    s->found = h;
    return FALSE;
}

HWND Search(HWND top, ChildSearch s)
{
    EnumChildWindows(top, FindChildProc, reinterpret_cast<LPARAM>(&s));
    return s.found ? s.found : (s.skip <= 0 ? s.foundHidden : nullptr);
}

}  // namespace

HWND FindChild(HWND top, int id, const char* cls)
{
    return Search(top, ChildSearch{id, cls, nullptr, 0, nullptr, nullptr});
}

HWND FindControl(HWND top, const char* spec)
{
    long id;
    if (ParseInt(spec, id)) return FindChild(top, static_cast<int>(id), nullptr);
    std::string s = spec;
    if (s.compare(0, 6, "class:") == 0) {
        std::string name = s.substr(6);
        long index = 0;
        std::string bare;
        if (SplitIndex(name, bare, index)) name = bare;
        return Search(top, ChildSearch{-1, name.c_str(), nullptr, index, nullptr, nullptr});
    }
    if (s.compare(0, 5, "text:") == 0) s = s.substr(5);
    return Search(top, ChildSearch{-1, nullptr, s.c_str(), 0, nullptr, nullptr});
}

int NeedControl(const char* title, const char* spec, long& id, HWND& top, HWND& control)
{
    if (!*spec) return 2;
    top = NeedTop(title);
    if (!top) return 1;
    control = FindControl(top, spec);
    if (!control) {
        std::printf("nocontrol=%s\n", spec);
        return 1;
    }
    id = GetDlgCtrlID(control);
    return 0;
}

bool NotifyParent(HWND c, long id, WORD code, UINT timeoutMs)
{
    DWORD_PTR r = 0;
    WPARAM wp = MAKEWPARAM(static_cast<WORD>(id), code);
    return SendMessageTimeoutA(GetParent(c), WM_COMMAND, wp, reinterpret_cast<LPARAM>(c), SMTO_NORMAL, timeoutMs,
                               &r) != 0;
}

bool PostNotifyParent(HWND c, long id, WORD code)
{
    return PostMessageA(GetParent(c), WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), code),
                        reinterpret_cast<LPARAM>(c)) != 0;
}

// ---- The program's process ------------------------------------------------------------

RemoteBlock::RemoteBlock(HWND owner, size_t size, DWORD protect) : m_size(size)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(owner, &pid);
    m_proc = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_CREATE_THREAD |
                             PROCESS_QUERY_INFORMATION,
                         FALSE, pid);
    if (m_proc) m_at = VirtualAllocEx(m_proc, nullptr, size, MEM_COMMIT | MEM_RESERVE, protect);
}

RemoteBlock::~RemoteBlock()
{
    if (m_at && !m_keep) VirtualFreeEx(m_proc, m_at, 0, MEM_RELEASE);
    if (m_proc) CloseHandle(m_proc);
}

bool RemoteBlock::Write(size_t offset, const void* data, size_t n)
{
    SIZE_T io = 0;
    return offset + n <= m_size && WriteProcessMemory(m_proc, static_cast<char*>(m_at) + offset, data, n, &io) &&
           io == n;
}

bool RemoteBlock::Read(void* data, size_t n)
{
    SIZE_T io = 0;
    return n <= m_size && ReadProcessMemory(m_proc, m_at, data, n, &io) && io == n;
}

// A thread of the other process's own, started on a few instructions that
// call SendMessageA with four arguments read from a block beside them, so
// that a message whose pointer may not cross processes is sent from inside
// (Wine refuses WM_NOTIFY between processes; Windows only copies nothing).
// The block: the handle, message, wParam and lParam, then SendMessageA's
// address, each pointer-sized. user32 is at the same address in every
// process of a session, so this process's SendMessageA is the other's.
#if defined(__x86_64__) || defined(_M_X64)
const unsigned char kSendThunk[] = {
    0x48, 0x83, 0xEC, 0x28,  // sub rsp, 40 (shadow space, aligned)
    0x48, 0x89, 0xC8,        // mov rax, rcx (the block)
    0x48, 0x8B, 0x08,        // mov rcx, [rax]
    0x48, 0x8B, 0x50, 0x08,  // mov rdx, [rax+8]
    0x4C, 0x8B, 0x40, 0x10,  // mov r8, [rax+16]
    0x4C, 0x8B, 0x48, 0x18,  // mov r9, [rax+24]
    0xFF, 0x50, 0x20,        // call [rax+32]
    0x48, 0x83, 0xC4, 0x28,  // add rsp, 40
    0xC3,                    // ret
};
#elif defined(__i386__) || defined(_M_IX86)
const unsigned char kSendThunk[] = {
    0x8B, 0x44, 0x24, 0x04,  // mov eax, [esp+4] (the block)
    0xFF, 0x70, 0x0C,        // push [eax+12] (lParam)
    0xFF, 0x70, 0x08,        // push [eax+8] (wParam)
    0xFF, 0x70, 0x04,        // push [eax+4] (message)
    0xFF, 0x30,              // push [eax] (handle)
    0xFF, 0x50, 0x10,        // call [eax+16]
    0xC2, 0x04, 0x00,        // ret 4
};
#else
const unsigned char kSendThunk[] = {0};
#define MONUI_NO_SEND_THUNK
#endif

// Sends `msg` to `target` from inside its process with lParam pointing at a
// copy of `data` there. 1: done; 0: the send is still running after the
// time (its handler may have opened a box); -1: it could not be sent.
int SendInProcess(HWND target, UINT msg, WPARAM wp, const void* data, size_t n, DWORD timeoutMs)
{
#ifdef MONUI_NO_SEND_THUNK
    (void)target, (void)msg, (void)wp, (void)data, (void)n, (void)timeoutMs;
    return -1;
#else
    const size_t kAlign = 16;
    const size_t slotsAt = (sizeof kSendThunk + kAlign - 1) / kAlign * kAlign;
    const size_t kSlots = 5;
    const size_t dataAt = slotsAt + kSlots * sizeof(uintptr_t);
    RemoteBlock block(target, dataAt + n, PAGE_EXECUTE_READWRITE);
    if (!block.Ok()) return -1;
    const uintptr_t slots[kSlots] = {
        reinterpret_cast<uintptr_t>(target), msg, wp, block.Address(dataAt),
        reinterpret_cast<uintptr_t>(GetProcAddress(GetModuleHandleA("user32.dll"), "SendMessageA"))};
    if (!slots[4] || !block.Write(0, kSendThunk, sizeof kSendThunk) || !block.Write(slotsAt, slots, sizeof slots) ||
        !block.Write(dataAt, data, n))
        return -1;
    FlushInstructionCache(block.Process(), reinterpret_cast<void*>(block.Address()), sizeof kSendThunk);
    HANDLE thread = CreateRemoteThread(block.Process(), nullptr, 0,
                                       reinterpret_cast<LPTHREAD_START_ROUTINE>(block.Address()),
                                       reinterpret_cast<void*>(block.Address(slotsAt)), 0, nullptr);
    if (!thread) return -1;
    const bool done = WaitForSingleObject(thread, timeoutMs) == WAIT_OBJECT_0;
    if (!done) block.Keep();  // the thread still reads it
    CloseHandle(thread);
    return done ? 1 : 0;
#endif
}

}  // namespace monui
