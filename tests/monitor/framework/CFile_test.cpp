#include "framework/CFile.h"

#include <errno.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include <gtest/gtest.h>

#include "framework/MemoryFileBackend.h"
#include "support/DiskFolderTest.h"

namespace {

const UINT kRead = CFile::modeRead | CFile::shareDenyNone | CFile::typeBinary;
const UINT kCreate = CFile::modeCreate | CFile::modeWrite | CFile::shareDenyWrite;
const UINT kAppend = kCreate | CFile::modeNoTruncate;

std::string ReadAll(CFile& f) {
  std::string out;
  char buf[7];  // small on purpose: several reads per file
  UINT n;
  while ((n = f.Read(buf, sizeof buf)) > 0) out.append(buf, n);
  return out;
}

bool WriteText(CFile& f, const std::string& s) { return f.Write(s.data(), static_cast<UINT>(s.size())); }

// Every test here runs against a fresh in-memory file system.
class FrameworkFileMemory : public ::testing::Test {
protected:
  void SetUp() override { CFile::SetBackend(&fs); }
  void TearDown() override {
    CFile::SetBackend(nullptr);
    EXPECT_EQ(0, fs.GetOpenCount()) << "a file was left open";
  }
  MemoryFileBackend fs;
};

TEST_F(FrameworkFileMemory, OpenFailuresReturnFalseAndFillTheException) {
  fs.SetFile("present.bin", "data");
  fs.SetFile("locked.bin", "data");
  fs.FailOpen("locked.bin");
  fs.FailOpen("nospace.bin", CFileException::diskFull, 112);
  struct Case {
    const char* name;
    UINT flags;
    int cause;
    LONG osError;
  };
  const Case cases[] = {
      {"missing.bin", kRead, CFileException::fileNotFound, 2},
      {"LOCKED.BIN", kRead, CFileException::accessDenied, 5},  // names ignore case
      {"locked.bin", kCreate, CFileException::accessDenied, 5},
      {"nospace.bin", kCreate, CFileException::diskFull, 112},
      {"", kRead, CFileException::badPath, 3},
      {"present.bin", CFile::modeWrite | CFile::modeReadWrite, CFileException::genericException, 87},
  };
  for (const Case& c : cases) {
    CFile f;
    CFileException ex;
    bool opened = true;
    EXPECT_NO_THROW(opened = f.Open(c.name, c.flags, &ex));
    EXPECT_FALSE(opened) << c.name;
    EXPECT_FALSE(f.IsOpen());
    EXPECT_EQ(c.cause, ex.m_cause) << c.name;
    EXPECT_EQ(c.osError, ex.m_lOsError) << c.name;
    EXPECT_STREQ(c.name, ex.m_strFileName);
    EXPECT_EQ(c.cause, f.GetLastCause());
    // Without an exception object the failure is still reported.
    CFile g;
    EXPECT_FALSE(g.Open(c.name, c.flags));
    EXPECT_EQ(c.osError, g.GetLastOsError());
  }
  EXPECT_EQ("data", fs.GetFileText("locked.bin"));  // a refused create truncates nothing
  EXPECT_FALSE(fs.Exists("nospace.bin"));  // a refused create makes nothing
}

TEST_F(FrameworkFileMemory, CreateWriteReadBack) {
  CFile f;
  ASSERT_TRUE(f.Open("logs\\raw.bin", kCreate));
  EXPECT_STREQ("logs\\raw.bin", f.GetFilePath());
  EXPECT_STREQ("raw.bin", f.GetFileName());
  EXPECT_TRUE(WriteText(f, "hello "));
  EXPECT_TRUE(WriteText(f, "world"));
  EXPECT_TRUE(f.Write("", 0));
  EXPECT_EQ(11u, f.GetLength());
  EXPECT_EQ(11u, f.GetPosition());
  EXPECT_TRUE(f.Flush());
  f.Close();
  EXPECT_FALSE(f.IsOpen());
  EXPECT_EQ("hello world", fs.GetFileText("logs\\raw.bin"));

  ASSERT_TRUE(f.Open("logs\\raw.bin", kRead));
  EXPECT_EQ("hello world", ReadAll(f));
  f.SeekToBegin();
  char c[5];
  EXPECT_EQ(5u, f.Read(c, 5));
  EXPECT_EQ(std::string("hello"), std::string(c, 5));
  // A write through a read-only handle is refused, and nothing changes.
  EXPECT_FALSE(WriteText(f, "x"));
  EXPECT_EQ(CFileException::accessDenied, f.GetLastCause());
  f.Close();
  EXPECT_EQ("hello world", fs.GetFileText("logs\\raw.bin"));
}

TEST_F(FrameworkFileMemory, CreateTruncatesUnlessNoTruncateThenAppendAtEnd) {
  fs.SetFile("a.log", "old");
  {
    CFile f;
    ASSERT_TRUE(f.Open("a.log", kAppend));
    EXPECT_EQ(0u, f.GetPosition());  // opened at the start, as is
    EXPECT_EQ(3u, f.SeekToEnd());
    EXPECT_TRUE(WriteText(f, "+new"));
  }
  EXPECT_EQ("old+new", fs.GetFileText("a.log"));
  {
    CFile f;
    ASSERT_TRUE(f.Open("a.log", kCreate));
    EXPECT_EQ(0u, f.GetLength());
    EXPECT_TRUE(WriteText(f, "fresh"));
  }
  EXPECT_EQ("fresh", fs.GetFileText("a.log"));
  {
    CFile f;  // modeNoTruncate on a file that does not exist creates it
    ASSERT_TRUE(f.Open("b.log", kAppend));
    EXPECT_EQ(0u, f.SeekToEnd());
  }
  EXPECT_TRUE(fs.Exists("b.log"));
}

TEST_F(FrameworkFileMemory, DiskFullOnTheNthWrite) {
  struct Case {
    UINT partial;
    bool sticky;
    const char* contents;  // after writes "11", "22", "33"
    bool third;
  };
  const Case cases[] = {
      {0, true, "11", false},
      {1, true, "112", false},
      {0, false, "1133", true},
  };
  for (const Case& c : cases) {
    fs.RemoveAllFiles();
    fs.FailWrite(2, c.partial, c.sticky);
    CFile f;
    ASSERT_TRUE(f.Open("out.bin", kCreate));
    EXPECT_TRUE(WriteText(f, "11"));
    CFileException ex;
    EXPECT_FALSE(f.Write("22", 2, &ex));
    EXPECT_EQ(CFileException::diskFull, ex.m_cause);
    EXPECT_EQ(112, ex.m_lOsError);
    EXPECT_EQ(CFileException::diskFull, f.GetLastCause());
    EXPECT_EQ(c.third, WriteText(f, "33"));
    f.Close();
    EXPECT_EQ(c.contents, fs.GetFileText("out.bin"));
  }
  fs.ClearFaults();
}

TEST_F(FrameworkFileMemory, EarlyEndAndShortReads) {
  fs.SetFile("in.bin", "0123456789");
  fs.SetEarlyEnd("in.bin", 4);
  CFile f;
  ASSERT_TRUE(f.Open("in.bin", kRead));
  EXPECT_EQ(10u, f.GetLength());
  char buf[16];
  EXPECT_EQ(4u, f.Read(buf, sizeof buf));
  EXPECT_EQ(0u, f.Read(buf, sizeof buf));
  EXPECT_EQ(0, f.GetLastCause());  // an end, not an error
  f.Close();
  fs.ClearFaults();
  ASSERT_TRUE(f.Open("in.bin", kRead));
  EXPECT_EQ("0123456789", ReadAll(f));
}

TEST_F(FrameworkFileMemory, SeekRules) {
  CFile f;
  ASSERT_TRUE(f.Open("s.bin", CFile::modeCreate | CFile::modeReadWrite));
  EXPECT_TRUE(WriteText(f, "abcdef"));
  EXPECT_EQ(2u, f.Seek(2, CFile::begin));
  EXPECT_EQ(3u, f.Seek(1, CFile::current));
  EXPECT_EQ(4u, f.Seek(-2, CFile::end));
  CFileException ex;
  EXPECT_EQ(CFile::posError, f.Seek(-10, CFile::current, &ex));
  EXPECT_EQ(CFileException::badSeek, ex.m_cause);
  EXPECT_EQ(4u, f.GetPosition());  // unchanged by the failed seek
  // Past the end, then write: the gap reads as zeros.
  EXPECT_EQ(8u, f.Seek(8, CFile::begin));
  EXPECT_TRUE(WriteText(f, "Z"));
  f.Close();
  EXPECT_EQ(std::string("abcdef\0\0Z", 9), fs.GetFileText("s.bin"));
}

TEST_F(FrameworkFileMemory, ClosedFileFailsQuietly) {
  CFile f;
  char buf[4];
  EXPECT_EQ(0u, f.Read(buf, 4));
  EXPECT_EQ(CFileException::invalidFile, f.GetLastCause());
  EXPECT_FALSE(f.Write("x", 1));
  EXPECT_EQ(CFile::posError, f.Seek(0, CFile::begin));
  EXPECT_EQ(0u, f.GetLength());
  EXPECT_FALSE(f.Flush());
  f.Close();  // closing twice is harmless
  EXPECT_STREQ("", f.GetFilePath());
}

TEST_F(FrameworkFileMemory, SharingFollowsTheOpenFlags) {
  CFile writer;
  ASSERT_TRUE(writer.Open("shared.log", kCreate));
  EXPECT_TRUE(WriteText(writer, "abc"));
  struct Case {
    UINT flags;
    bool allowed;
  };
  const Case cases[] = {
      {kAppend, false},                                           // a second writer
      {kCreate, false},
      {CFile::modeWrite | CFile::shareDenyNone, false},  // a writer that would share
      {kRead, true},                                              // a reader that shares
      {CFile::modeRead | CFile::shareDenyWrite, false},           // a reader that denies writers
      {CFile::modeRead | CFile::shareExclusive, false},
  };
  for (const Case& c : cases) {
    CFile other;
    CFileException ex;
    EXPECT_EQ(c.allowed, other.Open("shared.log", c.flags, &ex)) << std::hex << c.flags;
    if (!c.allowed) {
      EXPECT_EQ(CFileException::sharingViolation, ex.m_cause);
      EXPECT_EQ(32, ex.m_lOsError);
    } else {
      EXPECT_EQ("abc", ReadAll(other));
    }
  }
  // An open file cannot be removed or renamed away.
  EXPECT_FALSE(CFile::Remove("shared.log"));
  EXPECT_FALSE(CFile::Rename("shared.log", "other.log"));
  writer.Close();
  CFile again;
  EXPECT_TRUE(again.Open("shared.log", kAppend));
}

TEST_F(FrameworkFileMemory, RemoveAndRename) {
  fs.SetFile("a.txt", "A");
  fs.SetFile("b.txt", "B");
  CFileException ex;
  EXPECT_FALSE(CFile::Rename("a.txt", "b.txt", &ex));  // never replaces a file
  EXPECT_EQ(CFileException::accessDenied, ex.m_cause);
  EXPECT_EQ("B", fs.GetFileText("b.txt"));
  EXPECT_TRUE(CFile::Rename("a.txt", "c.txt"));
  EXPECT_FALSE(fs.Exists("a.txt"));
  EXPECT_EQ("A", fs.GetFileText("c.txt"));
  EXPECT_TRUE(CFile::Remove("c.txt"));
  EXPECT_FALSE(CFile::Remove("c.txt", &ex));
  EXPECT_EQ(CFileException::fileNotFound, ex.m_cause);
  EXPECT_STREQ("c.txt", ex.m_strFileName);
}

TEST_F(FrameworkFileMemory, BackendIsRestoredAndOpenFilesKeepTheirs) {
  fs.SetFile("only-in-memory.bin", "m");
  CFile f;
  ASSERT_TRUE(f.Open("only-in-memory.bin", kRead));
  CFile::SetBackend(nullptr);
  CFile g;
  EXPECT_FALSE(g.Open("only-in-memory.bin", kRead));
  EXPECT_EQ(CFileException::fileNotFound, g.GetLastCause());
  EXPECT_EQ("m", ReadAll(f));  // still reads from memory
  f.Close();
  CFile::SetBackend(&fs);
}

// ---------------------------------------------------------------------------
// CStdioFile

TEST_F(FrameworkFileMemory, ReadStringDropsLineEnds) {
  struct Case {
    std::string contents;
    std::vector<std::string> lines;
  };
  const std::string longLine(4095, 'L');  // its CR is the last byte of the first read
  const Case cases[] = {
      {"one\r\ntwo\n\r\nlast", {"one", "two", "", "last"}},
      {"a\n", {"a"}},
      {"", {}},
      {"\n\n", {"", ""}},
      {"cr\ronly\r\n", {"cr\ronly"}},
      {longLine + "\r\nnext\r\n", {longLine, "next"}},
      {std::string(10000, 'x') + "\n", {std::string(10000, 'x')}},
  };
  for (const Case& c : cases) {
    fs.SetFile("t.txt", c.contents);
    CStdioFile f;
    ASSERT_TRUE(f.Open("t.txt", CFile::modeRead | CFile::shareDenyNone | CFile::typeText));
    std::vector<std::string> got;
    CString line;
    while (f.ReadString(line)) got.push_back(std::string(line, line.GetLength()));
    EXPECT_EQ(c.lines, got);
    EXPECT_TRUE(line.IsEmpty());
    EXPECT_FALSE(f.ReadString(line));  // stays at the end
  }
}

TEST_F(FrameworkFileMemory, WriteStringLineEnds) {
  struct Case {
    UINT type;
    const char* text;
    std::string bytes;
  };
  const Case cases[] = {
      {CFile::typeText, "a\nb\n", "a\r\nb\r\n"},
      {0, "a\nb", "a\r\nb"},  // text is the default
      {CFile::typeBinary, "a\nb\n", "a\nb\n"},
  };
  for (const Case& c : cases) {
    CStdioFile f;
    ASSERT_TRUE(f.Open("w.txt", kCreate | c.type));
    EXPECT_TRUE(f.WriteString(c.text));
    f.Close();
    EXPECT_EQ(c.bytes, fs.GetFileText("w.txt"));
  }
  fs.FailWrite(1);
  CStdioFile f;
  ASSERT_TRUE(f.Open("w.txt", kCreate));
  EXPECT_FALSE(f.WriteString("lost\n"));
  EXPECT_EQ(CFileException::diskFull, f.GetLastCause());
  fs.ClearFaults();
}

TEST_F(FrameworkFileMemory, ReadStringThenPositionReadAndWrite) {
  fs.SetFile("m.txt", "first\r\nsecond\r\nthird\r\n");
  CStdioFile f;
  ASSERT_TRUE(f.Open("m.txt", CFile::modeReadWrite | CFile::shareExclusive));
  CString line;
  ASSERT_TRUE(f.ReadString(line));
  EXPECT_STREQ("first", line);
  EXPECT_EQ(7u, f.GetPosition());  // read-ahead is not counted
  char two[2];
  EXPECT_EQ(2u, f.Read(two, 2));
  EXPECT_EQ('s', two[0]);
  EXPECT_TRUE(f.Write("EC", 2));  // lands right after what was consumed
  ASSERT_TRUE(f.ReadString(line));
  EXPECT_STREQ("nd", line);
  f.SeekToBegin();
  ASSERT_TRUE(f.ReadString(line));
  EXPECT_STREQ("first", line);
  f.Close();
  EXPECT_EQ("first\r\nseECnd\r\nthird\r\n", fs.GetFileText("m.txt"));
}

// ---------------------------------------------------------------------------
// The real file system of this build.

class FrameworkFileDisk : public DiskFolderTest {};

TEST_F(FrameworkFileDisk, OpenFailureReturnsFalseWithTheSystemError) {
  struct Case {
    std::string name;
    UINT flags;
    int cause;
  };
  const Case cases[] = {
      {Path("missing.bin"), kRead, CFileException::fileNotFound},
      {dir, kRead, CFileException::accessDenied},  // a directory is not a file
  };
  for (const Case& c : cases) {
    CFile f;
    CFileException ex;
    bool opened = true;
    EXPECT_NO_THROW(opened = f.Open(c.name.c_str(), c.flags, &ex));
    EXPECT_FALSE(opened);
    EXPECT_EQ(c.cause, ex.m_cause) << c.name;
    EXPECT_NE(0, ex.m_lOsError);
    EXPECT_STREQ(c.name.c_str(), ex.m_strFileName);
  }
  CFile f;
  CFileException ex;
  EXPECT_FALSE(f.Open(Path("no/such/dir.bin").c_str(), kCreate, &ex));
  EXPECT_EQ(ENOENT, ex.m_lOsError);
}

TEST_F(FrameworkFileDisk, AppendRenameRemove) {
  const std::string log = Path("raw.log");
  {
    CFile f;
    ASSERT_TRUE(f.Open(log.c_str(), kCreate));
    EXPECT_STREQ(log.c_str(), f.GetFilePath());
    EXPECT_STREQ("raw.log", f.GetFileName());
    EXPECT_TRUE(WriteText(f, "part1"));
  }
  {
    CFile f;
    ASSERT_TRUE(f.Open(log.c_str(), kAppend));
    EXPECT_EQ(5u, f.GetLength());
    EXPECT_EQ(5u, f.SeekToEnd());
    EXPECT_TRUE(WriteText(f, "+part2"));
    EXPECT_TRUE(f.Flush());
  }
  {
    CStdioFile f;
    ASSERT_TRUE(f.Open(log.c_str(), kRead));
    CString line;
    ASSERT_TRUE(f.ReadString(line));
    EXPECT_STREQ("part1+part2", line);
  }
  const std::string other = Path("other.log");
  {
    CStdioFile f;
    ASSERT_TRUE(f.Open(other.c_str(), kCreate));
    EXPECT_TRUE(f.WriteString("x\ny\n"));
  }
  CFileException ex;
  EXPECT_FALSE(CFile::Rename(log.c_str(), other.c_str(), &ex));  // never replaces
  EXPECT_EQ(CFileException::accessDenied, ex.m_cause);
  EXPECT_TRUE(CFile::Remove(other.c_str()));
  EXPECT_TRUE(CFile::Rename(log.c_str(), other.c_str()));
  struct stat st;
  EXPECT_NE(0, stat(log.c_str(), &st));
  ASSERT_EQ(0, stat(other.c_str(), &st));
  EXPECT_EQ(11, st.st_size);
  EXPECT_FALSE(CFile::Remove(log.c_str(), &ex));
  EXPECT_EQ(CFileException::fileNotFound, ex.m_cause);
}

TEST_F(FrameworkFileDisk, RelativeNamesReportAFullPath) {
  char cwd[4096];
  ASSERT_NE(nullptr, getcwd(cwd, sizeof cwd));
  ASSERT_EQ(0, chdir(dir.c_str()));
  CFile f;
  bool opened = f.Open("rel.bin", kCreate);
  CString path = f.GetFilePath();
  f.Close();
  ASSERT_EQ(0, chdir(cwd));
  ASSERT_TRUE(opened);
  char real[4096];
  ASSERT_NE(nullptr, realpath(dir.c_str(), real));
  EXPECT_EQ(std::string(real) + "/rel.bin", std::string(path));
}

}  // namespace
