#include "app/CmdLinePorts.h"

#include <cstdio>

#include "framework/MessagePrompter.h"

namespace {

bool IsBaudRate(int32_t baud)
{
    static const int32_t kRates[] = {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200, 128000, 256000};
    for (int32_t rate : kRates)
        if (rate == baud) return true;
    return false;
}

char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// The next field of a port value: the text up to the next ",", which is
// consumed. False, leaving `rest` alone, when there is no "," left.
bool TakeField(CString& rest, CString& field)
{
    const int comma = rest.Find(',');
    if (comma < 0) return false;
    field = rest.Left(comma);
    rest = rest.Mid(comma + 1);
    return true;
}

// The three fields both port values start with. `noBaud` is the message of
// a value without any ",".
const char* TakeBaudBitsParity(CString& rest, const char* noBaud, int32_t& baud, int32_t& dataBits,
                               char& parity)
{
    CString field;
    if (!TakeField(rest, field)) return noBaud;
    if (!ParseCmdLineInteger(field, baud) || !IsBaudRate(baud)) return "Invalid baud rate.";
    if (!TakeField(rest, field)) return "Number of data bits not specified.";
    if (!ParseCmdLineInteger(field, dataBits) || (dataBits != 7 && dataBits != 8))
        return "Invalid number of data bits.";
    if (!TakeField(rest, field) || field.GetLength() != 1) return "Parity not specified.";
    parity = UpperAscii(field[0]);
    if (parity != 'N' && parity != 'O' && parity != 'E') return "Invalid parity.";
    return nullptr;
}

// The stop-bits field ends at the next "," or at the end of the value, so a
// value that stops after the stop bits reaches the protocol check with an
// empty protocol, and only an empty field is "not specified".
const char* TakeStopBits(CString& rest, int32_t& stopBits)
{
    CString field;
    if (!TakeField(rest, field)) {
        field = rest;
        rest.Empty();
    }
    if (field.IsEmpty()) return "Number of stop bits not specified.";
    if (!ParseCmdLineInteger(field, stopBits) || (stopBits != 1 && stopBits != 2))
        return "Invalid number of stop bits.";
    return nullptr;
}

} // namespace

bool ParseCmdLineInteger(const CString& text, int32_t& value)
{
    const int length = text.GetLength();
    int i = 0;
    bool negative = false;
    if (i < length && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    if (i >= length) return false;
    int64_t v = 0;
    for (; i < length; ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
        if (v > static_cast<int64_t>(INT32_MAX) + 1) return false;  // stops before int64 could overflow
    }
    if (negative) v = -v;
    if (v < INT32_MIN || v > INT32_MAX) return false;
    value = static_cast<int32_t>(v);
    return true;
}

bool ParseCmdLineHex(const CString& text, uint32_t& value)
{
    const int length = text.GetLength();
    int i = 0;
    if (length >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) i = 2;
    if (i >= length || length - i > 8) return false;
    uint32_t v = 0;
    for (; i < length; ++i) {
        const char c = text[i];
        uint32_t digit;
        if (c >= '0' && c <= '9') digit = static_cast<uint32_t>(c - '0');
        else if (c >= 'a' && c <= 'f') digit = static_cast<uint32_t>(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F') digit = static_cast<uint32_t>(c - 'A' + 10);
        else return false;
        v = (v << 4) | digit;
    }
    value = v;
    return true;
}

CString PortOptionName(int32_t port)
{
    CString name;
    name.Format("-c%d", static_cast<int>(port));
    return name;
}

const char* ParseMonitorPortValue(const CString& value, CmdLinePortSettings& out)
{
    CString rest = value;
    int32_t baud = 0, dataBits = 0, stopBits = 0;
    char parity = 'N';
    if (const char* msg = TakeBaudBitsParity(rest, "Baud rate not specified.", baud, dataBits, parity)) return msg;
    if (const char* msg = TakeStopBits(rest, stopBits)) return msg;
    const ProtocolKind protocol = ParseProtocolName(rest);
    if (protocol == PROTO_NONE) return "Invalid protocol specified.";
    out.baud = baud;
    out.dataBits = dataBits;
    out.parity = parity == 'N' ? 0 : parity == 'O' ? 1 : 2;
    out.stopBits = stopBits == 1 ? 0 : 2;
    out.protocol = protocol;
    return nullptr;
}

const char* ParseRecorderPortValue(const CString& value, bool appendLogExtension, CmdLinePortEntry& out)
{
    CString rest = value;
    int32_t baud = 0, dataBits = 0, stopBits = 0;
    char parity = 'N';
    if (const char* msg = TakeBaudBitsParity(rest, "No baud rate specified.", baud, dataBits, parity)) return msg;
    if (const char* msg = TakeStopBits(rest, stopBits)) return msg;
    CString field;
    if (!TakeField(rest, field)) return "Protocol not specified.";
    const ProtocolKind protocol = ParseProtocolName(field);
    if (protocol == PROTO_NONE) return "Invalid protocol specified.";
    // The files are created in the run's output folder, so a name that
    // could point elsewhere is refused.
    if (rest.IsEmpty() || rest.FindOneOf(":\\/") >= 0) return "File name must not contain a path.";
    if (appendLogExtension && rest.Find('.') < 0) rest += ".log";
    out.baud = baud;
    out.dataBits = dataBits;
    out.stopBits = stopBits;
    out.parity = parity;
    out.protocol = protocol;
    out.fileName = rest;
    return nullptr;
}

const char* ReadPortEntries(const CCmdLineOptions& options, bool appendLogExtension,
                            std::vector<CmdLinePortEntry>& entries)
{
    entries.clear();
    // Ascending numbers, each port at most once, so one pass finds the same
    // entries as searching afresh for each.
    for (int32_t port = 1; port <= 256 && static_cast<int32_t>(entries.size()) < kMaxCmdLinePortEntries; ++port) {
        const CString name = PortOptionName(port);
        if (!options.HasOption(name)) continue;
        CmdLinePortEntry entry;
        if (const char* msg = ParseRecorderPortValue(options.GetValue(name), appendLogExtension, entry)) return msg;
        entry.port = port;
        entries.push_back(entry);
    }
    if (entries.empty()) return "No valid port specified.";
    return nullptr;
}

bool RefuseCmdLineOption(const char* message)
{
    AfxMessageBox(message, MB_OK);
    return false;
}
