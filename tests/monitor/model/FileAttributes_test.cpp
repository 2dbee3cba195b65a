#include "model/FileAttributes.h"

#include <cstdio>
#include <string>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class FileAttributesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/fileattrXXXXXX";
        ASSERT_NE(nullptr, mkdtemp(pattern));
        dir = pattern;
    }
    void TearDown() override
    {
        unlink((dir + "/f.bin").c_str());
        unlink((dir + "/big.bin").c_str());
        rmdir(dir.c_str());
    }
    std::string dir;
};

TEST_F(FileAttributesTest, KindsAndLengths)
{
    const std::string file = dir + "/f.bin";
    FILE* f = fopen(file.c_str(), "wb");
    ASSERT_NE(nullptr, f);
    fwrite("12345", 1, 5, f);
    fclose(f);

    EXPECT_EQ(5.0, GetFileLength(file.c_str()));
    EXPECT_EQ(-1.0, GetFileLength((dir + "/missing").c_str()));
    EXPECT_EQ(0.0, GetFileLength(dir.c_str()));
    EXPECT_TRUE(PathExists(file.c_str()));
    EXPECT_TRUE(FileExists(file.c_str()));
    EXPECT_FALSE(DirectoryExists(file.c_str()));
    EXPECT_TRUE(PathExists(dir.c_str()));
    EXPECT_FALSE(FileExists(dir.c_str()));
    EXPECT_TRUE(DirectoryExists(dir.c_str()));
    EXPECT_FALSE(PathExists(""));
    EXPECT_FALSE(FileExists(nullptr));

    chmod(file.c_str(), 0444);
    ForceDeleteFile(file.c_str());
    EXPECT_FALSE(PathExists(file.c_str()));
    ForceDeleteFile(file.c_str());  // already gone: nothing happens
    ForceDeleteFile(dir.c_str());   // a directory is not a file
    EXPECT_TRUE(DirectoryExists(dir.c_str()));
}

TEST_F(FileAttributesTest, LengthPastFourGigabytes)
{
    const std::string big = dir + "/big.bin";
    FILE* f = fopen(big.c_str(), "wb");
    ASSERT_NE(nullptr, f);
    fclose(f);
    if (truncate(big.c_str(), 4294967296LL) != 0) GTEST_SKIP() << "no sparse files here";
    EXPECT_EQ(4294967296.0, GetFileLength(big.c_str()));
}

} // namespace
