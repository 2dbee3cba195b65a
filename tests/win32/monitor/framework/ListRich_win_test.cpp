#include <gtest/gtest.h>

#include "framework/CControls.h"

// A list box read back through the wrapper, the way the clipboard helper reads
// a list: every line, whole, including an empty one.
TEST(FrameworkListBoxWin, CountAndTextOfEveryLine) {
    HWND h = ::CreateWindowA("LISTBOX", "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(h, nullptr);
    const char* lines[] = {"first line", "", "a much longer third line of text"};
    for (const char* l : lines) ::SendMessageA(h, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(l));
    CListBox list;
    list.m_hWnd = h;
    EXPECT_EQ(list.GetCount(), 3);
    for (int i = 0; i < 3; ++i) {
        CString text;
        EXPECT_EQ(list.GetText(i, text), (int)strlen(lines[i]));
        EXPECT_STREQ((LPCTSTR)text, lines[i]);
    }
    CString missing = "stale";
    EXPECT_EQ(list.GetText(7, missing), LB_ERR);
    EXPECT_TRUE(missing.IsEmpty());
    list.m_hWnd = nullptr;
    ::DestroyWindow(h);
}
