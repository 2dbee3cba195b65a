// rxsim: a simulated receiver on the Linux end of a serial line, for the
// monitor's tests under Wine. One process per line, one thread: a poll loop
// over the line, the control listener and its clients, so nothing inside it
// can outlive the process or race with itself.
//
// Control: line-based text over TCP on 127.0.0.1 only; every command gets
// exactly one reply line that starts with "ok" or "err". See Usage().
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "Commands.h"
#include "Frames.h"
#include "Generate.h"
#include "Line.h"
#include "QbinReceiver.h"
#include "Receiver.h"
#include "Script.h"
#include "Silence.h"
#include "Truth.h"

namespace rxsim {
namespace {

typedef std::chrono::steady_clock Clock;

volatile sig_atomic_t g_quit = 0;
void OnSignal(int) { g_quit = 1; }

const size_t kReceivedCap = 16u << 20;  // keeps a forgotten "received" from eating memory
const size_t kReplayChunk = 4096;
const int kMaxClients = 16;

const char* Usage()
{
    return "usage:\n"
           "  rxsim (--pty LINK | --device PATH) [--control PORT] [--port-file FILE]\n"
           "        [--replay FILE [--rate BYTES_PER_S] [--loop]] [--script NAME [--count N]]\n"
           "        [--scenario FILE|NAME] [--command-log FILE] [--sent-log FILE] [--fix-log FILE]\n"
           "  rxsim --generate NAME [--count N] --out FILE\n"
           "  rxsim --generate SCENARIO [--bytes N] [--count PERIODS] --out FILE\n"
           "        [--truth FILE.csv] [--faults LIST]\n"
           "  rxsim --generate scenario --scenario FILE [same options]\n"
           "--pty creates a pty and links its slave at LINK; --device opens an existing tty.\n"
           "--scenario plays a scenario from the start: a file, or the name of one in\n"
           "tools/rxsim/scenarios (\".txt\" optional), as \"scenario load\" takes it.\n"
           "--command-log FILE appends every command received, one line each: the time\n"
           "(seconds since 1970, to the millisecond), a tab, the command as \"commands\"\n"
           "shows it. --sent-log FILE writes every byte sent on the line, as sent (the\n"
           "file starts afresh). --fix-log FILE writes every fix that left whole as CSV:\n"
           "week,tow,latitude,longitude,altitude,end,time (end: bytes sent on the line\n"
           "up to the end of the fix's frame, the offset in --sent-log just after it;\n"
           "time: seconds since 1970 when it left). A fix is a QBIN 0x84 with a clock\n"
           "bias other than 0 (week from the last 0x41) or an NMEA GGA of quality 1 or\n"
           "more (week and seconds of week from the last ZDA or RMC date).\n"
           "--generate NAME writes N rounds of a script; --generate SCENARIO (a scenario\n"
           "file, or the name of one in tools/rxsim/scenarios, \".txt\" optional) writes a\n"
           "recording of that receiver as the monitor's playback reads it, as fast as\n"
           "the disk takes it, no line needed: its start-up output, then whole periods\n"
           "until at least N bytes (--bytes) and PERIODS periods (--count, default 1).\n"
           "qbin-drive-1, qbin-drive-2 and qbin-drive-3 are QBIN receivers on the road\n"
           "in three places (each period ends with the DGPS mode report 0x82).\n"
           "--truth FILE.csv gets \"week,tow,latitude,longitude,altitude\" and one line\n"
           "per fix that went out whole (degrees, metres; see --fix-log). --faults LIST:\n"
           "comma-separated NAME or NAME:EVERY (periods, default 10): garbage (40 bytes\n"
           "that start no frame), broken (a frame of other values broken inside), bad\n"
           "(a frame of other values failing its check), crc (the period's own fix\n"
           "fails its check and is lost: not in the truth), truncate (the recording\n"
           "ends inside its last period's fix frame). Faults go in after the period.\n"
           "The tally of what a reader must count is printed (as \"truth\" gives it),\n"
           "then periods, fixes, spoiled fixes and whether the end is cut.\n"
           "--control 0 picks a free port; the port is printed (\"control PORT\") and written\n"
           "to --port-file. The control socket listens on 127.0.0.1 only.\n"
           "control commands (one reply line each, \"ok ...\" or \"err ...\"):\n"
           "  ping | help | status\n"
           "  script NAME [COUNT [RATE]]  queue a scripted stream (names: see help)\n"
           "  send HEX...                 queue raw bytes (no frames counted)\n"
           "  replay FILE [RATE [loop]]   queue a file at RATE bytes/s (0 = as fast as taken)\n"
           "  flood on|off                endless good frames of every framing\n"
           "  silent [purge]              stop sending (and forget the ids below); purge\n"
           "                              also drops unread bytes\n"
           "  silent ID...                leave these QBIN queries unanswered (hex: 35 or\n"
           "                              0x35), the rest of the receiver runs on\n"
           "  silent all                  mute: no reports, replies or resets; the scenario\n"
           "                              stays loaded\n"
           "  silent off                  answer everything again\n"
           "  ignore ID[-SUB]... | off    as silent ID...: these QBIN packets go unanswered\n"
           "                              (and are not applied), \"BB-00\" only those whose\n"
           "                              first data byte is 00; off answers them again\n"
           "  speedcheck on|off           on: while the line's speed (as the program set it)\n"
           "                              differs from the receiver's port (QBIN 0xBC), both\n"
           "                              directions lose every byte; \"status\" shows both\n"
           "                              (baud=RECEIVER line_baud=LINE, - when unknown)\n"
           "  wait [MS]                   reply once everything queued has been written\n"
           "  drop SECONDS [keep]         hang up (the pty goes away, reads fail at once)\n"
           "                              or, with keep, cut traffic both ways; restore after\n"
           "  restore                     end a drop now\n"
           "  received                    hex of the bytes received since the last call\n"
           "  queries                     QBIN packets received since the last call\n"
           "  frame KIND ...              queue one frame built by rxsim: nmea BODY | qtxt BODY |\n"
           "                              qbin ID HEX | qop ID HEX | kesto CLASS ID HEX |\n"
           "                              mon ID HEX | ubx CLASS ID HEX (counted in the truth)\n"
           "  answer on|off               without a scenario: answer QBIN queries (health,\n"
           "                              time, selection) with fixed reports\n"
           "  scenario load FILE|NAME     be a receiver: its `protocol` setting names it (qbin\n"
           "  scenario inline LINE;LINE.. by default; nmea, qtxt, qop, kesto, mon; see their\n"
           "                              headers): periodic output, answers to commands; a\n"
           "                              QBIN reset (1E, 25) is silent 1 s, then its version\n"
           "  scenario pause|resume       stop or restart the periodic output only\n"
           "  scenario off                stop being one (\"silent\" stops it too)\n"
           "  hold                        the scenario's periods stop (answers go on) until\n"
           "                              \"run\"; a scenario loaded meanwhile starts held\n"
           "  run N                       N periods at the scenario's interval, then hold;\n"
           "                              \"wait\" replies once they are out\n"
           "  hold off                    periods go on by themselves again (\"silent\" too)\n"
           "  fixes                       the fixes that left whole since the last call (as\n"
           "                              --fix-log takes them): \"ok COUNT\" and per fix\n"
           "                              \" WEEK,TOW,LAT,LON,HEIGHT,EAST,NORTH,UP\": radians,\n"
           "                              metres, m/s (the last QBIN 0x56 before it; \"-\"\n"
           "                              before any), each value as %.17g gives it\n"
           "  channels                    the QBIN tracking reports (0x5C) that left since\n"
           "                              the last call: \"ok COUNT\" and per report\n"
           "                              \" CH,SV,STATUS,LEVEL,ELEV,AZIM\" (channel 0..11,\n"
           "                              status decimal, angles in radians, %.9g)\n"
           "  inject WHAT [COUNT]         QBIN: announced | crc | dle | garbage | burst |\n"
           "                              falsestart; others: garbage | falsestart | bad |\n"
           "                              truncated | burst\n"
           "  commands                    every command received since the last call, of every\n"
           "                              framing, tab-separated: sentences as text without CR LF\n"
           "                              (\"$PZULQTF*50\"), binary frames as spaced hex as they\n"
           "                              came on the wire (\"10 26 10 03\")\n"
           "  commandlog FILE|off         also append each command to FILE (see --command-log)\n"
           "  sentlog FILE|off            write every byte sent from now on to FILE (afresh);\n"
           "                              the reply \"ok from=N\" gives the line offset of\n"
           "                              its first byte (the fix log's end counts from 0)\n"
           "  fixlog FILE|off             write every fix that leaves whole to FILE (see\n"
           "                              --fix-log)\n"
           "  truth                       what was sent: counters as the reader keeps them\n"
           "  reset                       zero truth, received bytes and queries\n"
           "  quit                        close this connection\n"
           "  shutdown                    end rxsim\n";
}

// The scenario file `name` stands for: a file of that path, else one of the
// bundled scenarios (".txt" optional). Empty when neither exists.
std::string FindScenario(const std::string& name)
{
    for (const std::string& path : {name, std::string(RXSIM_SCENARIO_DIR) + "/" + name,
                                    std::string(RXSIM_SCENARIO_DIR) + "/" + name + ".txt"}) {
        std::ifstream f(path);
        if (f) return path;
    }
    return std::string();
}

struct Entry {
    Segment segment;
    uint32_t rate = 0;  // bytes per second, 0 = as fast as the line takes them
};

struct Client {
    int fd = -1;
    std::string in, out;
    bool waiting = false;
    Clock::time_point waitDeadline;
    bool closing = false;
};

class Sim {
public:
    bool Init(const std::string& pty, const std::string& device, int port,
              const std::string& portFile, std::string& error);
    bool Queue(const std::string& script, int count, uint32_t rate, std::string& error);
    bool QueueFile(const std::string& path, uint32_t rate, bool loop, std::string& error);
    bool StartReceiver(const std::string& text, std::string& error);
    bool OpenCommandLog(const std::string& path, std::string& error);
    bool OpenSentLog(const std::string& path, std::string& error);
    bool OpenFixLog(const std::string& path, std::string& error);
    int Run();

private:
    void Accept();
    void ReadClient(Client& c);
    void WriteClient(Client& c);
    std::string Command(Client& c, const std::string& line);
    void ProcessLines(Client& c);
    void ReadLine();
    void WriteLine();
    void LogSent(const uint8_t* data, size_t n);
    void LogFix(const Segment& s);
    void StartDrop(double seconds, bool keep);
    void EndDrop();
    bool Idle() const { return m_queue.empty() && !m_flood && !(m_receiver && m_held && m_runLeft > 0); }
    void Refill();
    void OnCommand(const rxsim::Command& command);
    bool QueueFrame(const std::vector<std::string>& args, const std::string& line, std::string& error);
    void ServiceReceiver(Clock::time_point now);
    uint64_t QueuedBytes() const;
    // The receiver and the program disagree on the line's speed (checked).
    bool SpeedMismatch() const;
    void TakePendingBaud();
    int PollTimeoutMs(Clock::time_point now) const;

