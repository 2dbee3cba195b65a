#pragma once
// A running rxsim on its own pty, driven over its control socket, for the
// tests of what only the live program does (holds, runs, silences, lists).
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
#include <string>
#include <thread>
#include <vector>

#include "TestSupport.h"

extern char** environ;

namespace rxsim {
namespace test {

// The ids of the QBIN packets in a stream rxsim sent (whole, stuffed ones).
inline std::vector<uint8_t> PacketIds(const Bytes& b)
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

inline size_t CountId(const std::vector<uint8_t>& ids, uint8_t id)
{
    size_t n = 0;
    for (uint8_t v : ids) n += v == id;
    return n;
}

inline bool Has(const std::vector<uint8_t>& ids, uint8_t id) { return CountId(ids, id) > 0; }

// rxsim playing a bundled scenario (sim1 unless the test says otherwise).
class LiveRxsim : public ::testing::Test {
protected:
    typedef std::chrono::steady_clock Clock;

    void SetUp() override { Start("sim1.txt"); }
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

    void Start(const std::string& scenario)
    {
        char dir[] = "/tmp/rxsim-live-XXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        m_dir = dir;
        std::vector<std::string> args = {RXSIM_BINARY, "--pty", m_dir + "/line", "--control", "0", "--port-file",
                                         m_dir + "/port", "--scenario",
                                         std::string(RXSIM_SCENARIO_DIR) + "/" + scenario};
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
            const Bytes q = Hex(query);
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

}  // namespace test
}  // namespace rxsim
