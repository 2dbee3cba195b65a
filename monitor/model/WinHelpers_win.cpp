#include "model/WinHelpers.h"

#include <cstring>
#include <string>
#include <vector>

#include "model/DockLayout.h"
#include "model/ProfileStore.h"

namespace {

const UINT kPlacedMessage = WM_USER + 2;  // tells a window it has been placed

DockRect ToDockRect(const RECT& r)
{
    DockRect d = {r.left, r.top, r.right, r.bottom};
    return d;
}

// The clipboard needs an owner window on the calling thread: with none,
// SetClipboardData fails after EmptyClipboard. A short-lived hidden window is
// enough; the data stay on the clipboard after it is destroyed.
class ClipboardSession {
public:
    ClipboardSession()
        : m_owner(::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr,
                                    ::GetModuleHandleA(nullptr), nullptr)),
          m_open(m_owner != nullptr && ::OpenClipboard(m_owner))
    {
        if (m_open) ::EmptyClipboard();
    }
    ~ClipboardSession()
    {
        if (m_open) ::CloseClipboard();
        if (m_owner) ::DestroyWindow(m_owner);
    }
    ClipboardSession(const ClipboardSession&) = delete;
    ClipboardSession& operator=(const ClipboardSession&) = delete;
    bool IsOpen() const { return m_open; }

private:
    HWND m_owner;
    bool m_open;
};

} // namespace

bool RunProgram(LPCTSTR program, LPCTSTR commandLine)
{
    // CreateProcess may write into the command line, so it gets a copy.
    std::vector<char> command;
    if (commandLine != nullptr) command.assign(commandLine, commandLine + strlen(commandLine));
    command.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessA(program, command.data(), nullptr, nullptr, TRUE, NORMAL_PRIORITY_CLASS,
                          nullptr, nullptr, &startup, &process))
        return false;
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return true;
}

bool OpenRegistryKey(HKEY root, LPCTSTR subKey, HKEY& key)
{
    return ::RegOpenKeyExA(root, subKey, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS;
}

bool CloseRegistryKey(HKEY key)
{
    return ::RegCloseKey(key) == ERROR_SUCCESS;
}

bool ReadRegistryDword(HKEY key, LPCTSTR name, DWORD& value)
{
    DWORD data = 0;
    DWORD size = sizeof(data);
    if (::RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&data), &size) !=
            ERROR_SUCCESS ||
        size != sizeof(data))
        return false;
    value = data;
    return true;
}

bool WriteRegistryDword(HKEY key, LPCTSTR name, DWORD value)
{
    return ::RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                            sizeof(value)) == ERROR_SUCCESS;
}

bool IsPointInWindow(POINT point, HWND window)
{
    RECT r;
    return window != nullptr && ::GetWindowRect(window, &r) && ::PtInRect(&r, point);
}

