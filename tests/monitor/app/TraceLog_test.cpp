#include "app/TraceLog.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include <unistd.h>

namespace {

TEST(MainWndTraceLog, AppendsOneLinePerCallAndKeepsEarlierLines) {
    char pattern[] = "/tmp/tracelogXXXXXX";
    ASSERT_NE(nullptr, mkdtemp(pattern));
    const CString folder(pattern);
    const CString path = GetTraceLogPath(folder);
    EXPECT_STREQ((std::string(pattern) + "/VelmaraMon_trace.txt").c_str(), path);
    EXPECT_STREQ(path, GetTraceLogPath(folder + "/"));

    EXPECT_TRUE(AppendTraceLine(folder, "ShowFlashLoaderDlg"));
    EXPECT_TRUE(AppendTraceLine(folder, "BuildMenu"));
    EXPECT_TRUE(AppendTraceLine(folder, nullptr));
    std::ifstream in(static_cast<const char*>(path), std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ("ShowFlashLoaderDlg\r\nBuildMenu\r\n\r\n", text);

    // A folder that does not exist: reported, nothing made.
    EXPECT_FALSE(AppendTraceLine(folder + "/missing", "x"));
    std::remove(path);
    rmdir(pattern);
}

}  // namespace
