// A fixture for the file tests on Windows: a fresh folder in the temporary
// folder, named by its full path. Each test's TearDown removes what it made
// in it, then the folder itself, which must be empty by then.
#pragma once

#include <windows.h>

#include <string>

#include <gtest/gtest.h>

class TempFolderTest : public ::testing::Test {
protected:
  void SetUp() override {
    char tmp[MAX_PATH];
    ASSERT_NE(0u, GetTempPathA(sizeof tmp, tmp));
    char name[MAX_PATH];
    ASSERT_NE(0u, GetTempFileNameA(tmp, "vt", 0, name));
    DeleteFileA(name);
    ASSERT_TRUE(CreateDirectoryA(name, nullptr));
    char full[MAX_PATH];
    ASSERT_NE(0u, GetFullPathNameA(name, sizeof full, full, nullptr));
    dir = full;
  }
  std::string Path(const char* name) const { return dir + "\\" + name; }

  std::string dir;
};
