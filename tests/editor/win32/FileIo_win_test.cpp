// The runtime's file layer on Windows: a safe write replaces an existing
// file, a failed one leaves it, and the reader walks it byte by byte.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "files/FileIo.h"

using namespace dw;

namespace {

std::string TempPath(const char* name) {
  char dir[MAX_PATH];
  GetTempPathA(MAX_PATH, dir);
  return std::string(dir) + name;
}

std::string ReadAll(const std::string& path) {
  int fd = Files().Open(path.c_str(), FILE_READ);
  if (fd < 0) return "<missing>";
  FileByteReader in(fd);
  std::string s;
  for (int c = in.Next(); c >= 0; c = in.Next()) s += static_cast<char>(c);
  Files().Close(fd);
  return s;
}

TEST(FileIoWin, SafeWriteReplacesOnlyAfterSuccess) {
  SetFileLayer(nullptr);
  std::string path = TempPath("dotwerk_safe.sym");
  for (const char* text : {"first\r\n", "second, longer\r\n\x01\xA4"}) {
    SafeFileWriter w;
    ASSERT_TRUE(w.Open(path.c_str()));
    ASSERT_TRUE(w.Write(std::string(text)));
    ASSERT_TRUE(w.Commit());
    EXPECT_EQ(text, ReadAll(path));
  }
  // Nothing committed: the file stays and no temporary is left.
  {
    SafeFileWriter w;
    ASSERT_TRUE(w.Open(path.c_str()));
    w.Write(std::string("abandoned"));
  }
  EXPECT_EQ("second, longer\r\n\x01\xA4", ReadAll(path));
  EXPECT_EQ("<missing>", ReadAll(path + ".$$$"));
  SafeFileWriter bad;
  EXPECT_FALSE(bad.Open(TempPath("no_such_dir_dw\\x.sym").c_str()));
  DeleteFileA(path.c_str());
}

}  // namespace