    Line m_line;
    int m_listen = -1;
    std::vector<std::unique_ptr<Client>> m_clients;
    std::deque<Entry> m_queue;
    size_t m_offset = 0;  // bytes of the front segment already written
    Garbage m_garbage;
    Tally m_tally;
    int m_iteration = 0;
    bool m_flood = false;
    bool m_answer = false;
    Silence m_silence;  // queries left unanswered, or everything
    // Replay loop: the file is queued again whenever the queue runs dry.
    std::string m_loopFile;
    uint32_t m_loopRate = 0;
    // Pacing: bytes allowed at the front entry's rate since m_rateStart.
    Clock::time_point m_rateStart;
    uint64_t m_rateSent = 0;
    uint32_t m_currentRate = 0;
    // Drop: the line is down (hung up) or cut (kept) until m_dropUntil.
    enum { LINE_UP, LINE_DOWN, LINE_CUT } m_lineState = LINE_UP;
    Clock::time_point m_dropUntil;
    bool m_lineBackoff = false;  // the line reported an error: do not poll it hot
    Clock::time_point m_backoffUntil;
    Bytes m_received;
    uint64_t m_receivedLost = 0;
    CommandCollector m_collector;
    std::vector<std::string> m_queries;
    bool m_shutdown = false;
    // The receiver a scenario makes of rxsim (null: none).
    std::unique_ptr<Receiver> m_receiver;
    bool m_paused = false;  // its periodic output is stopped
    // Held, periods go out only as "run" grants them; the hold outlives a
    // scenario loaded meanwhile.
    bool m_held = false;
    // The receiver's port speed as the line has it; a change waits until
    // the reply that confirms it has left.
    uint32_t m_receiverBaud = 0, m_pendingBaud = 0;
    uint64_t m_baudAt = 0;  // line bytes after which m_pendingBaud holds
    bool m_speedCheck = false;
    uint64_t m_runLeft = 0;
    std::deque<std::string> m_fixList;      // "fixes" entries since the last call
    std::deque<std::string> m_channelList;  // "channels" entries since the last call
    Clock::time_point m_nextReport;
    Clock::time_point m_silentUntil;  // a reset is in progress until then
    bool m_versionDue = false;
    std::vector<std::string> m_commands;  // as logged, since the last "commands"
    FILE* m_commandLog = nullptr;
    // Everything sent on the line since rxsim started, and its logs.
    uint64_t m_lineBytes = 0;
    int m_sentLog = -1;
    FILE* m_fixLog = nullptr;
    FixTracker m_fixes;
};

// Seconds since 1970, for the logs a test lines up with its own clock.
double WallSeconds()
{
    return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

bool Sim::Init(const std::string& pty, const std::string& device, int port,
               const std::string& portFile, std::string& error)
{
    bool ok = pty.empty() ? m_line.OpenDevice(device, error) : m_line.OpenPty(pty, error);
    if (!ok) return false;
    if (port < 0) return true;
    m_listen = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (m_listen < 0) {
        error = std::string("socket: ") + strerror(errno);
        return false;
    }
    int one = 1;
    setsockopt(m_listen, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr;
    memset(&addr, 0, sizeof addr);
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);  // never reachable from outside
    addr.sin_port = htons(static_cast<uint16_t>(port));
    if (bind(m_listen, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        listen(m_listen, 8) != 0) {
        error = "cannot listen on 127.0.0.1:" + std::to_string(port) + ": " + strerror(errno);
        return false;
    }
    socklen_t len = sizeof addr;
    getsockname(m_listen, reinterpret_cast<sockaddr*>(&addr), &len);
    int actual = ntohs(addr.sin_port);
    if (!portFile.empty()) {
        // Written whole under a temporary name, so a waiting script never reads half.
        std::string tmp = portFile + ".tmp";
        FILE* f = fopen(tmp.c_str(), "w");
        if (!f || fprintf(f, "%d\n", actual) < 0 || fclose(f) != 0 ||
            rename(tmp.c_str(), portFile.c_str()) != 0) {
            error = "cannot write " + portFile;
            return false;
        }
    }
    printf("control %d\n", actual);
    if (m_line.OwnsPty()) printf("pty %s\n", m_line.SlavePath().c_str());
    fflush(stdout);
    return true;
}

bool Sim::Queue(const std::string& script, int count, uint32_t rate, std::string& error)
{
    std::vector<Segment> segments;
    for (int i = 0; i < count; ++i) {
        if (!BuildScript(script, m_iteration++, m_garbage, segments)) {
            error = "unknown script " + script + " (" + ScriptNames() + ")";
            return false;
        }
    }
    for (auto& p : segments) m_queue.push_back(Entry{std::move(p), rate});
    return true;
}

bool Sim::QueueFile(const std::string& path, uint32_t rate, bool loop, std::string& error)
{
    std::ifstream f(path, std::ios::binary);
    if (!f) {
        error = "cannot read " + path;
        return false;
    }
    Bytes all((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    if (all.empty()) {
        error = path + " is empty";
        return false;
    }
    // The content of a recording is unknown here: its segments count as bytes only.
    for (size_t at = 0; at < all.size(); at += kReplayChunk) {
        Entry e;
        e.segment.bytes.assign(all.begin() + at, all.begin() + std::min(all.size(), at + kReplayChunk));
        e.rate = rate;
        m_queue.push_back(std::move(e));
    }
    if (loop) {
        m_loopFile = path;
        m_loopRate = rate;
    }
    return true;
}

bool Sim::StartReceiver(const std::string& text, std::string& error)
{
    std::unique_ptr<Receiver> r = LoadReceiver(text, error);
    if (!r) return false;
    m_receiver = std::move(r);
    m_receiverBaud = m_receiver->LinkBaud();
    m_pendingBaud = 0;
    m_versionDue = false;
    m_paused = false;
    m_silentUntil = Clock::now();
    m_nextReport = Clock::now();  // the first reports go out at once
    std::vector<Segment> start;
    m_receiver->Start(start);
    if (m_lineState == LINE_UP)
        for (auto& p : start) m_queue.push_back(Entry{std::move(p), 0});
    return true;
}

bool Sim::OpenCommandLog(const std::string& path, std::string& error)
{
    if (m_commandLog) fclose(m_commandLog);
    m_commandLog = nullptr;
    if (path == "off") return true;
    m_commandLog = fopen(path.c_str(), "a");
    if (!m_commandLog) {
        error = "cannot open " + path + ": " + strerror(errno);
        return false;
    }
    return true;
}

bool Sim::OpenSentLog(const std::string& path, std::string& error)
{
    if (m_sentLog >= 0) close(m_sentLog);
    m_sentLog = -1;
    if (path == "off") return true;
    m_sentLog = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (m_sentLog < 0) {
        error = "cannot open " + path + ": " + strerror(errno);
        return false;
    }
    return true;
}

bool Sim::OpenFixLog(const std::string& path, std::string& error)
{
    if (m_fixLog) fclose(m_fixLog);
    m_fixLog = nullptr;
    if (path == "off") return true;
    m_fixLog = fopen(path.c_str(), "w");
    if (!m_fixLog || fputs(FixCsvHeader(true).c_str(), m_fixLog) < 0 || fflush(m_fixLog) != 0) {
        error = "cannot open " + path + ": " + strerror(errno);
        return false;
    }
    return true;
}

void Sim::OnCommand(const rxsim::Command& command)
{
    if (command.kind == KIND_QBIN) m_queries.push_back(ToHex(command.body.data(), command.body.size()));
    // The log shows the command as it came on the wire.
    std::string text = command.LogText();
    if (m_commands.size() < 100000) m_commands.push_back(text);
    if (m_commandLog) {
        fprintf(m_commandLog, "%.3f\t%s\n", WallSeconds(), text.c_str());
        fflush(m_commandLog);
    }
    auto now = Clock::now();
    if (m_silence.Withholds(command)) return;
    if (m_receiver) {
        if (m_receiver->IsReset(command)) {
            // A resetting receiver stops talking at once; a frame already
            // half on the wire is finished, everything else is forgotten.
            if (m_offset > 0 && !m_queue.empty()) m_queue.erase(m_queue.begin() + 1, m_queue.end());
            else m_queue.clear();
            m_silentUntil = now + std::chrono::seconds(1);
            m_versionDue = true;
            return;
        }
        if (now < m_silentUntil) return;  // nobody there to answer
        std::vector<Segment> reply;
        if (m_receiver->Answer(command, reply))
            for (auto& p : reply) m_queue.push_back(Entry{std::move(p), 0});
        const uint32_t baud = m_receiver->LinkBaud();
        if (baud != (m_pendingBaud ? m_pendingBaud : m_receiverBaud)) {
            // The receiver answers at the old speed, then moves.
            m_pendingBaud = baud;
            m_baudAt = m_lineBytes + QueuedBytes();
            TakePendingBaud();
        }
        return;
    }
    if (m_answer && command.kind == KIND_QBIN) {
        std::vector<Segment> reply;
        Bytes data(command.body.begin() + 1, command.body.end());
        if (BuildAnswer(command.body[0], data, reply))
            for (auto& p : reply) m_queue.push_back(Entry{std::move(p), 0});
    }
}

// "frame KIND ...": one frame of rxsim's own making, counted like any other.
bool Sim::QueueFrame(const std::vector<std::string>& args, const std::string& line, std::string& error)
{
    const std::string kind = args.empty() ? std::string() : args[0];
    Segment s;
    s.outcome = OUT_GOOD;
    if (kind == "nmea" || kind == "qtxt") {
        // The rest of the line as it was typed: sentences may hold spaces.
        size_t at = line.find(kind);
        std::string body = line.substr(at + kind.size());
        size_t first = body.find_first_not_of(' ');
        body = first == std::string::npos ? std::string() : body.substr(first);
        if (body.empty()) {
            error = "frame " + kind + " needs a body";
            return false;
        }
        s.kind = kind == "nmea" ? KIND_NMEA : KIND_QTXT;
        s.bytes = kind == "nmea" ? NmeaSentence(body) : QtxtSentence(body);
    } else {
        const bool twoIds = kind == "kesto" || kind == "ubx";
        const size_t idCount = twoIds ? 2 : 1;
        std::string hex;
        for (size_t i = 1 + idCount; i < args.size(); ++i) hex += args[i];
        Bytes ids, data;
        std::string idHex;
        for (size_t i = 1; i <= idCount && i < args.size(); ++i) idHex += args[i];
        bool ok = args.size() > idCount && FromHex(hex, data);
        if (kind == "qop") {
            ok = ok && args[1].size() == 2;
            if (ok) s.bytes = QopMessage(args[1][0], args[1][1], data);
            s.kind = KIND_QOP;
        } else {
            ok = ok && FromHex(idHex, ids) && ids.size() == idCount;
            if (ok && kind == "qbin") {
                s.bytes = QbinPacket(ids[0], data);
                s.kind = KIND_QBIN;
            } else if (ok && kind == "mon") {
                s.bytes = MonFrame(ids[0], data);
                s.kind = KIND_MON;
            } else if (ok && kind == "kesto") {
                s.bytes = KestoPacket(ids[0], ids[1], data);
                s.kind = KIND_KESTO;
            } else if (ok && kind == "ubx") {
                s.bytes = UbxMessage(ids[0], ids[1], data);
                s.kind = KIND_NONE;  // no framing of the reader's
                s.outcome = OUT_NONE;
            } else {
                ok = false;
            }
        }
        if (!ok) {
            error = "usage: frame nmea BODY | qtxt BODY | qbin ID HEX | qop ID HEX | kesto CLASS ID HEX | "
                    "mon ID HEX | ubx CLASS ID HEX";
            return false;
        }
    }
    m_queue.push_back(Entry{std::move(s), 0});
    return true;
}

void Sim::ServiceReceiver(Clock::time_point now)
{
    if (!m_receiver || now < m_silentUntil || m_silence.Muted()) return;
    const bool stopped = m_paused || (m_held && m_runLeft == 0);
    if (stopped && !m_versionDue) return;
    const auto interval = std::chrono::milliseconds(m_receiver->IntervalMs());
    std::vector<Segment> out;
    if (m_versionDue) {
        // Back from the reset: the version comes first, the reports a period later.
        m_versionDue = false;
        m_receiver->Version(out);
        m_nextReport = now + interval;
    } else if (now >= m_nextReport) {
        m_receiver->Tick(out);
        if (m_held) --m_runLeft;
        m_nextReport += interval;
        if (m_nextReport <= now) m_nextReport = now + interval;  // no catching up after a stall
    } else {
        return;
    }
    // A line that is down or cut loses what the receiver says meanwhile.
    if (m_lineState != LINE_UP) return;
    for (auto& p : out) m_queue.push_back(Entry{std::move(p), 0});
}

uint64_t Sim::QueuedBytes() const
{
    uint64_t queued = 0;
    for (auto& e : m_queue) queued += e.segment.bytes.size();
    return queued - std::min<uint64_t>(queued, m_offset);
}

void Sim::TakePendingBaud()
{
    // Once the reply is out, or whatever came between dropped it.
    if (!m_pendingBaud || (m_lineBytes < m_baudAt && !m_queue.empty())) return;
    m_receiverBaud = m_pendingBaud;
    m_pendingBaud = 0;
}

bool Sim::SpeedMismatch() const
{
    if (!m_speedCheck || !m_receiver || !m_receiverBaud) return false;
    const uint32_t line = m_line.Speed();
    return line && line != m_receiverBaud;
}

void Sim::Refill()
{
    if (!m_queue.empty()) return;
    std::string error;
    if (m_flood) Queue("good", 4, 0, error);
    else if (!m_loopFile.empty()) QueueFile(m_loopFile, m_loopRate, false, error);
}

void Sim::StartDrop(double seconds, bool keep)
{
    m_dropUntil = Clock::now() + std::chrono::milliseconds(static_cast<int64_t>(seconds * 1000));
    if (keep || !m_line.OwnsPty()) {
        m_lineState = LINE_CUT;
    } else {
        // Closing the master hangs the slave up: every read on it fails now.
        m_line.Close(true);
        m_lineState = LINE_DOWN;
    }
}

void Sim::EndDrop()
{
    if (m_lineState == LINE_DOWN) {
        std::string error;
        if (!m_line.Reopen(error)) {
            fprintf(stderr, "rxsim: %s; retrying\n", error.c_str());
            m_dropUntil = Clock::now() + std::chrono::milliseconds(200);
            return;
        }
    }
    m_lineState = LINE_UP;
    m_rateStart = Clock::now();
    m_rateSent = 0;
}

void Sim::ReadLine()
{
    uint8_t buf[4096];
    for (;;) {
        ssize_t n = read(m_line.Fd(), buf, sizeof buf);
        if (n > 0) {
            if (m_lineState == LINE_CUT) continue;  // a cut line loses what is sent into it
            if (SpeedMismatch()) continue;          // and so does one at the wrong speed
            for (ssize_t i = 0; i < n; ++i) {
                if (m_received.size() < kReceivedCap) m_received.push_back(buf[i]);
                else ++m_receivedLost;
                rxsim::Command command;
                if (m_collector.Feed(buf[i], command)) OnCommand(command);
            }
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) return;
        // EIO or end of file: nothing to read now; look again a little later
        // rather than spinning on a line that keeps reporting it.
        m_lineBackoff = true;
        m_backoffUntil = Clock::now() + std::chrono::milliseconds(20);
        return;
    }
}

void Sim::WriteLine()
{
    Refill();
    while (!m_queue.empty()) {
        Entry& e = m_queue.front();
        auto now = Clock::now();
        if (e.rate != m_currentRate) {
            m_currentRate = e.rate;
            m_rateStart = now;
            m_rateSent = 0;
        }
        size_t want = e.segment.bytes.size() - m_offset;
        if (SpeedMismatch()) {
            // Nobody at the other speed makes anything of it: gone unheard.
            m_queue.pop_front();
            m_offset = 0;
            continue;
        }
        if (e.rate) {
            double elapsed = std::chrono::duration<double>(now - m_rateStart).count();
            double allowed = elapsed * e.rate - static_cast<double>(m_rateSent);
            if (allowed < 1) return;
            want = std::min(want, static_cast<size_t>(allowed));
            if (elapsed > 1.0) {  // keep the reference recent: no burst after a pause
                m_rateStart = now;
                m_rateSent = 0;
            }
        }
        ssize_t n = write(m_line.Fd(), e.segment.bytes.data() + m_offset, want);
        if (n <= 0) {
            if (n < 0 && errno != EAGAIN && errno != EINTR) {
                m_lineBackoff = true;
                m_backoffUntil = now + std::chrono::milliseconds(20);
            }
            return;
        }
        m_tally.bytes += static_cast<uint64_t>(n);
        m_lineBytes += static_cast<uint64_t>(n);
        m_rateSent += static_cast<uint64_t>(n);
        LogSent(e.segment.bytes.data() + m_offset, static_cast<size_t>(n));
        m_offset += static_cast<size_t>(n);
        if (m_offset < e.segment.bytes.size()) return;
        m_tally.Apply(e.segment);
        LogFix(e.segment);
        m_queue.pop_front();
        m_offset = 0;
        TakePendingBaud();
        Refill();
    }
    TakePendingBaud();
}

void Sim::LogSent(const uint8_t* data, size_t n)
{
    while (m_sentLog >= 0 && n > 0) {
        ssize_t w = write(m_sentLog, data, n);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) {
            // A log with a hole would mislead whoever compares it: stop it.
            fprintf(stderr, "rxsim: writing the sent log failed: %s; log stopped\n", strerror(errno));
            close(m_sentLog);
            m_sentLog = -1;
            return;
        }
        data += w;
        n -= static_cast<size_t>(w);
    }
}

void Sim::LogFix(const Segment& s)
{
    const size_t kListCap = 100000;
    ChannelTruth channel;
    if (TakeChannelReport(s, channel)) {
        if (m_channelList.size() >= kListCap) m_channelList.pop_front();
        m_channelList.push_back(ChannelListEntry(channel));
        return;
    }
    FixTruth fix;
    if (!m_fixes.Take(s, fix)) return;
    if (m_fixList.size() >= kListCap) m_fixList.pop_front();
    m_fixList.push_back(FixListEntry(fix));
    if (!m_fixLog) return;
    fputs(FixCsvLine(fix, m_lineBytes, WallSeconds()).c_str(), m_fixLog);
    fflush(m_fixLog);
}

static bool ParseUint(const std::string& s, uint64_t& v)
{
    if (s.empty() || s.size() > 18) return false;
    v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + static_cast<uint64_t>(c - '0');
    }
    return true;
}

std::string Sim::Command(Client& c, const std::string& line)
{
    std::istringstream in(line);
    std::string cmd;
    in >> cmd;
    std::vector<std::string> args;
    for (std::string a; in >> a;) args.push_back(a);
    auto arg = [&](size_t i) { return i < args.size() ? args[i] : std::string(); };
    std::string error;

    if (cmd.empty()) return "err empty command";
    if (cmd == "ping") return "ok rxsim";
    if (cmd == "help") {
        std::string h = Usage();
        std::replace(h.begin(), h.end(), '\n', ' ');
        return "ok scripts: " + std::string(ScriptNames()) + " | " + h;
    }
    if (cmd == "status") {
        size_t queued = 0;
        for (auto& e : m_queue) queued += e.segment.bytes.size();
        queued -= std::min(queued, m_offset);
        const char* state = m_lineState == LINE_UP ? "up" : m_lineState == LINE_DOWN ? "down" : "cut";
        return std::string("ok line=") + state + " pty=" +
               (m_line.OwnsPty() ? m_line.SlavePath() : std::string("-")) +
               " queued=" + std::to_string(queued) + " flood=" + (m_flood ? "on" : "off") +
               " answer=" + (m_answer ? "on" : "off") +
               " scenario=" + (m_receiver ? (m_paused ? "paused" : "on") : "off") +
               " hold=" + (m_held ? (m_runLeft ? "run:" + std::to_string(m_runLeft) : std::string("on")) : "off") +
               " resetting=" + (m_receiver && (m_versionDue || Clock::now() < m_silentUntil) ? "yes" : "no") +
               " unanswered=" + m_silence.Describe() + " baud=" +
               (m_receiver && m_receiverBaud ? std::to_string(m_receiverBaud) : std::string("-")) +
               " line_baud=" + (m_line.Speed() ? std::to_string(m_line.Speed()) : std::string("-")) +
               " speedcheck=" + (m_speedCheck ? "on" : "off");
    }
    if (cmd == "script") {
        uint64_t count = 1, rate = 0;
        if (args.empty() || (args.size() > 1 && !ParseUint(arg(1), count)) ||
            (args.size() > 2 && !ParseUint(arg(2), rate)) || count < 1 || count > 100000)
            return "err usage: script NAME [COUNT [RATE]]";
        size_t before = m_queue.size();
        if (!Queue(arg(0), static_cast<int>(count), static_cast<uint32_t>(rate), error))
            return "err " + error;
        uint64_t bytes = 0;
        for (size_t i = before; i < m_queue.size(); ++i) bytes += m_queue[i].segment.bytes.size();
        return "ok bytes=" + std::to_string(bytes);
    }
    if (cmd == "send") {
        // The bytes may be written with or without spaces: "10 26 10 03", "10261003".
        std::string hex;
        for (auto& a : args) hex += a;
        Bytes b;
        if (hex.empty() || !FromHex(hex, b) || b.empty()) return "err usage: send HEX...";
        Entry e;
        e.segment.bytes = b;
        m_queue.push_back(std::move(e));
        return "ok bytes=" + std::to_string(b.size());
    }
    if (cmd == "replay") {
        uint64_t rate = 0;
        if (args.empty() || (args.size() > 1 && !ParseUint(arg(1), rate)) ||
            (args.size() > 2 && arg(2) != "loop"))
            return "err usage: replay FILE [RATE [loop]]";
        if (!QueueFile(arg(0), static_cast<uint32_t>(rate), arg(2) == "loop", error))
            return "err " + error;
        return "ok";
    }
    if (cmd == "flood") {
        if (arg(0) != "on" && arg(0) != "off") return "err usage: flood on|off";
        m_flood = arg(0) == "on";
        return "ok";
    }
    if (cmd == "answer") {
        if (arg(0) != "on" && arg(0) != "off") return "err usage: answer on|off";
        m_answer = arg(0) == "on";
        return "ok";
    }
    if (cmd == "silent") {
        if (!args.empty() && arg(0) != "purge") {
            std::string reply;
            if (!m_silence.Apply(args, reply, error)) return "err " + error;
            // Muted, what was still to go is not said either; a frame half
            // on the wire is finished.
            if (m_silence.Muted()) {
                if (m_offset > 0 && !m_queue.empty()) m_queue.erase(m_queue.begin() + 1, m_queue.end());
                else m_queue.clear();
            }
            return "ok " + reply;
        }
        m_silence.Clear();
        m_flood = false;
        m_loopFile.clear();
        m_receiver.reset();
        m_held = false;
        m_runLeft = 0;
        m_versionDue = false;
        m_queue.clear();
        m_offset = 0;
        if (arg(0) == "purge") m_line.DiscardPending();
        return "ok";
    }
    if (cmd == "ignore") {
        std::string reply;
        if (args.empty() || arg(0) == "all" || arg(0) == "purge" || !m_silence.Apply(args, reply, error))
            return "err usage: ignore ID[-SUB]... | ignore off (ID, SUB: QBIN bytes in hex)";
        return "ok " + reply;
    }
    if (cmd == "speedcheck") {
        if (args.size() != 1 || (arg(0) != "on" && arg(0) != "off")) return "err usage: speedcheck on|off";
        m_speedCheck = arg(0) == "on";
        return "ok";
    }
    if (cmd == "wait") {
        uint64_t ms = 60000;
        if (!args.empty() && !ParseUint(arg(0), ms)) return "err usage: wait [MS]";
        if (Idle()) return "ok bytes=" + std::to_string(m_tally.bytes);
        c.waiting = true;
        c.waitDeadline = Clock::now() + std::chrono::milliseconds(ms);
        return std::string();  // the reply comes when the queue is empty
    }
    if (cmd == "drop") {
        double seconds = args.empty() ? -1 : atof(arg(0).c_str());
        if (seconds <= 0 || seconds > 3600 || (args.size() > 1 && arg(1) != "keep"))
            return "err usage: drop SECONDS [keep]";
        if (m_lineState != LINE_UP) return "err the line is already dropped";
        StartDrop(seconds, arg(1) == "keep");
        return m_lineState == LINE_DOWN ? "ok hangup" : "ok cut";
    }
    if (cmd == "restore") {
        if (m_lineState != LINE_UP) EndDrop();
        return m_lineState == LINE_UP ? "ok" : "err cannot reopen the line";
    }
    if (cmd == "received") {
        std::string hex = ToHex(m_received.data(), m_received.size());
        m_received.clear();
        if (m_receivedLost) {
            hex = "lost=" + std::to_string(m_receivedLost);
            m_receivedLost = 0;
            return "err " + hex;
        }
        return "ok " + hex;
    }
    if (cmd == "queries") {
        std::string r = "ok";
        for (auto& q : m_queries) r += " " + q;
        m_queries.clear();
        return r;
    }
    if (cmd == "frame") {
        if (!QueueFrame(args, line, error)) return "err " + error;
        return "ok bytes=" + std::to_string(m_queue.back().segment.bytes.size());
    }
    if (cmd == "scenario") {
        if (arg(0) == "off" && args.size() == 1) {
            m_receiver.reset();
            m_versionDue = false;
            return "ok";
        }
        if ((arg(0) == "pause" || arg(0) == "resume") && args.size() == 1) {
            if (!m_receiver) return "err no scenario";
            m_paused = arg(0) == "pause";
            if (!m_paused) m_nextReport = Clock::now();
            return "ok";
        }
        std::string text;
        if (arg(0) == "load" && args.size() == 2) {
            std::ifstream f(FindScenario(arg(1)));
            if (!f) return "err cannot read " + arg(1);
            text.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
        } else if (arg(0) == "inline") {
            // The rest of the line as it was typed: values may hold spaces.
            size_t at = line.find("inline");
            text = line.substr(at + 6);
        } else {
            return "err usage: scenario load FILE | scenario inline LINE;LINE... | scenario pause|resume|off";
        }
        if (!StartReceiver(text, error)) return "err " + error;
        return "ok";
    }
    if (cmd == "hold") {
        if (args.size() > 1 || (args.size() == 1 && arg(0) != "off")) return "err usage: hold [off]";
        m_held = args.empty();
        m_runLeft = 0;
        if (!m_held) m_nextReport = Clock::now();
        return "ok";
    }
    if (cmd == "run") {
        uint64_t n = 0;
        if (args.size() != 1 || !ParseUint(arg(0), n) || n < 1 || n > 1000000) return "err usage: run N";
        if (!m_receiver) return "err no scenario";
        // Counted from now: the first of them goes out at once.
        if (!m_held || m_runLeft == 0) m_nextReport = Clock::now();
        m_held = true;
        m_runLeft += n;
        return "ok periods=" + std::to_string(m_runLeft);
    }
    if (cmd == "fixes" || cmd == "channels") {
        std::deque<std::string>& list = cmd == "fixes" ? m_fixList : m_channelList;
        std::string r = "ok " + std::to_string(list.size());
        for (const std::string& f : list) r += " " + f;
        list.clear();
        return r;
    }
    if (cmd == "inject") {
        uint64_t count = 1;
        if (args.empty() || (args.size() > 1 && !ParseUint(arg(1), count)) || count > 100000)
            return "err usage: inject WHAT [COUNT]";
        QbinReceiver defaults;
        Receiver& r = m_receiver ? *m_receiver : static_cast<Receiver&>(defaults);
        std::vector<Segment> out;
        if (!r.Inject(arg(0), static_cast<int>(count), m_garbage, out))
            return "err unknown fault " + arg(0);
        uint64_t bytes = 0;
        for (auto& p : out) {
            bytes += p.bytes.size();
            m_queue.push_back(Entry{std::move(p), 0});
        }
        return "ok bytes=" + std::to_string(bytes);
    }
    if (cmd == "commands") {
        std::string r = "ok";
        for (size_t i = 0; i < m_commands.size(); ++i) r += (i ? "\t" : " ") + m_commands[i];
        m_commands.clear();
        return r;
    }
    if (cmd == "commandlog") {
        if (args.size() != 1) return "err usage: commandlog FILE|off";
        if (!OpenCommandLog(arg(0), error)) return "err " + error;
        return "ok";
    }
    if (cmd == "sentlog" || cmd == "fixlog") {
        if (args.size() != 1) return "err usage: " + cmd + " FILE|off";
        const bool sent = cmd == "sentlog";
        if (!(sent ? OpenSentLog(arg(0), error) : OpenFixLog(arg(0), error))) return "err " + error;
        return sent && arg(0) != "off" ? "ok from=" + std::to_string(m_lineBytes) : "ok";
    }
    if (cmd == "truth") return "ok " + m_tally.Format();
    if (cmd == "reset") {
        m_tally.Reset();
        m_received.clear();
        m_receivedLost = 0;
        m_queries.clear();
        m_commands.clear();
        m_fixList.clear();
        m_channelList.clear();
        return "ok";
    }
    if (cmd == "quit") {
        c.closing = true;
        return "ok bye";
    }
    if (cmd == "shutdown") {
        m_shutdown = true;
        return "ok";
    }
    return "err unknown command " + cmd;
}

void Sim::ProcessLines(Client& c)
{
    while (!c.waiting && !c.closing) {
        size_t eol = c.in.find('\n');
        if (eol == std::string::npos) {
            if (c.in.size() > 65536) {  // no command is that long: a confused peer
                c.out += "err line too long\n";
                c.closing = true;
            }
            return;
        }
        std::string line = c.in.substr(0, eol);
        c.in.erase(0, eol + 1);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::string reply = Command(c, line);
        if (!reply.empty()) c.out += reply + "\n";
    }
}

void Sim::Accept()
{
    for (;;) {
        int fd = accept4(m_listen, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) return;
        if (static_cast<int>(m_clients.size()) >= kMaxClients) {
            close(fd);
            continue;
        }
        int one = 1;
        setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        auto c = std::make_unique<Client>();
        c->fd = fd;
        m_clients.push_back(std::move(c));
    }
}

void Sim::ReadClient(Client& c)
{
    char buf[4096];
    for (;;) {
        ssize_t n = recv(c.fd, buf, sizeof buf, 0);
        if (n > 0) {
            c.in.append(buf, static_cast<size_t>(n));
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) break;
        c.closing = true;  // peer closed or failed
        c.out.clear();
        return;
    }
    ProcessLines(c);
}

void Sim::WriteClient(Client& c)
{
    while (!c.out.empty()) {
        ssize_t n = send(c.fd, c.out.data(), c.out.size(), MSG_NOSIGNAL);
        if (n <= 0) {
            if (n < 0 && (errno == EAGAIN || errno == EINTR)) return;
            c.out.clear();
            c.closing = true;
            return;
        }
        c.out.erase(0, static_cast<size_t>(n));
    }
}

int Sim::PollTimeoutMs(Clock::time_point now) const
{
    auto until = now + std::chrono::milliseconds(500);
    if (m_lineState != LINE_UP) until = std::min(until, m_dropUntil);
    if (m_lineBackoff) until = std::min(until, m_backoffUntil);
    const bool periodic = !m_paused && (!m_held || m_runLeft > 0);
    if (m_receiver && (periodic || m_versionDue))
        until = std::min(until, std::max(m_silentUntil, m_versionDue ? m_silentUntil : m_nextReport));
    for (auto& c : m_clients)
        if (c->waiting) until = std::min(until, c->waitDeadline);
    if (m_lineState == LINE_UP && !m_queue.empty() && m_queue.front().rate)
        until = std::min(until, now + std::chrono::milliseconds(5));
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(until - now).count();
    return static_cast<int>(std::max<int64_t>(0, ms));
}

int Sim::Run()
{
    m_rateStart = Clock::now();
    while (!g_quit && !m_shutdown) {
        auto now = Clock::now();
        if (m_lineState != LINE_UP && now >= m_dropUntil) EndDrop();
        if (m_lineBackoff && now >= m_backoffUntil) m_lineBackoff = false;
        ServiceReceiver(now);
        TakePendingBaud();
        if (m_lineState == LINE_UP && !m_lineBackoff) Refill();

        std::vector<pollfd> fds;
        int lineIndex = -1, listenIndex = -1;
        if (m_line.IsOpen() && !m_lineBackoff) {
            short ev = POLLIN;
            bool paced = !m_queue.empty() && m_queue.front().rate;
            if (m_lineState == LINE_UP && !m_queue.empty() && !paced) ev |= POLLOUT;
            lineIndex = static_cast<int>(fds.size());
            fds.push_back({m_line.Fd(), ev, 0});
        }
        if (m_listen >= 0) {
            listenIndex = static_cast<int>(fds.size());
            fds.push_back({m_listen, POLLIN, 0});
        }
        size_t firstClient = fds.size();
        for (auto& c : m_clients)
            fds.push_back({c->fd, static_cast<short>(POLLIN | (c->out.empty() ? 0 : POLLOUT)), 0});

        int r = poll(fds.data(), fds.size(), PollTimeoutMs(now));
        if (r < 0 && errno != EINTR) {
            perror("rxsim: poll");
            return 1;
        }
        if (r < 0) continue;

        if (lineIndex >= 0) {
            short re = fds[lineIndex].revents;
            if (re & (POLLIN | POLLHUP | POLLERR)) ReadLine();
            if (m_lineState == LINE_UP && !m_lineBackoff && m_line.IsOpen()) WriteLine();
        }
        if (listenIndex >= 0 && (fds[listenIndex].revents & POLLIN)) Accept();
        for (size_t i = 0; i < m_clients.size(); ++i) {
            Client& c = *m_clients[i];
            size_t fi = firstClient + i;
            if (fi < fds.size() && (fds[fi].revents & (POLLIN | POLLHUP | POLLERR))) ReadClient(c);
        }
        // Replies to "wait" once the queue has drained (or its time is up).
        now = Clock::now();
        for (auto& cp : m_clients) {
            Client& c = *cp;
            if (!c.waiting) continue;
            if (Idle()) {
                c.out += "ok bytes=" + std::to_string(m_tally.bytes) + "\n";
                c.waiting = false;
            } else if (now >= c.waitDeadline) {
                c.out += "err timeout\n";
                c.waiting = false;
            }
            if (!c.waiting) ProcessLines(c);
        }
        for (auto& c : m_clients) WriteClient(*c);
        m_clients.erase(std::remove_if(m_clients.begin(), m_clients.end(),
                                       [](const std::unique_ptr<Client>& c) {
                                           if (c->closing && c->out.empty()) {
                                               close(c->fd);
                                               return true;
                                           }
                                           return false;
                                       }),
                        m_clients.end());
    }
    for (auto& c : m_clients) {
        WriteClient(*c);
        close(c->fd);
    }
    m_clients.clear();
    if (m_listen >= 0) close(m_listen);
    std::string ignored;
    OpenCommandLog("off", ignored);
    OpenSentLog("off", ignored);
    OpenFixLog("off", ignored);
    m_line.Close(true);
    return 0;
}

// Writes the segments one after the other and prints what went out.
int WriteRecording(const std::vector<Segment>& segments, const std::string& out)
{
    FILE* f = fopen(out.c_str(), "wb");
    if (!f) {
        fprintf(stderr, "rxsim: cannot create %s: %s\n", out.c_str(), strerror(errno));
        return 1;
    }
    Tally tally;
    bool ok = true;
    for (auto& p : segments) {
        ok = ok && fwrite(p.bytes.data(), 1, p.bytes.size(), f) == p.bytes.size();
        tally.bytes += p.bytes.size();
        tally.Apply(p);
    }
    ok = (fclose(f) == 0) && ok;
    if (!ok) {
        fprintf(stderr, "rxsim: writing %s failed\n", out.c_str());
        return 1;
    }
    printf("%s\n", tally.Format().c_str());
    return 0;
}

int Generate(const std::string& name, int count, const std::string& out)
{
    Garbage garbage;
    std::vector<Segment> segments;
    for (int i = 0; i < count; ++i) {
        if (!BuildScript(name, i, garbage, segments)) {
            fprintf(stderr, "rxsim: unknown script %s (%s)\n", name.c_str(), ScriptNames());
            return 2;
        }
    }
    return WriteRecording(segments, out);
}

// A recording as a file and its truth as CSV, both through large buffers.
class FileSink : public RecordingSink {
public:
    ~FileSink()
    {
        if (m_out) fclose(m_out);
        if (m_truth) fclose(m_truth);
    }
    bool Open(const std::string& out, const std::string& truth, std::string& error)
    {
        const size_t kBuffer = 1 << 20;
        m_out = fopen(out.c_str(), "wb");
        if (!m_out) {
            error = "cannot create " + out + ": " + strerror(errno);
            return false;
        }
        setvbuf(m_out, nullptr, _IOFBF, kBuffer);
        if (truth.empty()) return true;
        m_truth = fopen(truth.c_str(), "w");
        if (!m_truth || fputs(FixCsvHeader(false).c_str(), m_truth) < 0) {
            error = "cannot create " + truth + ": " + strerror(errno);
            return false;
        }
        setvbuf(m_truth, nullptr, _IOFBF, kBuffer);
        return true;
    }
    bool Write(const uint8_t* data, size_t n) override { return fwrite(data, 1, n, m_out) == n; }
    bool Fix(const FixTruth& fix) override { return !m_truth || fputs(FixCsvLine(fix).c_str(), m_truth) >= 0; }
    // Both files complete on disk.
    bool Close()
    {
        bool ok = fclose(m_out) == 0;
        m_out = nullptr;
        if (m_truth) ok = fclose(m_truth) == 0 && ok;
        m_truth = nullptr;
        return ok;
    }

private:
    FILE* m_out = nullptr;
    FILE* m_truth = nullptr;
};

struct GenerateOptions {
    std::string out, truth, faults;
    uint64_t bytes = 0, periods = 1;
};

// A recording of a scenario receiver: what it says when it starts, then its
// periodic output, one period after the other, with no answers in between
// (nobody asks).
int GenerateScenario(const std::string& path, const GenerateOptions& o)
{
    std::ifstream in(path);
    if (!in) {
        fprintf(stderr, "rxsim: cannot read %s\n", path.c_str());
        return 1;
    }
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string error;
    std::unique_ptr<Receiver> receiver = LoadReceiver(text, error);
    GenerateRequest request;
    request.minBytes = o.bytes;
    request.minPeriods = o.periods;
    if (!receiver || !ParseFaults(o.faults, request.faults, error)) {
        fprintf(stderr, "rxsim: %s: %s\n", path.c_str(), error.c_str());
        return 2;
    }
    FileSink sink;
    GenerateResult result;
    if (!sink.Open(o.out, o.truth, error) || !GenerateRecording(*receiver, request, sink, result, error) ||
        !sink.Close()) {
        if (error.empty()) error = "writing " + o.out + " failed";
        fprintf(stderr, "rxsim: %s\n", error.c_str());
        return 1;
    }
    printf("%s periods=%llu fixes=%llu spoiled=%llu cut=%s\n", result.tally.Format().c_str(),
           static_cast<unsigned long long>(result.periods), static_cast<unsigned long long>(result.fixes),
           static_cast<unsigned long long>(result.spoiled), result.cut ? "yes" : "no");
    return 0;
}

}  // namespace
}  // namespace rxsim

int main(int argc, char** argv)
{
    using namespace rxsim;
    std::string pty, device, portFile, replay, script, generate, out, scenario, commandLog, sentLog, fixLog;
    std::string truth, faults, bytes;
    int port = -1, count = 1;
    bool countGiven = false;
    uint64_t rate = 0;
    bool loop = false;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto value = [&](const char* name) -> std::string {
            if (i + 1 >= argc) {
                fprintf(stderr, "rxsim: %s needs a value\n%s", name, Usage());
                exit(2);
            }
            return argv[++i];
        };
        if (a == "--pty") pty = value("--pty");
        else if (a == "--device") device = value("--device");
        else if (a == "--control") port = atoi(value("--control").c_str());
        else if (a == "--port-file") portFile = value("--port-file");
        else if (a == "--replay") replay = value("--replay");
        else if (a == "--rate") rate = strtoull(value("--rate").c_str(), nullptr, 10);
        else if (a == "--loop") loop = true;
        else if (a == "--script") script = value("--script");
        else if (a == "--count") {
            count = atoi(value("--count").c_str());
            countGiven = true;
        }
        else if (a == "--bytes") bytes = value("--bytes");
        else if (a == "--truth") truth = value("--truth");
        else if (a == "--faults") faults = value("--faults");
        else if (a == "--sent-log") sentLog = value("--sent-log");
        else if (a == "--fix-log") fixLog = value("--fix-log");
        else if (a == "--generate") generate = value("--generate");
        else if (a == "--out") out = value("--out");
        else if (a == "--scenario") scenario = value("--scenario");
        else if (a == "--command-log") commandLog = value("--command-log");
        else if (a == "--help" || a == "-h") {
            printf("%s", Usage());
            return 0;
        } else {
            fprintf(stderr, "rxsim: unknown argument %s\n%s", a.c_str(), Usage());
            return 2;
        }
    }
    if (count < 1) count = 1;
    if (!generate.empty()) {
        if (out.empty()) {
            fprintf(stderr, "rxsim: --generate needs --out\n");
            return 2;
        }
        GenerateOptions o;
        o.out = out;
        o.truth = truth;
        o.faults = faults;
        o.periods = countGiven || bytes.empty() ? static_cast<uint64_t>(count) : 0;
        if (!bytes.empty() && !ParseUint(bytes, o.bytes)) {
            fprintf(stderr, "rxsim: --bytes needs a whole number\n");
            return 2;
        }
        if (generate == "scenario" && !scenario.empty()) {
            const std::string path = FindScenario(scenario);
            return GenerateScenario(path.empty() ? scenario : path, o);
        }
        std::vector<Segment> probe;
        Garbage garbage;
        const bool isScript = BuildScript(generate, 0, garbage, probe);
        if (isScript && bytes.empty() && truth.empty() && faults.empty()) return Generate(generate, count, out);
        const std::string path = FindScenario(generate);
        if (path.empty()) {
            fprintf(stderr, "rxsim: %s is neither a scenario file nor a bundled scenario%s\n", generate.c_str(),
                    isScript ? " (--bytes, --truth and --faults need a scenario)" : "");
            return 2;
        }
        return GenerateScenario(path, o);
    }
    if (pty.empty() == device.empty()) {
        fprintf(stderr, "rxsim: give exactly one of --pty and --device\n%s", Usage());
        return 2;
    }
    if (port > 65535) {
        fprintf(stderr, "rxsim: bad control port\n");
        return 2;
    }

