#pragma once
// The port values of the command line and the small number readers every
// mode parser shares.
//
// The readers return the text of the message the user sees when a value is
// refused (nullptr when it is accepted), so the parsing stays free of message
// boxes and each mode parser shows the text itself.
#include <cstdint>
#include <vector>

#include "app/CCmdLineOptions.h"
#include "framework/CString.h"
#include "link/ProtocolKind.h"

// A monitor port value "baud,data bits,parity,stop bits,protocol".
struct CmdLinePortSettings {
    int32_t port = 0;       // 1..64; 0 when no port was given
    int32_t baud = 0;
    int32_t dataBits = 0;   // 7 or 8
    int32_t parity = 0;     // 0 none, 1 odd, 2 even
    int32_t stopBits = 0;   // code: 0 one, 2 two
    ProtocolKind protocol = PROTO_NONE;
};

// One port of the data recorder or the TTFF tester:
// "baud,data bits,parity,stop bits,protocol,file name".
struct CmdLinePortEntry {
    int32_t port = 0;       // 1..256
    int32_t baud = 0;
    int32_t dataBits = 0;   // 7 or 8
    int32_t stopBits = 0;   // 1 or 2
    char parity = 'N';      // 'N', 'O' or 'E'
    ProtocolKind protocol = PROTO_NONE;
    CString fileName;
};

// The most ports one recorder or tester run takes.
const int32_t kMaxCmdLinePortEntries = 32;

// Reads a monitor port value into `out` (port untouched).
const char* ParseMonitorPortValue(const CString& value, CmdLinePortSettings& out);
// Reads a recorder or tester port value into `out` (port untouched). With
// `appendLogExtension` a file name without a "." gets ".log".
const char* ParseRecorderPortValue(const CString& value, bool appendLogExtension, CmdLinePortEntry& out);
// Fills up to 32 entries from the options "-c1" .. "-c256", lowest number
// first; "No valid port specified." when there is none.
const char* ReadPortEntries(const CCmdLineOptions& options, bool appendLogExtension,
                            std::vector<CmdLinePortEntry>& entries);

// "-c<n>", the name of a port option.
CString PortOptionName(int32_t port);

// A whole decimal integer: an optional sign and digits, nothing else, inside
// the 32-bit range. False for anything else (an empty text included).
bool ParseCmdLineInteger(const CString& text, int32_t& value);
// A whole hexadecimal 32-bit number, with or without "0x".
bool ParseCmdLineHex(const CString& text, uint32_t& value);

// Shows a refused option's message (a plain OK box captioned with the
// application's name) and returns false, the parse result that ends the program.
bool RefuseCmdLineOption(const char* message);
