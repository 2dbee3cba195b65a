// The Win32 helpers against real windows, clipboard, registry and files
// (run under Wine).
#include <gtest/gtest.h>

#include <string>

#include "model/CrcErrorReport.h"
#include "model/FileAttributes.h"
#include "model/GpsTime.h"
#include "model/NumberText.h"
#include "model/Random.h"
#include "model/ProfileStore.h"
#include "model/WinHelpers.h"
#include "model/WindowsVersion.h"

namespace {

int g_placedCount = 0;

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_USER + 2) ++g_placedCount;
    return DefWindowProcA(hwnd, msg, wp, lp);
}

const char* RecordingClass()
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = RecordingProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "HelpersTestWindow";
        RegisterClassA(&wc);
        registered = true;
    }
    return "HelpersTestWindow";
}

HWND MakeTopLevel(int x, int y, int w, int h)
{
    return CreateWindowExA(0, RecordingClass(), "t", WS_OVERLAPPED | WS_POPUP, x, y, w, h, nullptr,
                           nullptr, GetModuleHandleA(nullptr), nullptr);
}

std::string ClipboardText()
{
    std::string text;
    if (!OpenClipboard(nullptr)) return "<no clipboard>";
    HANDLE h = GetClipboardData(CF_TEXT);
    if (h != nullptr) {
        const char* p = static_cast<const char*>(GlobalLock(h));
        if (p != nullptr) text = p;
        GlobalUnlock(h);
    }
    CloseClipboard();
    return text;
}

// The texts and numbers the native tests pin down come out the same in the
// 32-bit build (its own printf family and x87 arithmetic).
TEST(WinHelpers, TextsMatchTheNativeBuild)
{
    EXPECT_STREQ(" Thu 00:00:00.50   345600", FormatGpsTimeOfWeek(345600.5));
    EXPECT_STREQ("     <Bad time>         -5", FormatGpsTimeOfWeek(-5));
    EXPECT_STREQ("0.50", FormatFixed(0.5, 2));
    EXPECT_STREQ("-2.5", FormatFixed(-2.5, 1));
    EXPECT_STREQ("4294967296", FormatInteger(4294967296.0));
    EXPECT_DOUBLE_EQ(0.11562405519470076, NextRandomFraction(1));
    EXPECT_DOUBLE_EQ(0.3507186522383723, NextRandomFraction(0));
    const BYTE frame[] = {0x10, 0x41, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0x10, 0x03};
    CString text;
    FormatCrcErrorReportText(text, "", frame, sizeof(frame), 10, 0x1234);
    EXPECT_STREQ("QBIN CRC error for Packet 0x41: \r\n"
                 "  Expected: data size:  10, CRC: 0x1234\r\n"
                 "  Actual:   data size:  10, CRC: 0xD746\r\n"
                 "  Raw Data: 10 41 00 01 02 03 04 05 06 07 08 09 10 03\r\n",
                 text);
}

TEST(WinHelpers, FileLengthPastFourGigabytes)
{
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    const std::string path = std::string(dir) + "helpers_big.bin";
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, f);
    DWORD returned = 0;
    DeviceIoControl(f, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
    LARGE_INTEGER size;
    size.QuadPart = 4294967296LL;
    ASSERT_TRUE(SetFilePointerEx(f, size, nullptr, FILE_BEGIN));
    ASSERT_TRUE(SetEndOfFile(f));
    CloseHandle(f);
    EXPECT_EQ(4294967296.0, GetFileLength(path.c_str()));
    EXPECT_TRUE(FileExists(path.c_str()));
    EXPECT_TRUE(DirectoryExists(dir));
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    ForceDeleteFile(path.c_str());
    EXPECT_FALSE(PathExists(path.c_str()));
    EXPECT_EQ(-1.0, GetFileLength(path.c_str()));
}