    // A harness killed without its cleanup must not leave a simulator behind.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    struct sigaction sa;
    memset(&sa, 0, sizeof sa);
    sa.sa_handler = OnSignal;
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGHUP, &sa, nullptr);
    signal(SIGPIPE, SIG_IGN);

    static Sim sim;  // static: its destructor runs after Run has closed everything
    std::string error;
    if (!sim.Init(pty, device, port, portFile, error)) {
        fprintf(stderr, "rxsim: %s\n", error.c_str());
        return 1;
    }
    if (!replay.empty() && !sim.QueueFile(replay, static_cast<uint32_t>(rate), loop, error)) {
        fprintf(stderr, "rxsim: %s\n", error.c_str());
        return 1;
    }
    if (!script.empty() && !sim.Queue(script, count, static_cast<uint32_t>(rate), error)) {
        fprintf(stderr, "rxsim: %s\n", error.c_str());
        return 1;
    }
    if ((!commandLog.empty() && !sim.OpenCommandLog(commandLog, error)) ||
        (!sentLog.empty() && !sim.OpenSentLog(sentLog, error)) || (!fixLog.empty() && !sim.OpenFixLog(fixLog, error))) {
        fprintf(stderr, "rxsim: %s\n", error.c_str());
        return 1;
    }
    if (!scenario.empty()) {
        std::ifstream f(FindScenario(scenario));
        std::string text;
        if (f) text.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
        else error = "cannot read " + scenario;
        if (!error.empty() || !sim.StartReceiver(text, error)) {
            fprintf(stderr, "rxsim: %s\n", error.c_str());
            return 1;
        }
    }
    return sim.Run();
}
