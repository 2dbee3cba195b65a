// The real file backend of the Windows build, where share modes are the
// system's own.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "framework/CFile.h"
#include "win32/monitor/framework/TempFolderTest.h"

namespace {

const UINT kRead = CFile::modeRead | CFile::shareDenyNone | CFile::typeBinary;
const UINT kCreate = CFile::modeCreate | CFile::modeWrite | CFile::shareDenyWrite;
const UINT kAppend = kCreate | CFile::modeNoTruncate;

class FrameworkFileWin32 : public TempFolderTest {
protected:
  void TearDown() override {
    for (const char* f : {"shared.log", "a.txt", "b.txt"}) DeleteFileA(Path(f).c_str());
    EXPECT_TRUE(RemoveDirectoryA(dir.c_str()));
  }
};

TEST_F(FrameworkFileWin32, ShareDenyWriteRefusesASecondWriterButNotAReader) {
  const std::string log = Path("shared.log");
  CFile writer;
  ASSERT_TRUE(writer.Open(log.c_str(), kCreate));
  ASSERT_TRUE(writer.Write("abc", 3));
  struct Case {
    UINT flags;
    bool allowed;
  };
  const Case cases[] = {
      {kAppend, false},
      {kCreate, false},
      {CFile::modeWrite | CFile::shareDenyNone, false},  // a writer that would share
      {kRead, true},
      {CFile::modeRead | CFile::shareDenyWrite, false},  // would deny the writer already there
  };
  for (const Case& c : cases) {
    CFile other;
    CFileException ex;
    EXPECT_EQ(c.allowed, other.Open(log.c_str(), c.flags, &ex)) << std::hex << c.flags;
    if (c.allowed) {
      char buf[8];
      EXPECT_EQ(3u, other.Read(buf, sizeof buf));
    } else {
      EXPECT_EQ(CFileException::sharingViolation, ex.m_cause);
      EXPECT_EQ(ERROR_SHARING_VIOLATION, static_cast<DWORD>(ex.m_lOsError));
      EXPECT_STREQ(log.c_str(), ex.m_strFileName);
    }
  }
  writer.Close();
  CFile again;
  EXPECT_TRUE(again.Open(log.c_str(), kAppend));
  EXPECT_EQ(3u, again.SeekToEnd());
}

TEST_F(FrameworkFileWin32, FailuresAndFullPath) {
  CFile f;
  CFileException ex;
  EXPECT_FALSE(f.Open(Path("missing.bin").c_str(), kRead, &ex));
  EXPECT_EQ(CFileException::fileNotFound, ex.m_cause);
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, static_cast<DWORD>(ex.m_lOsError));
  EXPECT_FALSE(f.Open(Path("no\\such\\x.bin").c_str(), kCreate, &ex));
  EXPECT_EQ(CFileException::badPath, ex.m_cause);

  // A relative name is reported with its full path.
  char cwd[MAX_PATH];
  ASSERT_NE(0u, GetCurrentDirectoryA(sizeof cwd, cwd));
  ASSERT_TRUE(SetCurrentDirectoryA(dir.c_str()));
  bool opened = f.Open("a.txt", kCreate);
  CString path = f.GetFilePath();
  CString name = f.GetFileName();
  f.Close();
  SetCurrentDirectoryA(cwd);
  ASSERT_TRUE(opened);
  EXPECT_STREQ(Path("a.txt").c_str(), path);
  EXPECT_STREQ("a.txt", name);

  ASSERT_TRUE(f.Open(Path("b.txt").c_str(), kCreate));
  f.Close();
  EXPECT_FALSE(CFile::Rename(Path("a.txt").c_str(), Path("b.txt").c_str(), &ex));
  EXPECT_EQ(CFileException::accessDenied, ex.m_cause);
  EXPECT_TRUE(CFile::Remove(Path("b.txt").c_str()));
  EXPECT_TRUE(CFile::Rename(Path("a.txt").c_str(), Path("b.txt").c_str()));
}

TEST_F(FrameworkFileWin32, TextLinesMatchTheNativeBuild) {
  const std::string p = Path("a.txt");
  {
    CStdioFile f;
    ASSERT_TRUE(f.Open(p.c_str(), kCreate | CFile::typeText));
    EXPECT_TRUE(f.WriteString("one\ntwo\n"));
  }
  CFile raw;
  ASSERT_TRUE(raw.Open(p.c_str(), kRead));
  char buf[32];
  UINT n = raw.Read(buf, sizeof buf);
  EXPECT_EQ(std::string("one\r\ntwo\r\n"), std::string(buf, n));
  raw.Close();
  CStdioFile f;
  ASSERT_TRUE(f.Open(p.c_str(), kRead));
  CString line;
  ASSERT_TRUE(f.ReadString(line));
  EXPECT_STREQ("one", line);
  ASSERT_TRUE(f.ReadString(line));
  EXPECT_STREQ("two", line);
  EXPECT_FALSE(f.ReadString(line));
}

}  // namespace