TEST(WinHelpers, RegistryDwordRoundTrip)
{
    HKEY created = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\HelpersTest", 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &created, nullptr));
    RegCloseKey(created);
    HKEY key = nullptr;
    ASSERT_TRUE(OpenRegistryKey(HKEY_CURRENT_USER, "Software\\HelpersTest", key));
    EXPECT_TRUE(WriteRegistryDword(key, "Value", 0xCAFEF00Du));
    DWORD value = 0;
    EXPECT_TRUE(ReadRegistryDword(key, "Value", value));
    EXPECT_EQ(0xCAFEF00Du, value);
    EXPECT_FALSE(ReadRegistryDword(key, "Missing", value));
    EXPECT_TRUE(CloseRegistryKey(key));
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\HelpersTest");
    EXPECT_FALSE(OpenRegistryKey(HKEY_CURRENT_USER, "Software\\HelpersTest", key));
}

TEST(WinHelpers, RegistryProfileStoreRoundTrip)
{
    IProfileStore& store = GetDefaultProfileStore();
    EXPECT_EQ(-9, store.GetProfileInt("HelpersTestSection", "x1", -9));
    EXPECT_TRUE(store.WriteProfileInt("HelpersTestSection", "x1", -120));
    EXPECT_EQ(-120, store.GetProfileInt("HelpersTestSection", "x1", -9));
    RegDeleteKeyA(HKEY_CURRENT_USER,
                  "Software\\Velmara Divizuvozo Ltd.\\Velmara GPS Monitor\\HelpersTestSection");
}

TEST(WinHelpers, ClipboardText)
{
    EXPECT_TRUE(CopyTextToClipboard("abc"));
    EXPECT_EQ("abc ", ClipboardText());
    EXPECT_FALSE(CopyTextToClipboard(""));
    EXPECT_EQ("abc ", ClipboardText()) << "an empty text leaves the clipboard alone";

    HWND parent = MakeTopLevel(0, 0, 200, 200);
    HWND list = CreateWindowExA(0, "LISTBOX", "", WS_CHILD, 0, 0, 100, 100, parent, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, list);
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("first"));
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("second"));
    EXPECT_TRUE(CopyListBoxToClipboard(list));
    EXPECT_EQ("first\nsecond\n ", ClipboardText());

    HWND edit = CreateWindowExA(0, "Edit", "typed text", WS_CHILD, 0, 120, 100, 20, parent, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    EXPECT_TRUE(CopyRichEditToClipboard(edit));
    EXPECT_EQ("typed text", ClipboardText()) << "the control copies itself, with no blank";

    EXPECT_TRUE(CopyWindowToClipboard(parent, true));
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_BITMAP));
    CloseClipboard();
    DestroyWindow(parent);
}

TEST(WinHelpers, EnableChildWindowsSkipsStatics)
{
    HWND parent = MakeTopLevel(0, 0, 400, 300);
    HINSTANCE inst = GetModuleHandleA(nullptr);
    HWND label = CreateWindowExA(0, "Static", "l", WS_CHILD, 10, 10, 50, 20, parent, nullptr, inst, nullptr);
    HWND button = CreateWindowExA(0, "Button", "b", WS_CHILD, 10, 40, 50, 20, parent, nullptr, inst, nullptr);
    HWND edit = CreateWindowExA(0, "Edit", "e", WS_CHILD, 200, 200, 50, 20, parent, nullptr, inst, nullptr);
    HWND area = CreateWindowExA(0, "Static", "", WS_CHILD, 0, 0, 100, 100, parent, nullptr, inst, nullptr);

    EnableChildWindows(parent, false, nullptr, true);
    EXPECT_TRUE(IsWindowEnabled(label));
    EXPECT_TRUE(IsWindowEnabled(area));
    EXPECT_FALSE(IsWindowEnabled(button));
    EXPECT_FALSE(IsWindowEnabled(edit));

    EnableChildWindows(parent, true, area, false);  // only what starts inside the area
    EXPECT_TRUE(IsWindowEnabled(button));
    EXPECT_FALSE(IsWindowEnabled(edit));

    EnableChildWindows(parent, false, nullptr, false);
    EXPECT_FALSE(IsWindowEnabled(label));

    RECT r;
    GetWindowRect(button, &r);
    const POINT inside = {r.left + 1, r.top + 1};
    const POINT outside = {r.right + 5, r.top + 1};
    EXPECT_TRUE(IsPointInWindow(inside, button));
    EXPECT_FALSE(IsPointInWindow(outside, button));
    DestroyWindow(parent);
}

