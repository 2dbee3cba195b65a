#pragma once
// A fixture for tests on the native disk: a fresh folder under /tmp, named by
// its real path (no link in it, so paths the code under test resolves compare
// equal), removed with everything in it when the test ends.
#include <stdlib.h>

#include <string>

#include <gtest/gtest.h>

class DiskFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/fwdiskXXXXXX";
        ASSERT_NE(nullptr, mkdtemp(pattern));
        char real[4096];
        ASSERT_NE(nullptr, realpath(pattern, real));
        dir = real;
    }
    void TearDown() override
    {
        const std::string cmd = "rm -rf '" + dir + "'";
        EXPECT_EQ(0, system(cmd.c_str()));
    }
    std::string Path(const char* name) const { return dir + "/" + name; }

    std::string dir;
};
