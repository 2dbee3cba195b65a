#include "app/MainWndLinkRules.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

LinkComboChoice ParseLinkComboItem(const char* text)
{
    LinkComboChoice choice = {LINK_COMBO_RESELECT, 0};
    if (text == nullptr) return choice;
    if (std::strcmp(text, "IDLE") == 0) {
        choice.action = LINK_COMBO_IDLE;
        return choice;
    }
    if (std::strcmp(text, "FILE") == 0) {
        choice.action = LINK_COMBO_FILE;
        return choice;
    }
    const char* blank = std::strchr(text, ' ');
    if (blank == nullptr) return choice;
    // Digits only, and few enough that the value cannot overflow: the list
    // holds what the machine's port enumeration produced, but a bad entry
    // must not become a strange port number.
    const char* p = blank + 1;
    long port = 0;
    int digits = 0;
    while (std::isdigit(static_cast<unsigned char>(*p)) && digits < 4) {
        port = port * 10 + (*p - '0');
        ++p;
        ++digits;
    }
    if (port >= 1 && port <= 255) {
        choice.action = LINK_COMBO_PORT;
        choice.port = static_cast<int>(port);
    }
    return choice;
}

CString LinkComboItemForMode(int linkMode, int port)
{
    CString item;
    if (linkMode == 1)
        item.Format("COM %d", port);
    else if (linkMode == 2)
        item = "FILE";
    else
        item = "IDLE";
    return item;
}

bool ApplyOutputFormat(IoOptions& options, int format)
{
    switch (format) {
    case 1: options.velocity = static_cast<uint8_t>((options.velocity & ~0x01) | 0x02); return true;
    case 2: options.velocity = static_cast<uint8_t>((options.velocity & ~0x02) | 0x01); return true;
    case 4: options.position = static_cast<uint8_t>((options.position & ~0x01) | 0x02); return true;
    case 5: options.position = static_cast<uint8_t>((options.position & ~0x02) | 0x01); return true;
    case 6: options.position = static_cast<uint8_t>(options.position | 0x04); return true;
    case 7: options.position = static_cast<uint8_t>(options.position & ~0x04); return true;
    case 8: options.timing = static_cast<uint8_t>(options.timing & ~0x01); return true;
    case 9: options.timing = static_cast<uint8_t>(options.timing | 0x01); return true;
    case 10: options.auxiliary = static_cast<uint8_t>(options.auxiliary | 0x08); return true;
    case 11: options.auxiliary = static_cast<uint8_t>(options.auxiliary & ~0x08); return true;
    case 12: options.position = static_cast<uint8_t>(options.position & ~0x10); return true;
    case 13: options.position = static_cast<uint8_t>(options.position | 0x10); return true;
    default: return false;
    }
}

void GetOutputFormatChecks(const IoOptions& options, int codes[OUTPUT_FORMAT_CHECK_COUNT])
{
    codes[0] = (options.position & 0x04) ? 6 : 7;
    codes[1] = (options.position & 0x01) ? 5 : 4;
    codes[2] = (options.position & 0x10) ? 13 : 12;
    codes[3] = (options.velocity & 0x01) ? 2 : 1;
    codes[4] = (options.timing & 0x01) ? 9 : 8;
    codes[5] = (options.auxiliary & 0x08) ? 10 : 11;
}

bool ApplyAutoQueryAction(int action, int32_t& enabled, int32_t& remembered)
{
    switch (action) {
    case 0: return true;
    case 1:
        remembered = enabled;
        enabled = 0;
        return true;
    case 2: enabled = 1; return true;
    case 3: enabled = remembered; return true;
    default: return false;
    }
}

const char kTrackerProbe[] = "AT\r\n";

bool IsTrackerOkReply(const BYTE* reply, int length)
{
    if (reply == nullptr) return false;
    for (int i = 0; i + 1 < length; ++i) {
        if (std::tolower(reply[i]) == 'o' && std::tolower(reply[i + 1]) == 'k') return true;
    }
    return false;
}

CString BuildTrackerConnectCommand(int32_t protocol, int32_t antenna)
{
    CString command = protocol == 3 ? "at+ctkt=70" : "at+ctkt=71";
    if (antenna == 1)
        command += ",2";
    else if (antenna == 2)
        command += ",1";
    command += "\r\n";
    return command;
}

int32_t TransferPercent(int32_t position, int32_t range)
{
    if (range <= 0 || position <= 0) return 0;
    int64_t percent = static_cast<int64_t>(position) * 100 / range;
    return percent > 100 ? 100 : static_cast<int32_t>(percent);
}
