// The Windows build's replacing rename and same-file test, on the system's
// own file system.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "framework/CFile.h"
#include "framework/FileBackend.h"
#include "win32/monitor/framework/TempFolderTest.h"

namespace {

class FileBackendWin32 : public TempFolderTest {
protected:
  void TearDown() override {
    for (const char* f : {"out.part", "out.csv", "other.part"}) DeleteFileA(Path(f).c_str());
    RemoveDirectoryA(Path("taken.csv").c_str());
    EXPECT_TRUE(RemoveDirectoryA(dir.c_str()));
  }
  void Write(const char* name, const char* text) {
    CFile f;
    ASSERT_TRUE(f.Open(Path(name).c_str(), CFile::modeCreate | CFile::modeWrite));
    ASSERT_TRUE(f.Write(text, static_cast<UINT>(std::string(text).size())));
  }
};

TEST_F(FileBackendWin32, RenameReplacingReplacesUnlessTheTargetIsHeldOrAFolder) {
  Write("out.part", "new");
  Write("out.csv", "old");
  EXPECT_FALSE(CFile::Rename(Path("out.part").c_str(), Path("out.csv").c_str()));
  {
    // Held without delete sharing, as an editor holds an open file.
    HANDLE h = CreateFileA(Path("out.csv").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(CFile::RenameReplacing(Path("out.part").c_str(), Path("out.csv").c_str()));
    CloseHandle(h);
  }
  ASSERT_TRUE(CFile::RenameReplacing(Path("out.part").c_str(), Path("OUT.CSV").c_str()));
  CFile f;
  ASSERT_TRUE(f.Open(Path("out.csv").c_str(), CFile::modeRead | CFile::shareDenyNone));
  char buf[8] = {};
  EXPECT_EQ(f.Read(buf, sizeof buf), 3u);
  EXPECT_STREQ(buf, "new");
  f.Close();

  ASSERT_TRUE(CreateDirectoryA(Path("taken.csv").c_str(), nullptr));
  Write("other.part", "x");
  EXPECT_FALSE(CFile::RenameReplacing(Path("other.part").c_str(), Path("taken.csv").c_str()));
}

TEST_F(FileBackendWin32, SameFileHoweverItIsSpelt) {
  Write("out.csv", "x");
  Write("other.part", "y");
  IFileBackend& disk = GetDefaultFileBackend();
  const std::string sameOtherwise = dir + "\\..\\" + dir.substr(dir.find_last_of('\\') + 1) + "\\OUT.CSV";
  EXPECT_TRUE(disk.IsSameFile(Path("out.csv").c_str(), sameOtherwise.c_str()));
  EXPECT_FALSE(disk.IsSameFile(Path("out.csv").c_str(), Path("other.part").c_str()));
  EXPECT_FALSE(disk.IsSameFile(Path("out.csv").c_str(), Path("none.csv").c_str()));
  // Held unshared by another handle: still identified.
  HANDLE h = CreateFileA(Path("out.csv").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(disk.IsSameFile(Path("out.csv").c_str(), Path("OUT.csv").c_str()));
  CloseHandle(h);
}

}  // namespace
