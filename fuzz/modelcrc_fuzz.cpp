// The model's handling of packet bytes from a device or a recording: the CRC
// announcement check, the CRC error text and the diagnostic log, over any
// bytes and any length (0..7 included). Files go to memory.
//
// Input: byte 0 picks what to do with the rest; bytes 1..4 are an
// announcement (size, CRC); the remainder is the packet or report.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "framework/CFile.h"
#include "framework/CString.h"
#include "framework/MemoryFileBackend.h"
#include "model/CModel.h"
#include "model/CrcErrorReport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static MemoryFileBackend files;
    CFile::SetBackend(&files);
    if (size == 0) return 0;
    const uint8_t mode = data[0];
    uint16_t announcedSize = 0, announcedCrc = 0;
    size_t offset = 1;
    if (size >= 5) {
        announcedSize = static_cast<uint16_t>((data[1] << 8) | data[2]);
        announcedCrc = static_cast<uint16_t>((data[3] << 8) | data[4]);
        offset = 5;
    }
    // An exact-size copy, so a read past the end is caught.
    std::vector<uint8_t> rest(data + offset, data + size);
    const int length = static_cast<int>(rest.size());
    const uint8_t* bytes = rest.empty() ? nullptr : rest.data();
    {
        CModel model;
        if (mode & 1) model.SetExpectedCrc(announcedSize, announcedCrc);
        model.CheckPacketCrc(bytes, length);
        model.CheckPacketCrc(bytes, length);
        CString text;
        model.SetLastRawFrame(3, bytes, length);
        FormatCrcErrorReport(text, "", bytes, length, &model);
        model.SetPlaybackFileName((mode & 2) ? "run.qbl" : "");
        model.WriteDiagLog(bytes, length);
        for (int cut = 0; cut <= 7 && cut <= length; ++cut) model.WriteDiagLog(bytes, cut);
    }
    files.RemoveAllFiles();
    return 0;
}
