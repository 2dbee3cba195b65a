// winsock2 before anything that pulls in <windows.h>.
#include <winsock2.h>
#include <ws2tcpip.h>

#include "RxsimClient.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace {

const char* const kCounterNames[13] = {
    "bytes",    "good",     "bad",        "qbin_good", "qbin_bad",   "nmea_good",  "nmea_bad",
    "qtxt_good", "qtxt_bad", "qop_good", "qop_bad", "kesto_good", "kesto_bad",
};

bool StartsWithOk(const std::string& s) { return s.compare(0, 2, "ok") == 0; }

int HexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

uint64_t RxsimTruth::Get(const std::string& key) const
{
    auto it = values.find(key);
    return it == values.end() ? 0 : it->second;
}

uint64_t RxsimTruth::Counter(int index) const
{
    return index >= 0 && index < 13 ? Get(kCounterNames[index]) : 0;
}

const char* RxsimTruth::CounterName(int index)
{
    return index >= 0 && index < 13 ? kCounterNames[index] : "?";
}

RxsimClient::RxsimClient(int comPort)
    : m_comPort(comPort), m_controlPort(0), m_socket(static_cast<uintptr_t>(INVALID_SOCKET)), m_wsa(false)
{
    char var[32];
    snprintf(var, sizeof var, "RXSIM_COM%d_CONTROL", comPort);
    const char* value = getenv(var);
    if (value && *value) m_controlPort = atoi(value);
    WSADATA wsa;
    m_wsa = WSAStartup(MAKEWORD(2, 2), &wsa) == 0;
}

RxsimClient::~RxsimClient()
{
    Disconnect();
    if (m_wsa) WSACleanup();
}

bool RxsimClient::Connect(int timeoutMs)
{
    if (Sock() != INVALID_SOCKET) return true;
    if (!m_wsa || m_controlPort <= 0 || m_controlPort > 65535) {
        m_error = "no rxsim control port for COM" + std::to_string(m_comPort);
        return false;
    }
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) {
        m_error = "socket failed";
        return false;
    }
    sockaddr_in addr;
    memset(&addr, 0, sizeof addr);
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<u_short>(m_controlPort));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);  // rxsim listens on loopback only
    if (connect(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        m_error = "cannot connect to rxsim on 127.0.0.1:" + std::to_string(m_controlPort);
        closesocket(s);
        return false;
    }
    BOOL one = TRUE;
    setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&one), sizeof one);
    m_socket = static_cast<uintptr_t>(s);
    m_pending.clear();
    (void)timeoutMs;
    return true;
}

void RxsimClient::Disconnect()
{
    if (Sock() != INVALID_SOCKET) closesocket(Sock());
    m_socket = static_cast<uintptr_t>(INVALID_SOCKET);
    m_pending.clear();
}

bool RxsimClient::Available()
{
    return StartsWithOk(Command("ping", 5000));
}

std::string RxsimClient::Command(const std::string& line, int timeoutMs)
{
    // One retry on a fresh connection: rxsim may have dropped an idle one.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!Connect(timeoutMs)) return std::string();
        DWORD tv = static_cast<DWORD>(timeoutMs > 0 ? timeoutMs : 1);
        setsockopt(Sock(), SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&tv), sizeof tv);
        std::string out = line + "\n";
        const char* p = out.data();
        int left = static_cast<int>(out.size());
        bool sent = true;
        while (left > 0) {
            int n = send(Sock(), p, left, 0);
            if (n <= 0) {
                sent = false;
                break;
            }
            p += n;
            left -= n;
        }
        if (!sent) {
            Disconnect();
            continue;
        }
        char buf[8192];
        for (;;) {
            size_t eol = m_pending.find('\n');
            if (eol != std::string::npos) {
                std::string reply = m_pending.substr(0, eol);
                m_pending.erase(0, eol + 1);
                if (!reply.empty() && reply.back() == '\r') reply.pop_back();
                if (!StartsWithOk(reply)) m_error = line + ": " + reply;
                return reply;
            }
            int n = recv(Sock(), buf, sizeof buf, 0);
            if (n <= 0) {
                // Time-out or a closed connection: the reply of this command
                // can no longer be told from a later one, so start afresh.
                bool timedOut = n < 0 && WSAGetLastError() == WSAETIMEDOUT;
                Disconnect();
                if (timedOut) {
                    m_error = line + ": no reply from rxsim within " + std::to_string(timeoutMs) + " ms";
                    return std::string();
                }
                break;  // closed before replying: try once more
            }
            m_pending.append(buf, static_cast<size_t>(n));
        }
    }
    if (m_error.empty()) m_error = line + ": rxsim closed the connection";
    return std::string();
}

bool RxsimClient::Ok(const std::string& line, int timeoutMs)
{
    return StartsWithOk(Command(line, timeoutMs));
}

bool RxsimClient::WaitSent(int timeoutMs)
{
    // rxsim bounds its own wait; the socket waits a little longer than that.
    return Ok("wait " + std::to_string(timeoutMs), timeoutMs + 5000);
}

bool RxsimClient::Truth(RxsimTruth& out)
{
    std::string reply = Command("truth");
    if (!StartsWithOk(reply)) return false;
    out.values.clear();
    out.text = reply.substr(2);
    std::istringstream in(out.text);
    std::string item;
    while (in >> item) {
        size_t eq = item.find('=');
        if (eq == std::string::npos) continue;
        out.values[item.substr(0, eq)] = strtoull(item.c_str() + eq + 1, nullptr, 10);
    }
    return true;
}

bool RxsimClient::Received(std::vector<uint8_t>& out)
{
    std::string reply = Command("received");
    out.clear();
    if (!StartsWithOk(reply)) return false;
    int high = -1;
    for (size_t i = 2; i < reply.size(); ++i) {
        int v = HexValue(reply[i]);
        if (v < 0) continue;
        if (high < 0) {
            high = v;
        } else {
            out.push_back(static_cast<uint8_t>(high << 4 | v));
            high = -1;
        }
    }
    return high < 0;
}

bool RxsimClient::Queries(std::vector<std::string>& out)
{
    std::string reply = Command("queries");
    out.clear();
    if (!StartsWithOk(reply)) return false;
    std::istringstream in(reply.substr(2));
    for (std::string q; in >> q;) out.push_back(q);
    return true;
}

bool RxsimClient::Commands(std::vector<std::string>& out)
{
    std::string reply = Command("commands");
    out.clear();
    if (!StartsWithOk(reply)) return false;
    // Tab-separated: sentences hold commas and blanks, never a tab.
    std::string rest = reply.size() > 3 ? reply.substr(3) : std::string();
    size_t at = 0;
    while (at < rest.size()) {
        size_t tab = rest.find('\t', at);
        if (tab == std::string::npos) tab = rest.size();
        if (tab > at) out.push_back(rest.substr(at, tab - at));
        at = tab + 1;
    }
    return true;
}

bool RxsimClient::Quiet()
{
    // "silent" also ends a scenario, so no receiver keeps talking into the
    // next test.
    return Ok("silent purge") && Ok("answer off") && Ok("reset");
}