TEST(WinHelpers, RestoreAndSaveWindowPosition)
{
    MemoryProfileStore store;
    IProfileStore* previous = SetProfileStore(&store);
    HWND window = MakeTopLevel(10, 10, 300, 200);

    g_placedCount = 0;
    RestoreWindowPosition(window, "Pos");
    RECT desktop, r;
    GetWindowRect(GetDesktopWindow(), &desktop);
    GetWindowRect(window, &r);
    EXPECT_EQ(desktop.left + (desktop.right - desktop.left - 300) / 2, r.left);
    EXPECT_EQ(desktop.top + (desktop.bottom - desktop.top - 200) / 2, r.top);
    EXPECT_EQ(300, r.right - r.left);
    EXPECT_EQ(1, g_placedCount);

    store.WriteProfileInt("Pos", "x1", 40);
    store.WriteProfileInt("Pos", "y1", 60);
    RestoreWindowPosition(window, "Pos");
    GetWindowRect(window, &r);
    EXPECT_EQ(40, r.left);
    EXPECT_EQ(60, r.top);
    EXPECT_EQ(2, g_placedCount);

    SetWindowPos(window, nullptr, 70, 90, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SaveWindowPosition(window, "Saved");
    EXPECT_EQ(70, store.GetProfileInt("Saved", "x1", 0));
    EXPECT_EQ(90, store.GetProfileInt("Saved", "y1", 0));

    DestroyWindow(window);
    SetProfileStore(previous);
}

TEST(WinHelpers, DockingPlacesToolWindows)
{
    HWND main = MakeTopLevel(100, 100, 400, 300);
    HWND right = MakeTopLevel(0, 0, 200, 100);
    HWND below = MakeTopLevel(0, 0, 200, 100);
    HWND loose = MakeTopLevel(0, 0, 200, 100);
    g_placedCount = 0;

    DockDialogToMainWindow(right, main, 4, true, false, true);
    RECT r;
    GetWindowRect(right, &r);
    EXPECT_EQ(504, r.left);
    EXPECT_EQ(200, r.top);
    DockDialogToMainWindow(below, main, 4, false, true, true);
    GetWindowRect(below, &r);
    EXPECT_EQ(100, r.left);
    EXPECT_EQ(404, r.top);
    EXPECT_EQ(400, r.right - r.left);
    EXPECT_EQ(2, g_placedCount);

    DockDialogToMainWindow(loose, main, 4, false, false, false);  // holds no slot: nothing
    EXPECT_EQ(2, g_placedCount);

    UndockDialogFromMainWindow(right, main);
    DockDialogToMainWindow(right, main, 4, false, false, false);
    EXPECT_EQ(2, g_placedCount) << "undocked: no longer placed";

    for (HWND w : {main, right, below, loose}) DestroyWindow(w);
    UndockDialogFromMainWindow(below, main);
}

TEST(WinHelpers, VersionAndPrograms)
{
    SetInjectedWindowsVersion(nullptr);
    EXPECT_NE(WINVER_UNKNOWN, DetectWindowsVersion());
    EXPECT_TRUE(RunProgram(nullptr, "cmd.exe /c exit 0"));
    EXPECT_FALSE(RunProgram(nullptr, "no_such_program_here.exe"));
}

} // namespace
