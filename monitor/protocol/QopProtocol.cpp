#include "protocol/QopProtocol.h"

#include <initializer_list>

#include "framework/CArray.h"
#include "framework/CString.h"
#include "model/ModelRecords.h"
#include "protocol/QbinCommands.h"

namespace {
constexpr uint16_t Id(char a, char b)
{
    return static_cast<uint16_t>((static_cast<uint8_t>(a) << 8) | static_cast<uint8_t>(b));
}
}  // namespace

const QopMessageRow kQopMessageTable[QOP_MESSAGE_COUNT + 1] = {
    {Id('A', 'd'), 11, 11, nullptr},  {Id('A', 'e'), 11, 11, nullptr},
    {Id('A', 'f'), 12, 15, nullptr},  {Id('A', 'g'), 8, 8, nullptr},
    {Id('A', 's'), 20, 20, nullptr},  {Id('A', 'w'), 8, 8, nullptr},
    {Id('A', 'y'), 11, 11, nullptr},  {Id('A', 'z'), 11, 11, nullptr},
    {Id('B', 'b'), 8, 92, &ParseQopSatellites},   {Id('B', 'j'), 8, 8, nullptr},
    {Id('B', 'o'), 8, 8, nullptr},    {Id('C', 'f'), 7, 7, nullptr},
    {Id('C', 'j'), 7, 294, &ParseQopVersion},  {Id('G', 'c'), 8, 8, nullptr},
    {Id('G', 'd'), 8, 8, nullptr},    {Id('G', 'e'), 8, 8, nullptr},
    {Id('G', 'f'), 9, 9, nullptr},    {Id('H', 'a'), 8, 154, &ParseQopPositionStatus},
    {Id('H', 'n'), 8, 78, nullptr},   {Id('I', 'a'), 7, 10, nullptr},
    {Id('W', 'b'), 7, 7, nullptr},    {0, 0, 0, nullptr},
};

void BeginQopMessage(CByteArray& message, char id1, char id2)
{
    message.RemoveAll();
    message.Add('@');
    message.Add('@');
    message.Add(static_cast<BYTE>(id1));
    message.Add(static_cast<BYTE>(id2));
}

void AppendQopByte(CByteArray& message, BYTE b)
{
    message.Add(b);
}

void EndQopMessage(CByteArray& message)
{
    // The checksum goes in a placeholder so it can be computed over the
    // message as it stands, with the same routine the check uses.
    message.Add(0);
    message.Add(0x0D);
    message.Add(0x0A);
    const int length = static_cast<int>(message.GetSize());
    message[length - 3] = ComputeQopChecksum(message.GetData(), length);
}

BYTE ComputeQopChecksum(const BYTE* message, int length)
{
    BYTE x = 0;
    if (message == nullptr) return 0;
    for (int i = 2; i <= length - 4; ++i) x ^= message[i];
    return x;
}

bool CheckQopMessage(const BYTE* message, int length)
{
    if (message == nullptr || length < 7) return false;
    return ComputeQopChecksum(message, length) == message[length - 3];
}

uint16_t FindQopMessage(const BYTE* message)
{
    if (message == nullptr) return QOP_NOT_FOUND;
    uint16_t id = static_cast<uint16_t>((message[2] << 8) | message[3]);
    // A zero id would match the end row; it is no message.
    if (id == 0) return QOP_NOT_FOUND;
    for (uint16_t i = 0; kQopMessageTable[i].id != 0; ++i) {
        if (kQopMessageTable[i].id == id) return i;
    }
    return QOP_NOT_FOUND;
}

uint16_t GetQopMessageLength(const BYTE* message, int selector)
{
    uint16_t row = FindQopMessage(message);
    if (row == QOP_NOT_FOUND) return 0;
    if (selector == QOP_LENGTH_COMMAND) return kQopMessageTable[row].commandLength;
    if (selector == QOP_LENGTH_REPLY) return kQopMessageTable[row].replyLength;
    return 0;
}

void DispatchQopMessage(const BYTE* message, int length, CModel* model)
{
    if (message == nullptr || length < 4) return;
    uint16_t row = FindQopMessage(message);
    if (row == QOP_NOT_FOUND || kQopMessageTable[row].parser == nullptr) return;
    // Replies have one fixed length; any other frame with the id is not one.
    if (length != kQopMessageTable[row].replyLength) return;
    kQopMessageTable[row].parser(message + 4, length - 4, model);
}

// ---- Command builders ----------------------------------------------------------

namespace {

enum : int { kSetDefaultsReset = 4 };
enum : uint8_t { kPortOutputQbinOnly = 0x02 };

// A builder that refuses its arguments leaves no partial message behind.
bool Nothing(CByteArray& message)
{
    message.RemoveAll();
    return false;
}

bool Simple(CByteArray& message, char id1, char id2, std::initializer_list<BYTE> data)
{
    BeginQopMessage(message, id1, id2);
    for (BYTE b : data) AppendQopByte(message, b);
    EndQopMessage(message);
    return true;
}

bool IsIdCharacter(char c)
{
    return c > 0x20 && c <= 0x7E;
}

// Only blanks: the text gives no data bytes, which is allowed here (the hex
// reader refuses a text without bytes).
bool IsBlank(const char* text)
{
    for (; *text != '\0'; ++text)
        if (static_cast<BYTE>(*text) > 0x20) return false;
    return true;
}

}  // namespace

bool BuildQopPositionQuery(CByteArray& message) { return Simple(message, 'H', 'a', {0x00}); }
bool BuildQopSatelliteQuery(CByteArray& message) { return Simple(message, 'B', 'b', {0x00}); }
bool BuildQopVersionQuery(CByteArray& message) { return Simple(message, 'C', 'j', {}); }

bool BuildQopSetDefaults(CByteArray& message, int resetType)
{
    if (resetType != kSetDefaultsReset) return Nothing(message);
    return Simple(message, 'C', 'f', {});
}

bool BuildQopPortCommand(CByteArray& message, BYTE setFlag, const PortConfigRecord* port)
{
    if (setFlag != 1 || port == nullptr || port->outputMask != kPortOutputQbinOnly) return Nothing(message);
    return Simple(message, 'W', 'b', {});
}

bool BuildQopFromHexText(CByteArray& message, const char* text, CString* error)
{
    if (error) error->Empty();
    CString command(text != nullptr ? text : "");
    command.Trim();
    if (command.IsEmpty()) {
        if (error) *error = "Nothing to send: the command text is empty";
        return Nothing(message);
    }
    if (command.GetLength() < 2 || !IsIdCharacter(command[0]) || !IsIdCharacter(command[1])) {
        if (error)
            error->Format("Not a QOP message id: \"%s\" (a command starts with its two id letters)",
                          command.Left(2).GetString());
        return Nothing(message);
    }
    const CString rest = command.Mid(2);
    CByteArray data;
    if (!IsBlank(rest.GetString()) && !ParseHexBytesText(rest.GetString(), data, error)) return Nothing(message);
    BeginQopMessage(message, command[0], command[1]);
    for (INT_PTR i = 0; i < data.GetSize(); ++i) AppendQopByte(message, data[i]);
    EndQopMessage(message);
    return true;
}
