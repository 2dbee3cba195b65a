#include "model/Crc.h"

namespace {

// Tables are built once at start-up rather than spelled out: 256 entries each
// are easy to get wrong by hand and cheap to compute.
struct CrcTables {
    uint32_t crc32[256];
    uint16_t crc16[256];
    CrcTables()
    {
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1u) ? (0xEDB88320u ^ (c >> 1)) : (c >> 1);
            crc32[n] = c;
            uint32_t d = n;
            for (int k = 0; k < 8; ++k) d = (d & 1u) ? (0xA001u ^ (d >> 1)) : (d >> 1);
            crc16[n] = static_cast<uint16_t>(d);
        }
    }
};

const CrcTables& Tables()
{
    static const CrcTables tables;
    return tables;
}

} // namespace

uint32_t ComputeCrc32(const uint8_t* bytes, int32_t length)
{
    if (bytes == nullptr || length <= 0) return 0;
    const uint32_t* table = Tables().crc32;
    uint32_t crc = 0xFFFFFFFFu;
    for (int32_t i = 0; i < length; ++i) crc = table[(crc ^ bytes[i]) & 0xFFu] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

uint16_t ComputeCrc16(const uint8_t* bytes, int32_t length)
{
    uint16_t crc = 0xFFFF;
    if (bytes == nullptr || length <= 0) return crc;
    const uint16_t* table = Tables().crc16;
    for (int32_t i = 0; i < length; ++i)
        crc = static_cast<uint16_t>(table[(crc ^ bytes[i]) & 0xFFu] ^ (crc >> 8));
    return crc;
}
