#include "app/LinkStatisticsText.h"

CString FormatSerialStatistics(uint32_t bytes, uint32_t packets, uint32_t seconds, uint16_t crcErrors)
{
    const uint32_t averageSize = packets != 0 ? bytes / packets : 0;
    const uint32_t traffic = seconds != 0 ? bytes / seconds : 0;
    CString text;
    text.Format("Incoming Serial Data Statistics\n--------------------------------------\n"
                "Total bytes received:   %lu\nTotal packets received: %lu\n"
                "Average packet size:    %lu bytes\nAverage traffic:        %lu bytes/sec",
                static_cast<unsigned long>(bytes), static_cast<unsigned long>(packets),
                static_cast<unsigned long>(averageSize), static_cast<unsigned long>(traffic));
    if (crcErrors != 0) text.AppendFormat("\nChecksum/CRC errors:    %d", static_cast<int>(crcErrors));
    return text;
}

CString CSerialStatistics::Tick(uint32_t bytes, uint32_t packets)
{
    if (m_seconds != UINT32_MAX) ++m_seconds;
    m_lastBytes = bytes;
    return FormatSerialStatistics(bytes, packets, m_seconds, m_crcErrors);
}

PlaybackProgress ComputePlaybackProgress(uint32_t bytesRead, uint32_t fileSize)
{
    PlaybackProgress progress;
    progress.rangeUpper = static_cast<int32_t>(fileSize / 1024u);
    progress.position = static_cast<int32_t>(bytesRead / 1024u);
    if (fileSize == 0) {
        progress.percent = 0;
    } else {
        const uint64_t percent = static_cast<uint64_t>(bytesRead) * 100u / fileSize;
        progress.percent = percent > 100u ? 100 : static_cast<int32_t>(percent);
    }
    if (progress.position > progress.rangeUpper) progress.position = progress.rangeUpper;
    progress.text.Format("%d%%", static_cast<int>(progress.percent));
    return progress;
}
