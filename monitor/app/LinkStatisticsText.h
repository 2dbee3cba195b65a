#pragma once
// The serial statistics the main window shows as its status bar's tooltip,
// and the progress of a replayed recording. Both are plain arithmetic on the
// link's counters, kept apart from the window so they can be checked exactly.
#include <cstdint>

#include "framework/CString.h"

// "Incoming Serial Data Statistics\n..." for the totals so far. `seconds` is
// how long the link has been open (0 gives a traffic of 0); a packet count of
// 0 gives an average size of 0. When the link has counted checksum errors
// (crcErrors above 0) a last line "Checksum/CRC errors:    %d" follows.
CString FormatSerialStatistics(uint32_t bytes, uint32_t packets, uint32_t seconds, uint16_t crcErrors);

// The once-a-second bookkeeping behind the text: the seconds counter, the
// byte total of the last tick and the CRC error count of the link.
class CSerialStatistics {
public:
    CSerialStatistics() { Reset(); }

    // A new link: everything back to 0.
    void Reset()
    {
        m_seconds = 0;
        m_lastBytes = 0;
        m_crcErrors = 0;
    }

    // One checksum error more (wraps at 65536 as the 16-bit count it is).
    void CountCrcError() { m_crcErrors = static_cast<uint16_t>(m_crcErrors + 1u); }

    // The 1 s tick: counts the second, remembers the byte total and returns
    // the text for the totals the link reports now.
    CString Tick(uint32_t bytes, uint32_t packets);

    uint32_t GetSeconds() const { return m_seconds; }
    uint32_t GetLastBytes() const { return m_lastBytes; }
    uint16_t GetCrcErrors() const { return m_crcErrors; }

private:
    uint32_t m_seconds;
    uint32_t m_lastBytes;
    uint16_t m_crcErrors;
};

// Where a replay stands, for a progress bar whose range is set with
// SetRange32: the bar counts kilobytes, so the range fits whatever the file's
// size, and the percentage is worked out in 64 bits so files above 21 MB do
// not overflow.
struct PlaybackProgress {
    int32_t rangeUpper;  // file size / 1024
    int32_t position;    // bytes read / 1024
    int32_t percent;     // bytes read * 100 / file size; 0 for an empty file
    CString text;        // "%d%%"
};

// Bytes read beyond the file size (a file that grew) show as 100%.
PlaybackProgress ComputePlaybackProgress(uint32_t bytesRead, uint32_t fileSize);
