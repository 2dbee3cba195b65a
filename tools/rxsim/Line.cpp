#include "Line.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace rxsim {

static void MakeRaw(int fd)
{
    termios t;
    if (tcgetattr(fd, &t) != 0) return;
    cfmakeraw(&t);
    cfsetispeed(&t, B115200);
    cfsetospeed(&t, B115200);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    tcsetattr(fd, TCSANOW, &t);
}

// Replaces `link` in one step, so a reader of the link never finds it missing
// while it is being repointed.
static bool PointLink(const std::string& link, const std::string& target, std::string& error)
{
    std::string tmp = link + ".tmp";
    unlink(tmp.c_str());
    if (symlink(target.c_str(), tmp.c_str()) != 0 || rename(tmp.c_str(), link.c_str()) != 0) {
        error = "cannot link " + link + ": " + strerror(errno);
        unlink(tmp.c_str());
        return false;
    }
    return true;
}

bool Line::OpenPty(const std::string& link, std::string& error)
{
    Close(false);
    int master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
        error = std::string("cannot create a pty: ") + strerror(errno);
        if (master >= 0) close(master);
        return false;
    }
    char name[128];
    if (ptsname_r(master, name, sizeof name) != 0) {
        error = std::string("ptsname: ") + strerror(errno);
        close(master);
        return false;
    }
    int slave = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave < 0) {
        error = std::string("cannot open ") + name + ": " + strerror(errno);
        close(master);
        return false;
    }
    MakeRaw(slave);
    if (!PointLink(link, name, error)) {
        close(slave);
        close(master);
        return false;
    }
    m_ownPty = true;
    m_path = link;
    m_slavePath = name;
    m_fd = master;
    m_slaveFd = slave;
    return true;
}

bool Line::OpenDevice(const std::string& path, std::string& error)
{
    Close(false);
    int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = "cannot open " + path + ": " + strerror(errno);
        return false;
    }
    MakeRaw(fd);
    m_ownPty = false;
    m_path = path;
    m_slavePath.clear();
    m_fd = fd;
    return true;
}

bool Line::Reopen(std::string& error)
{
    if (m_path.empty()) {
        error = "never opened";
        return false;
    }
    std::string path = m_path;
    return m_ownPty ? OpenPty(path, error) : OpenDevice(path, error);
}

void Line::Close(bool unlinkPath)
{
    if (m_fd >= 0) close(m_fd);
    if (m_slaveFd >= 0) close(m_slaveFd);
    m_fd = m_slaveFd = -1;
    if (m_ownPty && unlinkPath && !m_path.empty()) unlink(m_path.c_str());
}

uint32_t Line::Speed() const
{
    static const struct {
        speed_t code;
        uint32_t baud;
    } kSpeeds[] = {{B1200, 1200},   {B2400, 2400},   {B4800, 4800},     {B9600, 9600},
                   {B19200, 19200}, {B38400, 38400}, {B57600, 57600},   {B115200, 115200},
                   {B230400, 230400}};
    termios t;
    if (m_fd < 0 || tcgetattr(m_fd, &t) != 0) return 0;
    const speed_t code = cfgetospeed(&t);
    for (const auto& s : kSpeeds)
        if (s.code == code) return s.baud;
    return 0;
}

void Line::DiscardPending()
{
    if (m_slaveFd >= 0) tcflush(m_slaveFd, TCIFLUSH);
    if (m_fd >= 0 && !m_ownPty) tcflush(m_fd, TCOFLUSH);
}

}  // namespace rxsim
