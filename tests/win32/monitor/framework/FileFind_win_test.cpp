// CFileFind over the system's own search: the same one-ahead walk as the
// native build, with Windows matching the patterns.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "framework/CFileFind.h"
#include "win32/monitor/framework/TempFolderTest.h"

namespace {

class FrameworkFileFindWin32 : public TempFolderTest {
protected:
  void TearDown() override {
    for (const char* f : {"a.log", "B.LOG", "c.txt"}) DeleteFileA(Path(f).c_str());
    RemoveDirectoryA(Path("old.log").c_str());
    EXPECT_TRUE(RemoveDirectoryA(dir.c_str()));
  }
  void Touch(const char* name) const {
    HANDLE h = CreateFileA(Path(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    CloseHandle(h);
  }
};

TEST_F(FrameworkFileFindWin32, WalksEntriesAndKeepsTheLastOneCurrent) {
  Touch("a.log");
  Touch("B.LOG");
  Touch("c.txt");
  ASSERT_TRUE(CreateDirectoryA(Path("old.log").c_str(), nullptr));

  CFileFind finder;
  std::vector<std::string> seen;
  int dots = 0;
  BOOL more = finder.FindFile(Path("*.*").c_str());
  EXPECT_EQ(CString(), finder.GetFileName());  // nothing current yet
  while (more) {
    more = finder.FindNextFile();
    seen.push_back(std::string(finder.GetFileName()) + (finder.IsDirectory() ? "\\" : ""));
    if (finder.IsDots()) ++dots;
    EXPECT_EQ(Path(finder.GetFileName()), std::string(finder.GetFilePath()));
  }
  // The entry current after the FALSE is the last one listed.
  EXPECT_EQ(seen.back(), std::string(finder.GetFileName()) + (finder.IsDirectory() ? "\\" : ""));
  EXPECT_FALSE(finder.FindNextFile());
  std::sort(seen.begin(), seen.end());
  std::vector<std::string> all = {"..\\", ".\\", "B.LOG", "a.log", "c.txt", "old.log\\"};
  EXPECT_EQ(all, seen);
  EXPECT_EQ(2, dots);
  EXPECT_EQ(dir + "\\", std::string(finder.GetRoot()));

  // One match: the first FindNextFile already says no more.
  ASSERT_TRUE(finder.FindFile(Path("c.*").c_str()));
  EXPECT_FALSE(finder.FindNextFile());
  EXPECT_EQ(CString("c.txt"), finder.GetFileName());
  EXPECT_FALSE(finder.IsDirectory());

  EXPECT_FALSE(finder.FindFile(Path("*.qbl").c_str()));
  EXPECT_FALSE(finder.FindNextFile());
  EXPECT_EQ(CString(), finder.GetFileName());
}

}  // namespace
