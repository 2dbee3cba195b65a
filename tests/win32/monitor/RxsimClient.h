#pragma once
// The Win32 tests' side of rxsim's control socket: the simulated receiver on
// the Linux end of a rig port (COM5, COM12). The harness starts one rxsim per
// port and tells its control port in RXSIM_COM<n>_CONTROL; the socket is on
// 127.0.0.1 only.
//
// Every command gets one reply line, "ok ..." or "err ...". Every wait here is
// bounded (the socket's receive time-out), so a simulator that is gone makes a
// test fail instead of hang.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

// What rxsim sent, as a correct reader counts it (rxsim's "truth").
struct RxsimTruth {
    std::map<std::string, uint64_t> values;

    uint64_t Get(const std::string& key) const;
    // The reader's 13 counters in their order (bytes, good, bad, then good and
    // bad of QBIN, NMEA, QTXT, QOP, KESTO).
    uint64_t Counter(int index) const;
    static const char* CounterName(int index);
    std::string text;  // the reply as rxsim gave it, for failure messages
};

class RxsimClient {
public:
    // The simulator on COM<comPort>; nothing is connected yet.
    explicit RxsimClient(int comPort);
    ~RxsimClient();
    RxsimClient(const RxsimClient&) = delete;
    RxsimClient& operator=(const RxsimClient&) = delete;

    // True when the harness named a control port and rxsim answers it.
    bool Available();

    // Sends one command line; its reply line, or "" when there is no
    // simulator or no reply came within `timeoutMs`.
    std::string Command(const std::string& line, int timeoutMs = 30000);
    // The reply starts with "ok".
    bool Ok(const std::string& line, int timeoutMs = 30000);

    // Waits until every queued byte has been written to the line.
    bool WaitSent(int timeoutMs = 60000);
    bool Truth(RxsimTruth& out);
    // The bytes the program wrote since the last call.
    bool Received(std::vector<uint8_t>& out);
    // The QBIN packets the program wrote since the last call, each as hex of
    // its id and data (unstuffed), in order.
    bool Queries(std::vector<std::string>& out);
    // Every command rxsim received since the last call, in order: NMEA and
    // QTXT sentences as their text without CR LF ("$PZULQTF*50",
    // ">QVR;*7A<"), every binary frame (QBIN, QOP, KESTO, MON, UBX) as it
    // came on the wire in spaced upper-case hex ("10 26 10 03").
    bool Commands(std::vector<std::string>& out);
    // Stops all output, drops what the line still holds, zeroes the truth.
    bool Quiet();

    int ComPort() const { return m_comPort; }
    const std::string& LastError() const { return m_error; }

private:
    bool Connect(int timeoutMs);
    void Disconnect();
    uintptr_t Sock() const { return m_socket; }

    int m_comPort;
    int m_controlPort;
    uintptr_t m_socket;  // a SOCKET; kept opaque so this header works after <windows.h>
    bool m_wsa;
    std::string m_pending;  // bytes received after the last reply line
    std::string m_error;
};
