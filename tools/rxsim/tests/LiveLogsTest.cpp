// The logs of a running rxsim, as a test of the logger compares them with
// what the program wrote: every byte sent on the line (what the far end read
// is its start, byte for byte), every fix that left whole with where its frame
// ends in that log, and every command received with its time.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "TestSupport.h"

extern char** environ;

namespace rxsim {
namespace {

typedef std::chrono::steady_clock Clock;

std::string ReadAll(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

double WallSeconds()
{
    return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

bool WaitForFile(const std::string& path)
{
    for (int i = 0; i < 100; ++i) {
        if (access(path.c_str(), F_OK) == 0) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

class LiveLogs : public ::testing::Test {
protected:
    void SetUp() override
    {
        char dir[] = "/tmp/rxsim-logs-XXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        m_dir = dir;
    }
    void TearDown() override
    {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
        if (m_line >= 0) close(m_line);
        std::string cmd = "rm -rf '" + m_dir + "'";
        if (system(cmd.c_str()) != 0) ADD_FAILURE() << cmd;
    }

    // rxsim on its own pty, playing `scenario` with every log on.
    void Start(const std::string& scenario)
    {
        std::ofstream(Path("scenario.txt")) << scenario;
        std::vector<std::string> args = {RXSIM_BINARY,         "--pty",        Path("line"),
                                         "--scenario",         Path("scenario.txt"),
                                         "--sent-log",         Path("sent"),   "--fix-log",
                                         Path("fixes.csv"),    "--command-log", Path("commands")};
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(&a[0]);
        argv.push_back(nullptr);
        ASSERT_EQ(posix_spawn(&m_pid, RXSIM_BINARY, nullptr, nullptr, argv.data(), environ), 0);
        ASSERT_TRUE(WaitForFile(Path("line")));
        m_line = open(Path("line").c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        ASSERT_GE(m_line, 0);
        termios t;
        ASSERT_EQ(tcgetattr(m_line, &t), 0);
        cfmakeraw(&t);
        ASSERT_EQ(tcsetattr(m_line, TCSANOW, &t), 0);
    }

    // Reads the line for `seconds`, writing `command` every `everyMs`.
    Bytes Talk(double seconds, const Bytes& command, int everyMs)
    {
        Bytes got;
        const auto end = Clock::now() + std::chrono::milliseconds(static_cast<int>(seconds * 1000));
        auto next = Clock::now();
        while (Clock::now() < end) {
            if (!command.empty() && Clock::now() >= next) {
                EXPECT_EQ(write(m_line, command.data(), command.size()), static_cast<ssize_t>(command.size()));
                next += std::chrono::milliseconds(everyMs);
            }
            pollfd p = {m_line, POLLIN, 0};
            if (poll(&p, 1, 10) <= 0) continue;
            uint8_t buf[4096];
            ssize_t n = read(m_line, buf, sizeof buf);
            if (n > 0) got.insert(got.end(), buf, buf + n);
        }
        return got;
    }

    // Ends rxsim, so its logs are complete.
    void Stop()
    {
        kill(m_pid, SIGTERM);
        int status = 0;
        waitpid(m_pid, &status, 0);
        m_pid = -1;
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    }

    std::string Path(const char* name) const { return m_dir + "/" + name; }

    std::string m_dir;
    pid_t m_pid = -1;
    int m_line = -1;
};

TEST_F(LiveLogs, SentLogHoldsWhatTheFarEndReadAndEveryFixEndsInIt)
{
    Start(test::Scenario("qbin-drive-2.txt") + "\ninterval_ms 50\n");
    const double before = WallSeconds();
    const Bytes query = test::Hex("10 21 10 03");
    Bytes got = Talk(1.0, query, 200);
    Bytes rest = Talk(0.3, Bytes(), 0);  // what was still on its way
    got.insert(got.end(), rest.begin(), rest.end());
    const double after = WallSeconds();
    Stop();

    const std::string sent = ReadAll(Path("sent"));
    ASSERT_GT(got.size(), 1000u);
    ASSERT_GE(sent.size(), got.size());
    EXPECT_EQ(sent.substr(0, got.size()), test::Text(got));

    // Each fix ends a frame at its offset; the offsets rise.
    std::vector<std::string> fixes = Lines(ReadAll(Path("fixes.csv")));
    ASSERT_GT(fixes.size(), 10u);
    EXPECT_EQ(fixes[0], "week,tow,latitude,longitude,altitude,end,time");
    unsigned long long last = 0;
    double lastTow = 0;
    for (size_t i = 1; i < fixes.size(); ++i) {
        int week = 0;
        double tow = 0, lat = 0, lon = 0, alt = 0, time = 0;
        unsigned long long end = 0;
        ASSERT_EQ(sscanf(fixes[i].c_str(), "%d,%lf,%lf,%lf,%lf,%llu,%lf", &week, &tow, &lat, &lon, &alt, &end, &time),
                  7)
            << fixes[i];
        EXPECT_EQ(week, 1520);
        EXPECT_GT(end, last);
        ASSERT_LE(end, sent.size());
        EXPECT_EQ(test::Spaced(Bytes(sent.begin() + static_cast<long>(end) - 2, sent.begin() + static_cast<long>(end))),
                  "10 03");
        if (i > 1) {
            EXPECT_EQ(tow, lastTow + 1);  // the time reports in between move nothing
        }
        EXPECT_GE(time, before - 1);
        EXPECT_LE(time, after + 1);
        last = end;
        lastTow = tow;
    }

    // Every query, with the time it came.
    std::vector<std::string> commands = Lines(ReadAll(Path("commands")));
    ASSERT_GE(commands.size(), 4u);
    for (const std::string& line : commands) {
        double time = 0;
        char text[64] = "";
        ASSERT_EQ(sscanf(line.c_str(), "%lf\t%63[^\n]", &time, text), 2) << line;
        EXPECT_STREQ(text, "10 21 10 03");
        EXPECT_GE(time, before - 1);
        EXPECT_LE(time, after + 1);
    }
}

}  // namespace
}  // namespace rxsim
