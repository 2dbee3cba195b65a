#pragma once
// The Linux end of one simulated serial line.
//
// Own-pty mode (--pty LINK): rxsim creates the pty itself and links its slave
// path at LINK, which the Wine prefix's dosdevices entry points to. It keeps a
// descriptor of the slave open for the pty's whole life, so the Windows side
// may open and close the port any number of times without the master ever
// seeing a hang-up. Owning the pty is also what makes a real hang-up possible:
// closing the master is what a receiver unplugged from a USB adapter looks
// like to the program (reads fail at once).
//
// Device mode (--device PATH): rxsim opens an existing tty, for example one
// end of a socat pair. It cannot hang up the far end there, so a drop only
// cuts the traffic.
#include <cstdint>
#include <string>

namespace rxsim {

class Line {
public:
    Line() = default;
    ~Line() { Close(false); }
    Line(const Line&) = delete;
    Line& operator=(const Line&) = delete;

    // Own-pty mode: creates the pty and (re)points `link` at its slave.
    bool OpenPty(const std::string& link, std::string& error);
    // Device mode: opens `path` non-blocking and raw.
    bool OpenDevice(const std::string& path, std::string& error);
    // Reopens in the mode and at the path of the last successful open.
    bool Reopen(std::string& error);
    // Closes every descriptor. In own-pty mode the pty is gone afterwards and,
    // with `unlink`, so is the link, so nothing can open a stale slave.
    void Close(bool unlink);

    bool IsOpen() const { return m_fd >= 0; }
    bool OwnsPty() const { return m_ownPty; }
    int Fd() const { return m_fd; }
    const std::string& SlavePath() const { return m_slavePath; }
    // Discards what the far side has not read yet.
    void DiscardPending();
    // The baud rate the far side set on the line (a pty's master reads its
    // slave's settings); 0 when unknown.
    uint32_t Speed() const;

private:
    bool m_ownPty = false;
    std::string m_path;       // the link (own pty) or the device
    std::string m_slavePath;  // /dev/pts/N of the own pty
    int m_fd = -1;            // master (own pty) or device
    int m_slaveFd = -1;       // held open so the master never hangs up
};

}  // namespace rxsim
