#include "model/CrcErrorReport.h"

#include "model/CModel.h"
#include "model/Crc.h"

namespace {

// Bytes per line of the raw dump; later lines are indented under the first.
const int kBytesPerLine = 20;

CString PacketName(const BYTE* packet, int length)
{
    CString name;
    if (packet == nullptr || length < 2) return name;
    const BYTE id = packet[1];
    name.Format("0x%02X", id);
    // Report families are named with their sub-codes so the reader of the log
    // can tell which report of the family failed.
    if ((id == 0x8F || id == 0x5F) && length > 2) {
        name.AppendFormat("-%02X", packet[2]);
        if (id == 0x5F && (packet[2] == 1 || packet[2] == 3) && length > 3)
            name.AppendFormat("-%02X", packet[3]);
    }
    return name;
}

} // namespace

void FormatCrcErrorReportText(CString& out, LPCTSTR prefix, const BYTE* packet, int length,
                              int expectedSize, uint32_t expectedCrc)
{
    if (packet == nullptr || length < 0) length = 0;
    out.Format("QBIN CRC error for Packet %s: \r\n", static_cast<LPCTSTR>(PacketName(packet, length)));
    if (prefix != nullptr && *prefix != '\0') out += prefix;
    // Data lie between DLE id and DLE ETX.
    const int dataSize = length >= 4 ? length - 4 : 0;
    const uint32_t actualCrc = dataSize > 0 ? ComputeCrc32(packet + 2, dataSize) : 0;
    out.AppendFormat("  Expected: data size: %3d, CRC: 0x%04X\r\n  Actual:   data size: %3d, CRC: "
                     "0x%04X\r\n  Raw Data:",
                     expectedSize, static_cast<unsigned>(expectedCrc & 0xFFFFu), dataSize,
                     static_cast<unsigned>(actualCrc & 0xFFFFu));
    for (int i = 0; i < length; ++i) {
        if (i > 0 && i % kBytesPerLine == 0) out += "\r\n           ";
        out.AppendFormat(" %02X", packet[i]);
    }
    out += "\r\n";
}

void FormatCrcErrorReport(CString& out, LPCTSTR prefix, const BYTE* packet, int length, CModel* model)
{
    uint16_t size = 0;
    uint16_t crc = 0;
    if (model != nullptr) model->GetExpectedCrc(size, crc);
    FormatCrcErrorReportText(out, prefix, packet, length, size, crc);
}
