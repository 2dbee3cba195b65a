// Names compared as Windows resolves them, the replacing rename and the
// same-file test, in memory and on the disk of the native build.
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include <gtest/gtest.h>

#include "framework/CFile.h"
#include "framework/FileBackend.h"
#include "framework/MemoryFileBackend.h"
#include "support/DiskFolderTest.h"

namespace {

TEST(FilePathKey, SpellingsOfOneFileGiveOneKey) {
  struct Case {
    const char* name;
    const char* key;
  };
  const Case cases[] = {
      {"C:\\Logs\\Run.QBL", "c:\\logs\\run.qbl"},
      {"c:/logs/run.qbl", "c:\\logs\\run.qbl"},
      {"C:\\logs\\sub\\..\\run.qbl", "c:\\logs\\run.qbl"},
      {"C:\\logs\\.\\run.qbl", "c:\\logs\\run.qbl"},
      {"C:\\logs\\\\run.qbl", "c:\\logs\\run.qbl"},
      {"C:\\..\\run.qbl", "c:\\run.qbl"},          // never above the drive
      {"\\..\\a", "\\a"},                          // nor above the root
      {"..\\a\\..\\..\\b", "..\\..\\b"},           // a relative name may go above its start
      {"/tmp/x/../y.csv", "\\tmp\\y.csv"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(FilePathKey(c.name), c.key) << c.name;
  EXPECT_EQ(FilePathKey(nullptr), "");
}

class FileBackendMemory : public ::testing::Test {
protected:
  void SetUp() override { CFile::SetBackend(&fs); }
  void TearDown() override { CFile::SetBackend(nullptr); }
  MemoryFileBackend fs;
};

TEST_F(FileBackendMemory, RenameReplacingTakesTheNameUnlessTheTargetIsHeld) {
  fs.SetFile("new.part", "new");
  fs.SetFile("out.csv", "old");
  EXPECT_FALSE(CFile::Rename("new.part", "out.csv")) << "a plain rename keeps the target";
  {
    CFile held;
    ASSERT_TRUE(held.Open("OUT.csv", CFile::modeRead | CFile::shareDenyNone));
    CFileException e;
    EXPECT_FALSE(CFile::RenameReplacing("new.part", "out.csv", &e));
    EXPECT_EQ(e.m_cause, CFileException::sharingViolation);
  }
  EXPECT_TRUE(CFile::RenameReplacing("new.part", "OUT.CSV"));
  EXPECT_EQ(fs.GetFileText("out.csv"), "new");
  EXPECT_FALSE(fs.Exists("new.part"));
  EXPECT_FALSE(CFile::RenameReplacing("missing", "out.csv"));

  fs.FailRename("out.csv");
  fs.SetFile("again.part", "again");
  CFileException e;
  EXPECT_FALSE(CFile::RenameReplacing("again.part", "out.csv", &e));
  EXPECT_EQ(e.m_cause, CFileException::accessDenied);
  EXPECT_EQ(fs.GetFileText("out.csv"), "new");
}

TEST_F(FileBackendMemory, SameFileAndWritesRefusedToOneFile) {
  fs.SetFile("C:\\logs\\a.qbl", "");
  EXPECT_TRUE(fs.IsSameFile("C:\\logs\\a.qbl", "c:/LOGS/sub/../A.QBL"));
  EXPECT_FALSE(fs.IsSameFile("C:\\logs\\a.qbl", "C:\\logs\\b.qbl"));
  EXPECT_FALSE(fs.IsSameFile("C:\\logs\\b.qbl", "C:\\logs\\b.qbl")) << "nothing there";

  fs.FailWriteTo("full.kml");
  CFile full;
  CFile fine;
  ASSERT_TRUE(full.Open("full.kml", CFile::modeCreate | CFile::modeWrite));
  ASSERT_TRUE(fine.Open("fine.csv", CFile::modeCreate | CFile::modeWrite));
  CFileException e;
  EXPECT_FALSE(full.Write("x", 1, &e));
  EXPECT_EQ(e.m_cause, CFileException::diskFull);
  EXPECT_TRUE(fine.Write("x", 1));
}

class FileBackendDisk : public DiskFolderTest {
protected:
  void Write(const char* name, const char* text) {
    CFile f;
    ASSERT_TRUE(f.Open(Path(name).c_str(), CFile::modeCreate | CFile::modeWrite));
    ASSERT_TRUE(f.Write(text, static_cast<UINT>(std::string(text).size())));
  }
};

TEST_F(FileBackendDisk, RenameReplacingReplacesAFileButNotAFolder) {
  Write("out.part", "new");
  Write("out.csv", "old");
  ASSERT_TRUE(CFile::RenameReplacing(Path("out.part").c_str(), Path("out.csv").c_str()));
  CFileStatus st;
  EXPECT_FALSE(CFile::GetStatus(Path("out.part").c_str(), st));
  ASSERT_TRUE(CFile::GetStatus(Path("out.csv").c_str(), st));
  EXPECT_EQ(st.m_size, 3u);

  ASSERT_EQ(0, mkdir(Path("taken.csv").c_str(), 0755));
  Write("other.part", "x");
  EXPECT_FALSE(CFile::RenameReplacing(Path("other.part").c_str(), Path("taken.csv").c_str()));
  EXPECT_FALSE(CFile::RenameReplacing(Path("taken.csv").c_str(), Path("moved").c_str()));
}

TEST_F(FileBackendDisk, SameFileByIdentity) {
  Write("a.log", "a");
  Write("b.log", "b");
  ASSERT_EQ(0, link(Path("a.log").c_str(), Path("hard.log").c_str()));
  IFileBackend& disk = GetDefaultFileBackend();
  EXPECT_TRUE(disk.IsSameFile(Path("a.log").c_str(), Path("hard.log").c_str()));
  EXPECT_TRUE(disk.IsSameFile(Path("a.log").c_str(), (dir + "/./a.log").c_str()));
  EXPECT_FALSE(disk.IsSameFile(Path("a.log").c_str(), Path("b.log").c_str()));
  EXPECT_FALSE(disk.IsSameFile(Path("a.log").c_str(), Path("none.log").c_str()));
}

}  // namespace
