// Queries a test leaves unanswered while the receiver runs on, and a muted
// receiver: the rules, then a running rxsim driven over its control socket.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "Silence.h"
#include "TestSupport.h"

extern char** environ;

namespace rxsim {
namespace {

typedef std::chrono::steady_clock Clock;

Command Qbin(const std::string& wire)
{
    std::vector<Command> found = test::Collect(test::Hex(wire));
    return found.empty() ? Command() : found[0];
}

TEST(RxsimSilence, NamedIdsAreWithheldOthersAnswered)
{
    Silence s;
    std::string reply, error;
    ASSERT_TRUE(s.Apply({"0x35"}, reply, error)) << error;
    EXPECT_EQ(reply, "unanswered=35");
    ASSERT_TRUE(s.Apply({"3c", "35"}, reply, error)) << error;
    EXPECT_EQ(s.Describe(), "35,3C");
    EXPECT_TRUE(s.Withholds(Qbin("10 35 10 03")));
    EXPECT_TRUE(s.Withholds(Qbin("10 35 02 02 01 08 10 03")));  // a setting of that id too
    EXPECT_FALSE(s.Withholds(Qbin("10 26 10 03")));
    EXPECT_FALSE(s.Withholds(test::Collect(test::Sentence("PZULQTF"))[0]));  // no QBIN id at all
    EXPECT_FALSE(s.Muted());

    ASSERT_TRUE(s.Apply({"all"}, reply, error));
    EXPECT_EQ(reply, "unanswered=all");
    EXPECT_TRUE(s.Muted());
    EXPECT_TRUE(s.Withholds(Qbin("10 26 10 03")));
    EXPECT_TRUE(s.Withholds(test::Collect(test::Sentence("PZULQTF"))[0]));

    ASSERT_TRUE(s.Apply({"off"}, reply, error));
    EXPECT_EQ(reply, "unanswered=-");
    EXPECT_FALSE(s.Muted());
    EXPECT_FALSE(s.Withholds(Qbin("10 35 10 03")));
}

TEST(RxsimSilence, BadIdsChangeNothing)
{
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"3"}, {"0x"}, {"355"}, {"zz"}, {"35", "on"}, {"0x1G"}, {}}) {
        Silence s;
        std::string reply, error;
        ASSERT_TRUE(s.Apply({"26"}, reply, error));
        error.clear();
        EXPECT_FALSE(s.Apply(args, reply, error)) << (args.empty() ? "" : args[0]);
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(s.Describe(), "26");
    }
}

// The ids of the QBIN packets in a stream rxsim sent (whole, stuffed ones).
std::vector<uint8_t> PacketIds(const Bytes& b)
{
    std::vector<uint8_t> ids;
    bool inside = false;
    for (size_t i = 0; i + 1 < b.size(); ++i) {
        if (b[i] != 0x10) continue;
        const uint8_t next = b[i + 1];
        if (!inside && next != 0x03 && next != 0x10) {
            ids.push_back(next);
            inside = true;
        } else if (inside && next == 0x03) {
            inside = false;
        }
        ++i;  // DLE DLE inside a packet is one data byte
    }
    return ids;
}

bool Has(const std::vector<uint8_t>& ids, uint8_t id)
{
    for (uint8_t v : ids)
        if (v == id) return true;
    return false;
}