void EnableChildWindows(HWND parent, bool enable, HWND area, bool skipStatics)
{
    if (parent == nullptr) return;
    RECT areaRect = {};
    if (area != nullptr && !::GetWindowRect(area, &areaRect)) return;
    for (HWND child = ::GetWindow(parent, GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (area != nullptr) {
            RECT r;
            if (!::GetWindowRect(child, &r)) continue;
            const POINT corner = {r.left, r.top};
            if (!::PtInRect(&areaRect, corner)) continue;
        }
        if (skipStatics) {
            char className[256] = {};
            ::GetClassNameA(child, className, sizeof(className));
            for (char* p = className; *p; ++p)
                if (*p >= 'A' && *p <= 'Z') *p = static_cast<char>(*p - 'A' + 'a');
            if (strstr(className, "static") != nullptr) continue;
        }
        ::EnableWindow(child, enable ? TRUE : FALSE);
    }
}

void RestoreWindowPosition(HWND window, LPCTSTR section)
{
    if (window == nullptr) return;
    IProfileStore& profile = GetProfileStore();
    const int32_t x1 = profile.GetProfileInt(section, "x1", 0);
    const int32_t y1 = profile.GetProfileInt(section, "y1", 0);
    RECT windowRect = {};
    RECT desktopRect = {};
    ::GetWindowRect(window, &windowRect);
    ::GetWindowRect(::GetDesktopWindow(), &desktopRect);
    int32_t x = 0;
    int32_t y = 0;
    ComputeRestoredOrigin(x1, y1, ToDockRect(windowRect), ToDockRect(desktopRect), x, y);
    ::SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::SendMessageA(window, kPlacedMessage, 0, 0);
}

void SaveWindowPosition(HWND window, LPCTSTR section)
{
    if (window == nullptr) return;
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    if (!::GetWindowPlacement(window, &placement)) return;
    IProfileStore& profile = GetProfileStore();
    profile.WriteProfileInt(section, "x1", placement.rcNormalPosition.left);
    profile.WriteProfileInt(section, "y1", placement.rcNormalPosition.top);
}

void DockDialogToMainWindow(HWND dialog, HWND mainWindow, int gap, bool centre, bool matchSize,
                            bool reserve)
{
    if (dialog == nullptr || mainWindow == nullptr) return;
    DockSlots& slots = GetDockSlots(mainWindow);
    const int slot = slots.Choose(dialog, reserve);
    if (slot < 0) return;
    RECT mainRect;
    RECT dialogRect;
    if (!::GetWindowRect(mainWindow, &mainRect) || !::GetWindowRect(dialog, &dialogRect)) return;
    const DockRect r =
        ComputeDockedRect(slot, ToDockRect(mainRect), ToDockRect(dialogRect), gap, centre, matchSize);
    ::SetWindowPos(dialog, nullptr, r.left, r.top, r.Width(), r.Height(),
                   SWP_NOZORDER | SWP_NOACTIVATE | (matchSize ? 0 : SWP_NOSIZE));
    if (reserve) slots.Hold(slot, dialog);
    ::SendMessageA(dialog, kPlacedMessage, 0, 0);
}

void UndockDialogFromMainWindow(HWND dialog, HWND mainWindow)
{
    GetDockSlots(mainWindow).Release(dialog);
}

bool CopyTextToClipboard(LPCTSTR text)
{
    if (text == nullptr || *text == '\0') return false;
    const size_t length = strlen(text);
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, length + 2);
    if (memory == nullptr) return false;
    char* p = static_cast<char*>(::GlobalLock(memory));
    if (p == nullptr) {
        ::GlobalFree(memory);
        return false;
    }
    memcpy(p, text, length);
    p[length] = ' ';
    p[length + 1] = '\0';
    ::GlobalUnlock(memory);
    ClipboardSession clipboard;
    if (!clipboard.IsOpen() || ::SetClipboardData(CF_TEXT, memory) == nullptr) {
        ::GlobalFree(memory);
        return false;
    }
    return true;  // the clipboard owns the memory now
}

bool CopyListBoxToClipboard(HWND listBox)
{
    if (listBox == nullptr) return false;
    const LRESULT count = ::SendMessageA(listBox, LB_GETCOUNT, 0, 0);
    std::string text;
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = ::SendMessageA(listBox, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        if (length < 0) continue;
        std::vector<char> line(static_cast<size_t>(length) + 1, '\0');
        ::SendMessageA(listBox, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(line.data()));
        text += line.data();
        text += '\n';
    }
    return CopyTextToClipboard(text.c_str());
}

bool CopyRichEditToClipboard(HWND richEdit)
{
    ::SendMessageA(richEdit, EM_SETSEL, 0, -1);
    ::SendMessageA(richEdit, WM_COPY, 0, 0);
    return true;
}

bool CopyWindowToClipboard(HWND window, bool wholeWindow)
{
    if (window == nullptr) return false;
    RECT r;
    if (!(wholeWindow ? ::GetWindowRect(window, &r) : ::GetClientRect(window, &r))) return false;
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    if (width <= 0 || height <= 0) return false;
    HDC source = wholeWindow ? ::GetWindowDC(window) : ::GetDC(window);
    if (source == nullptr) return false;
    HDC memoryDc = ::CreateCompatibleDC(source);
    HBITMAP bitmap = ::CreateCompatibleBitmap(source, width, height);
    bool copied = false;
    if (memoryDc != nullptr && bitmap != nullptr) {
        HGDIOBJ old = ::SelectObject(memoryDc, bitmap);
        copied = ::BitBlt(memoryDc, 0, 0, width, height, source, 0, 0, SRCCOPY) != 0;
        ::SelectObject(memoryDc, old);
    }
    if (memoryDc != nullptr) ::DeleteDC(memoryDc);
    ::ReleaseDC(window, source);
    if (!copied) {
        if (bitmap != nullptr) ::DeleteObject(bitmap);
        return false;
    }
    ClipboardSession clipboard;
    if (!clipboard.IsOpen() || ::SetClipboardData(CF_BITMAP, bitmap) == nullptr) {
        ::DeleteObject(bitmap);
        return false;
    }
    return true;
}
