#pragma once
// What the program writes to the receiver, taken apart into commands of every
// framing a receiver may be sent: QBIN packets, NMEA and QTXT sentences, QOP
// messages, KESTO packets, monitor-mode frames and UBX messages.
//
// Each framing has its own collector and every byte goes to all of them, so a
// command of one framing is found whatever came before it; when one completes
// a command the others start afresh, as its bytes were not theirs.
#include <cstdint>
#include <string>
#include <vector>

#include "Frames.h"

namespace rxsim {

struct Command {
    int kind = 0;   // a FrameKind
    Bytes wire;     // as it came on the wire (a QBIN packet stuffed again)
    // The command without its framing:
    //   QBIN  id and data, DLE doubling undone
    //   NMEA  the text between "$" and "*" (the whole text without a checksum)
    //   QTXT  the text between ">" and ";*" (or "<" without a checksum)
    //   QOP   the two id letters and the data
    //   KESTO class, id and data, escapes undone
    //   MON   id and data
    //   UBX   class, id and payload
    Bytes body;
    bool valid = false;  // the checksum holds (always, where the framing has none)

    std::string BodyText() const { return std::string(body.begin(), body.end()); }
    // NMEA and QTXT sentences as their text without CR LF; binary commands
    // as spaced upper-case hex of the wire bytes.
    std::string LogText() const;
};

// The reply lengths of the QOP message table (whole messages, "@" to LF),
// the command lengths and 0 for an unknown id.
uint16_t QopCommandLength(uint8_t id1, uint8_t id2);
uint16_t QopReplyLength(uint8_t id1, uint8_t id2);

class CommandCollector {
public:
    CommandCollector();
    // Feeds one byte; true with `out` filled when it completes a command.
    bool Feed(uint8_t b, Command& out);
    void Reset();

private:
    enum { LIMIT = 1100 };  // longer than any command: a runaway collector gives up
    struct Candidate {
        int state = 0;
        Bytes buf;
        bool escape = false;
        size_t want = 0;
    };
    bool FeedQbin(uint8_t b, Command& out);
    bool FeedText(Candidate& p, uint8_t start, uint8_t b, Command& out, bool nmea);
    bool FeedQop(uint8_t b, Command& out);
    bool FeedKesto(uint8_t b, Command& out);
    bool FeedMon(uint8_t b, Command& out);
    bool FeedUbx(uint8_t b, Command& out);

    Candidate m_qbin, m_nmea, m_qtxt, m_qop, m_kesto, m_mon, m_ubx;
};

}  // namespace rxsim