class LiveSilence : public ::testing::Test {
protected:
    void SetUp() override
    {
        char dir[] = "/tmp/rxsim-silence-XXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        m_dir = dir;
        std::vector<std::string> args = {RXSIM_BINARY, "--pty", m_dir + "/line", "--control", "0", "--port-file",
                                         m_dir + "/port", "--scenario", std::string(RXSIM_SCENARIO_DIR) + "/sim1.txt"};
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(&a[0]);
        argv.push_back(nullptr);
        ASSERT_EQ(posix_spawn(&m_pid, RXSIM_BINARY, nullptr, nullptr, argv.data(), environ), 0);
        int port = 0;
        for (int i = 0; i < 100 && port == 0; ++i) {
            std::ifstream f(m_dir + "/port");
            if (!(f >> port)) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        ASSERT_GT(port, 0);
        m_line = open((m_dir + "/line").c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        ASSERT_GE(m_line, 0);
        termios t;
        ASSERT_EQ(tcgetattr(m_line, &t), 0);
        cfmakeraw(&t);
        ASSERT_EQ(tcsetattr(m_line, TCSANOW, &t), 0);
        m_control = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr = {};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        addr.sin_port = htons(static_cast<uint16_t>(port));
        ASSERT_EQ(connect(m_control, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    }
    void TearDown() override
    {
        if (m_control >= 0) close(m_control);
        if (m_line >= 0) close(m_line);
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
        std::string cmd = "rm -rf '" + m_dir + "'";
        if (system(cmd.c_str()) != 0) ADD_FAILURE() << cmd;
    }

    std::string Control(const std::string& line)
    {
        std::string out = line + "\n";
        EXPECT_EQ(write(m_control, out.data(), out.size()), static_cast<ssize_t>(out.size()));
        std::string reply;
        char c;
        while (read(m_control, &c, 1) == 1 && c != '\n') reply += c;
        return reply;
    }

    // Reads the line for `seconds` after writing `query` (none: empty).
    Bytes Talk(double seconds, const std::string& query)
    {
        if (!query.empty()) {
            const Bytes q = test::Hex(query);
            EXPECT_EQ(write(m_line, q.data(), q.size()), static_cast<ssize_t>(q.size()));
        }
        Bytes got;
        const auto end = Clock::now() + std::chrono::milliseconds(static_cast<int>(seconds * 1000));
        while (Clock::now() < end) {
            pollfd p = {m_line, POLLIN, 0};
            if (poll(&p, 1, 10) <= 0) continue;
            uint8_t buf[4096];
            ssize_t n = read(m_line, buf, sizeof buf);
            if (n > 0) got.insert(got.end(), buf, buf + n);
        }
        return got;
    }

    std::string m_dir;
    pid_t m_pid = -1;
    int m_line = -1, m_control = -1;
};

TEST_F(LiveSilence, ChosenQueryGoesUnansweredMuteSaysNothingOffAnswersAgain)
{
    Talk(0.3, "");  // the start-up output
    EXPECT_EQ(Control("silent 0x35"), "ok unanswered=35");
    EXPECT_NE(Control("status").find(" unanswered=35"), std::string::npos);
    std::vector<uint8_t> ids = PacketIds(Talk(1.5, "10 35 10 03"));
    EXPECT_FALSE(Has(ids, 0x55));
    EXPECT_TRUE(Has(ids, 0x41));  // the reports go on
    ids = PacketIds(Talk(1.0, "10 26 10 03"));
    EXPECT_TRUE(Has(ids, 0x46));  // other queries are answered

    EXPECT_EQ(Control("silent off"), "ok unanswered=-");
    EXPECT_TRUE(Has(PacketIds(Talk(1.0, "10 35 10 03")), 0x55));

    EXPECT_EQ(Control("silent all"), "ok unanswered=all");
    Talk(0.2, "");  // a frame that was half out when the mute came
    EXPECT_TRUE(Talk(2.2, "10 26 10 03").empty());
    EXPECT_TRUE(Talk(1.5, "10 25 10 03").empty());  // no reset, no version after it

    // A full stop forgets the mute; a scenario loaded then speaks.
    EXPECT_EQ(Control("silent purge"), "ok");
    EXPECT_NE(Control("status").find(" unanswered=-"), std::string::npos);
    EXPECT_EQ(Control("scenario load sim1"), "ok");
    EXPECT_TRUE(Has(PacketIds(Talk(1.5, "10 35 10 03")), 0x55));
    EXPECT_EQ(Control("silent 3"), "err usage: silent [purge] | silent ID... | silent all | silent off (ID: a QBIN id in hex)");
}

}  // namespace
}  // namespace rxsim
