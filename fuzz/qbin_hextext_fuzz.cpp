// Hex command texts typed by the user, through the QBIN hex-text builder.
// Besides running clean under the sanitizers, the result must agree with a
// plain reading of the rule: a text is accepted exactly when it holds at
// least one token and every blank-separated token is one or two hex digits,
// and the packet then carries those bytes, stuffed and framed.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "protocol/QbinCommands.h"

namespace {

int HexValue(unsigned char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The rule read directly: blanks are the characters up to and including space.
bool ReferenceParse(const std::string& text, std::vector<uint8_t>& out)
{
    out.clear();
    size_t i = 0;
    while (i < text.size()) {
        if (static_cast<unsigned char>(text[i]) <= 0x20) {
            ++i;
            continue;
        }
        size_t end = i;
        int value = 0;
        while (end < text.size() && static_cast<unsigned char>(text[end]) > 0x20) {
            const int v = HexValue(static_cast<unsigned char>(text[end]));
            if (v < 0 || end - i >= 2) return false;
            value = value * 16 + v;
            ++end;
        }
        out.push_back(static_cast<uint8_t>(value));
        i = end;
    }
    return !out.empty();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 65536) return 0;
    // The text arrives as a C string, so it ends at the first 0 byte.
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string typed(text.c_str());

    CByteArray packet;
    CString error;
    const bool built = BuildQbinFromHexText(packet, typed.c_str(), &error);

    std::vector<uint8_t> expected;
    const bool valid = ReferenceParse(typed, expected);
    if (built != valid) abort();
    if (!built) {
        // Refused: nothing to send, and a reason to show.
        if (packet.GetSize() != 0 || error.IsEmpty()) abort();
        return 0;
    }
    if (!error.IsEmpty()) abort();

    // DLE, id, stuffed data, DLE ETX, and the data de-stuffs to the bytes typed.
    const INT_PTR n = packet.GetSize();
    if (n < 4 || packet[0] != 0x10 || packet[1] != expected[0] || packet[n - 2] != 0x10 || packet[n - 1] != 0x03)
        abort();
    size_t k = 1;
    for (INT_PTR i = 2; i < n - 2; ++i) {
        uint8_t b = packet[i];
        if (b == 0x10) {
            if (i + 1 >= n - 2 || packet[i + 1] != 0x10) abort();
            ++i;
        }
        if (k >= expected.size() || expected[k] != b) abort();
        ++k;
    }
    if (k != expected.size()) abort();
    return 0;
}
