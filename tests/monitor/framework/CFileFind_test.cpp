#include "framework/CFileFind.h"

#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/DiskFolderTest.h"

namespace {

TEST(FrameworkFileFind, NamesMatchPatternsAsWindowsDoes) {
  struct Case {
    const char* name;
    const char* pattern;
    bool match;
  };
  const Case cases[] = {
      {"a.log", "*.log", true},
      {"TRACK.LOG", "*.log", true},  // either case
      {"a.log.bak", "*.log", false},
      {"alog", "*.log", false},
      {"a.log", "*.*", true},
      {"README", "*.*", true},  // no extension at all
      {".", "*.*", true},
      {"..", "*.*", true},
      {"log", "log.*", true},
      {"log.txt", "log.*", true},
      {"logs", "log.*", false},
      {"x1.qbl", "x?.qbl", true},
      {"x12.qbl", "x?.qbl", false},
      {"x.qbl", "x?.qbl", false},
      {"abcabd", "*ab?", true},   // the star has to give back characters
      {"aaaaaaaaab", "*a*a*b", true},
      {"aaaaaaaaaa", "*a*a*b", false},
      {"", "*", true},
      {"", "?", false},
      {"exact.txt", "exact.txt", true},
      {"exact.txt", "EXACT.TXT", true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.match, FileNameMatchesPattern(c.name, c.pattern)) << c.name << " / " << c.pattern;
  EXPECT_FALSE(FileNameMatchesPattern(nullptr, "*"));
  EXPECT_FALSE(FileNameMatchesPattern("a", nullptr));
}

class FrameworkFileFindDisk : public DiskFolderTest {
protected:
  void Touch(const char* name) const {
    FILE* f = fopen(Path(name).c_str(), "w");
    ASSERT_NE(nullptr, f);
    fclose(f);
  }
  void MakeFolder(const char* name) const { ASSERT_EQ(0, mkdir(Path(name).c_str(), 0755)); }

  // Every entry of one search as "name" (a file) or "name/" (a folder), sorted.
  static std::vector<std::string> Walk(CFileFind& finder, const std::string& pattern) {
    std::vector<std::string> seen;
    BOOL more = finder.FindFile(pattern.c_str());
    while (more) {
      more = finder.FindNextFile();
      seen.push_back(std::string(finder.GetFileName()) + (finder.IsDirectory() ? "/" : ""));
    }
    std::sort(seen.begin(), seen.end());
    return seen;
  }
};

TEST_F(FrameworkFileFindDisk, WalksMatchingEntriesWithFoldersAndDots) {
  Touch("a.log");
  Touch("B.LOG");
  Touch("c.txt");
  MakeFolder("sub");
  MakeFolder("old.log");  // a folder whose name matches
  CFileFind finder;
  std::vector<std::string> all = {"../", "./", "B.LOG", "a.log", "c.txt", "old.log/", "sub/"};
  EXPECT_EQ(all, Walk(finder, Path("*.*")));
  EXPECT_EQ(all, Walk(finder, Path("*")));
  std::vector<std::string> logs = {"B.LOG", "a.log", "old.log/"};
  EXPECT_EQ(logs, Walk(finder, Path("*.log")));

  // Dots are folders, and only the two of them count as dots.
  BOOL more = finder.FindFile(Path("*").c_str());
  int dots = 0;
  while (more) {
    more = finder.FindNextFile();
    if (finder.IsDots()) {
      ++dots;
      EXPECT_TRUE(finder.IsDirectory());
      EXPECT_TRUE(finder.GetFileName() == "." || finder.GetFileName() == "..");
    }
    EXPECT_EQ(dir + "/" + std::string(finder.GetFileName()), std::string(finder.GetFilePath()));
  }
  EXPECT_EQ(2, dots);
  EXPECT_EQ(dir + "/", std::string(finder.GetRoot()));
}

TEST_F(FrameworkFileFindDisk, LastEntryIsCurrentWhenFindNextFileSaysNoMore) {
  Touch("one.txt");
  Touch("two.txt");
  CFileFind finder;
  ASSERT_TRUE(finder.FindFile(Path("*.txt").c_str()));
  // Nothing is current until the first FindNextFile.
  EXPECT_EQ(CString(), finder.GetFileName());
  EXPECT_EQ(CString(), finder.GetFilePath());
  EXPECT_FALSE(finder.IsDirectory());
  EXPECT_FALSE(finder.IsDots());

  EXPECT_TRUE(finder.FindNextFile());   // first of two: another follows
  CString first = finder.GetFileName();
  EXPECT_FALSE(finder.FindNextFile());  // second: the last one, still current
  CString second = finder.GetFileName();
  std::vector<std::string> names = {std::string(first), std::string(second)};
  std::sort(names.begin(), names.end());
  EXPECT_EQ((std::vector<std::string>{"one.txt", "two.txt"}), names);
  EXPECT_EQ(Path(second), std::string(finder.GetFilePath()));
  // Further calls change nothing.
  EXPECT_FALSE(finder.FindNextFile());
  EXPECT_EQ(second, finder.GetFileName());

  // A single match: the first FindNextFile already reports the end.
  ASSERT_TRUE(finder.FindFile(Path("one.*").c_str()));
  EXPECT_FALSE(finder.FindNextFile());
  EXPECT_EQ(CString("one.txt"), finder.GetFileName());

  finder.Close();
  EXPECT_EQ(CString(), finder.GetFileName());
  EXPECT_FALSE(finder.FindNextFile());
}

TEST_F(FrameworkFileFindDisk, NamesWithoutWildcardsAndSearchesThatFindNothing) {
  Touch("track.qbl");
  MakeFolder("logs");
  CFileFind finder;
  struct Case {
    const char* name;
    bool directory;
  };
  const Case found[] = {{"track.qbl", false}, {"TRACK.QBL", false}, {"logs", true}};
  for (const Case& c : found) {
    ASSERT_TRUE(finder.FindFile(Path(c.name).c_str())) << c.name;
    EXPECT_FALSE(finder.FindNextFile()) << c.name;
    EXPECT_EQ(c.directory, finder.IsDirectory() != FALSE) << c.name;
    EXPECT_FALSE(finder.IsDots());
  }

  const std::string nothing[] = {Path("*.log"), Path("missing.txt"), Path("logs/"),
                                 Path("absent/*.*"), dir + "/track.qbl/*"};
  for (const std::string& p : nothing) {
    EXPECT_FALSE(finder.FindFile(p.c_str())) << p;
    EXPECT_FALSE(finder.FindNextFile()) << p;
    EXPECT_EQ(CString(), finder.GetFileName()) << p;
  }

  // An empty folder still lists its dots.
  std::vector<std::string> dots = {"../", "./"};
  EXPECT_EQ(dots, Walk(finder, Path("logs/*.*")));
}

TEST_F(FrameworkFileFindDisk, RelativePatternsAndTheDefaultSearchTheWorkingFolder) {
  Touch("rel.txt");
  char cwd[4096];
  ASSERT_NE(nullptr, getcwd(cwd, sizeof cwd));
  ASSERT_EQ(0, chdir(dir.c_str()));
  CFileFind finder;
  BOOL foundRel = finder.FindFile("*.txt");
  if (foundRel) finder.FindNextFile();
  CString path = finder.GetFilePath();
  std::vector<std::string> byDefault;
  BOOL more = finder.FindFile();
  while (more) {
    more = finder.FindNextFile();
    byDefault.push_back(std::string(finder.GetFileName()));
  }
  ASSERT_EQ(0, chdir(cwd));
  ASSERT_TRUE(foundRel);
  EXPECT_EQ(Path("rel.txt"), std::string(path));
  std::sort(byDefault.begin(), byDefault.end());
  EXPECT_EQ((std::vector<std::string>{".", "..", "rel.txt"}), byDefault);
}

}  // namespace
