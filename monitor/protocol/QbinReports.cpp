#include "protocol/QbinReports.h"

#include <cstdarg>
#include <cstdio>
#include <memory>
#include <string>

#include "link/CConverterEngine.h"
#include "model/CModel.h"
#include "model/NumberFormat.h"
#include "protocol/QbinReportDecoders.h"
#include "protocol/QbinTimingReports.h"

namespace {

// needed = the bytes the decoder reads. Where the receiver's own table lists
// a report only for some lengths, a report of another length is refused whole
// and never reaches its decoder. Rows of one id and sub-code that list
// several lengths (0x4A, 0xBB, 0x8F-20, 0x5F-03) each carry their own need.
const QbinLengthRule kLengthTable[] = {
    {0x13, QBIN_ANY_SUBCODE, 0, QBIN_ANY_LENGTH, 1},
    {0x14, QBIN_ANY_SUBCODE, 2, 2, 2},
    {0x1C, 0x82, 0, QBIN_ANY_LENGTH, 10},
    {0x1C, 0x83, 0, QBIN_ANY_LENGTH, 13},
    {0x1C, QBIN_ANY_SUBCODE, 0, QBIN_ANY_LENGTH, 1},
    {0x38, QBIN_ANY_SUBCODE, 3, 3, 3},
    {0x40, QBIN_ANY_SUBCODE, 39, 39, 39},
    {0x41, QBIN_ANY_SUBCODE, 10, 10, 10},
    {0x42, QBIN_ANY_SUBCODE, 16, 16, 16},
    {0x43, QBIN_ANY_SUBCODE, 20, 20, 20},
    {0x45, QBIN_ANY_SUBCODE, 10, 10, 10},
    {0x46, QBIN_ANY_SUBCODE, 2, 2, 2},
    {0x47, QBIN_ANY_SUBCODE, 1, 61, 1},
    {0x48, QBIN_ANY_SUBCODE, 22, 22, 22},
    {0x49, QBIN_ANY_SUBCODE, 32, 32, 32},
    {0x4A, QBIN_ANY_SUBCODE, 9, 9, 9},
    {0x4A, QBIN_ANY_SUBCODE, 20, 20, 20},
    {0x4B, QBIN_ANY_SUBCODE, 3, 3, 3},
    {0x4C, QBIN_ANY_SUBCODE, 17, 17, 17},
    {0x4D, QBIN_ANY_SUBCODE, 4, 4, 4},
    {0x4E, QBIN_ANY_SUBCODE, 1, 1, 1},
    {0x4F, QBIN_ANY_SUBCODE, 26, 26, 26},
    {0x54, QBIN_ANY_SUBCODE, 12, 12, 12},
    {0x55, QBIN_ANY_SUBCODE, 4, 4, 4},
    {0x56, QBIN_ANY_SUBCODE, 20, 20, 20},
    {0x57, QBIN_ANY_SUBCODE, 8, 8, 8},
    {0x58, QBIN_ANY_SUBCODE, 3, 171, 3},
    {0x59, QBIN_ANY_SUBCODE, 33, 33, 33},
    {0x5A, QBIN_ANY_SUBCODE, 25, 25, 25},
    {0x5B, QBIN_ANY_SUBCODE, 16, 16, 16},
    {0x5C, QBIN_ANY_SUBCODE, 24, 24, 24},
    // Diagnostics: the class decoders check their own fields; 0x5F-03's rule
    // applies only to its text form (see CheckQbinReportLength).
    {0x5F, 0x03, 12, 15, 12},
    {0x5F, 0x03, 21, 21, 21},
    {0x5F, 0x03, 53, 53, 53},
    {0x5F, 0x03, 67, 67, 67},
    {0x5F, 0x03, 443, 443, 443},
    {0x5F, QBIN_ANY_SUBCODE, 0, QBIN_ANY_LENGTH, 1},
    {0x6D, QBIN_ANY_SUBCODE, 17, 29, 17},
    {0x6E, QBIN_ANY_SUBCODE, 3, 3, 3},
    {0x6F, 0x01, 32, 390, 32},
    {0x6F, QBIN_ANY_SUBCODE, 0, QBIN_ANY_LENGTH, 1},
    {0x70, QBIN_ANY_SUBCODE, 4, 4, 4},
    {0x72, QBIN_ANY_SUBCODE, 32, 32, 32},
    {0x74, QBIN_ANY_SUBCODE, 4, 4, 4},
    {0x79, QBIN_ANY_SUBCODE, 12, 12, 12},
    {0x7B, QBIN_ANY_SUBCODE, 6, 6, 6},
    {0x7F, QBIN_ANY_SUBCODE, 24, 24, 24},
    {0x82, QBIN_ANY_SUBCODE, 1, 1, 1},
    {0x83, QBIN_ANY_SUBCODE, 36, 36, 36},
    {0x84, QBIN_ANY_SUBCODE, 36, 36, 36},
    {0x85, QBIN_ANY_SUBCODE, 22, 22, 22},
    {0x8F, 0x14, 43, 43, 43},
    {0x8F, 0x15, 43, 43, 43},
    {0x8F, 0x17, 24, 24, 24},
    {0x8F, 0x18, 40, 40, 40},
    {0x8F, 0x19, 3, 3, 3},
    {0x8F, 0x20, 56, 56, 56},
    {0x8F, 0x20, 64, 64, 64},
    {0x8F, 0x23, 29, 29, 29},
    {0x8F, 0x26, 5, 5, 5},
    {0x8F, 0x40, 11, 11, 11},
    {0x8F, 0x41, 17, 17, 17},
    {0x8F, 0x42, 19, 19, 19},
    {0x8F, 0x4A, 16, 16, 16},
    {0x8F, 0x4D, 0, QBIN_ANY_LENGTH, 5},
    {0x8F, 0x4E, 0, QBIN_ANY_LENGTH, 2},
    {0x8F, 0x4F, 9, 9, 9},
    {0x8F, 0xA2, 0, QBIN_ANY_LENGTH, 2},
    {0x8F, 0xA5, 0, QBIN_ANY_LENGTH, 5},
    {0x8F, 0xA6, 0, QBIN_ANY_LENGTH, 2},
    {0x8F, 0xA8, 0, QBIN_ANY_LENGTH, 6},   // type 3's one float; longer types check more
    {0x8F, 0xA9, 0, QBIN_ANY_LENGTH, 7},
    {0x8F, 0xAB, 17, 17, 17},
    {0x8F, 0xAC, 68, 68, 68},
    {0x8F, QBIN_ANY_SUBCODE, 0, QBIN_ANY_LENGTH, 1},
    {0xAA, QBIN_ANY_SUBCODE, 4, 4, 4},
    {0xBB, QBIN_ANY_SUBCODE, 40, 40, 40},
    {0xBB, QBIN_ANY_SUBCODE, 43, 43, 43},
    {0xBC, QBIN_ANY_SUBCODE, 10, 10, 10},
    {0xC2, QBIN_ANY_SUBCODE, 0, QBIN_ANY_LENGTH, 4},
};

const int kLengthTableCount = static_cast<int>(sizeof(kLengthTable) / sizeof(kLengthTable[0]));

bool HasSubcode(BYTE id)
{
    return id == 0x8F || id == 0x5F || id == 0x6F || id == 0x1C;
}

// 0x5F-03's lengths bind only the text form of the report: class byte 1 set
// and no 'X' marker at data 6. A report too short to hold the marker is
// judged by the rule, which refuses it (every listed length is longer).
bool Uses5F03Rule(const BYTE* id, int dataLength)
{
    if (dataLength < 2 || id[1] != 0x03) return false;
    if (id[2] != 1) return false;
    return dataLength < 7 || id[7] != 'X';
}

// Where each id's rows lie in the length table. Every QBIN packet is looked
// up several times on its way in, so the whole table is not searched each time.
struct IdRows {
    int16_t first = -1;
    int16_t last = -2;
};

const IdRows* RowsOfIds()
{
    static const struct Index {
        IdRows ids[256];
        Index()
        {
            for (int i = 0; i < kLengthTableCount; ++i) {
                IdRows& r = ids[kLengthTable[i].id];
                if (r.first < 0) r.first = static_cast<int16_t>(i);
                r.last = static_cast<int16_t>(i);
            }
        }
    } index;
    return index.ids;
}

// The rows for this packet: those of its sub-code when it has any, else the
// id's general rows. first/last bound them in the table and subcode says
// which rows in that range count; false when none.
bool FindRows(const BYTE* id, int dataLength, int& first, int& last, int& subcode)
{
    const BYTE code = id[0];
    int sub = QBIN_ANY_SUBCODE;
    if (HasSubcode(code) && dataLength >= 1) sub = id[1];
    if (code == 0x5F && sub == 0x03 && !Uses5F03Rule(id, dataLength)) sub = QBIN_ANY_SUBCODE;
    const IdRows& rows = RowsOfIds()[code];
    for (int pass = 0; pass < 2; ++pass) {
        const int want = pass == 0 ? sub : QBIN_ANY_SUBCODE;
        if (pass == 1 && sub == QBIN_ANY_SUBCODE) break;
        first = -1;
        for (int i = rows.first; i <= rows.last; ++i) {
            if (kLengthTable[i].id != code || kLengthTable[i].subcode != want) continue;
            if (first < 0) first = i;
            last = i;
        }
        if (first >= 0) {
            subcode = want;
            return true;
        }
    }
    return false;
}

// The translation text of a report. The reports of a thread share one
// string, whose room stays from report to report instead of being allocated
// for each; a report decoded while another is (from a listener of its
// events) gets a string of its own.
class ReportText {
public:
    ReportText() : m_shared(!t_inUse)
    {
        if (!m_shared) return;
        t_inUse = true;
        t_text.clear();
    }
    ~ReportText()
    {
        if (m_shared) t_inUse = false;
    }
    ReportText(const ReportText&) = delete;
    ReportText& operator=(const ReportText&) = delete;
    std::string& Get() { return m_shared ? t_text : m_own; }

private:
    static thread_local std::string t_text;
    static thread_local bool t_inUse;
    const bool m_shared;
    std::string m_own;
};

thread_local std::string ReportText::t_text;
thread_local bool ReportText::t_inUse = false;

}  // namespace

void AppendQbinText(std::string& text, const char* format, ...)
{
    char buffer[512];
    va_list args;
    va_start(args, format);
    int n = FormatTextV(buffer, sizeof buffer, format, args);
    va_end(args);
    if (n > 0) text.append(buffer, n < static_cast<int>(sizeof buffer) ? n : sizeof buffer - 1);
}

void AppendQbinRawDump(std::string& text, BYTE id, const BYTE* data, int dataLength)
{
    text += "\r\nRaw data:\r\n  ";
    int index = 0;
    auto put = [&](BYTE b) {
        if (index > 0 && index % 20 == 0) text += "\r\n  ";
        AppendQbinText(text, " %02X", b);
        ++index;
    };
    put(0x10);
    put(id);
    for (int i = 0; i < dataLength; ++i) put(data[i]);
    put(0x10);
    put(0x03);
}

void WriteQbinBadLength(CConverterEngine* converter, BYTE id, const BYTE* data, int dataLength)
{
    if (converter == nullptr || !converter->IsTranslationOn()) return;
    std::string text;
    AppendQbinText(text,
                   "\r\nQBIN report packet ID %2Xh, data length %d (excl. DLE, Pkt ID, DLE/ETX): "
                   "Bad length",
                   static_cast<unsigned>(id), dataLength);
    if (converter->IsRawDataOn()) AppendQbinRawDump(text, id, data, dataLength);
    converter->WriteTranslationText(text.c_str(), false, false);
}

void AppendQbinNotSupported(std::string& text, CConverterEngine* converter, BYTE id,
                            const BYTE* data, int dataLength)
{
    AppendQbinText(text,
                   "\r\nQBIN report packet ID %2Xh, length %d (excl. DLE, Pkt ID, DLE/ETX): "
                   "translation not supported",
                   static_cast<unsigned>(id), dataLength);
    if (converter != nullptr && converter->IsRawDataOn())
        AppendQbinRawDump(text, id, data, dataLength);
}

const QbinLengthRule* GetQbinLengthTable(int& count)
{
    count = kLengthTableCount;
    return kLengthTable;
}

bool CheckQbinReportLength(const BYTE* id, int dataLength, CConverterEngine* converter)
{
    if (id == nullptr || dataLength < 0) return false;
    int first = 0;
    int last = 0;
    int subcode = 0;
    if (!FindRows(id, dataLength, first, last, subcode)) return true;
    for (int i = first; i <= last; ++i) {
        const QbinLengthRule& r = kLengthTable[i];
        if (r.id != id[0] || r.subcode != subcode) continue;
        if (dataLength >= r.minAccepted && dataLength <= r.maxAccepted) return true;
    }
    WriteQbinBadLength(converter, id[0], id + 1, dataLength);
    return false;
}

int GetQbinNeededLength(const BYTE* id, int dataLength)
{
    if (id == nullptr || dataLength < 0) return 0;
    int first = 0;
    int last = 0;
    int subcode = 0;
    if (!FindRows(id, dataLength, first, last, subcode)) return 0;
    int smallest = QBIN_ANY_LENGTH;
    for (int i = first; i <= last; ++i) {
        const QbinLengthRule& r = kLengthTable[i];
        if (r.id != id[0] || r.subcode != subcode) continue;
        if (dataLength >= r.minAccepted && dataLength <= r.maxAccepted) return r.needed;
        if (r.needed < smallest) smallest = r.needed;
    }
    return smallest;
}

bool FindQbinPacketStart(const BYTE* frame, int& length, int& start, CConverterEngine* converter)
{
    if (frame == nullptr || length < 5) return false;
    int candidate = 0;
    while (candidate < length && frame[candidate] != 0x10) ++candidate;
    for (;;) {
        // The candidate needs room for its id and the closing DLE ETX.
        if (candidate > length - 4) return false;
        const int dataLength = length - candidate - 4;
        if (CheckQbinReportLength(frame + candidate + 1, dataLength, converter)) {
            start = candidate;
            length -= candidate;
            return true;
        }
        if (frame[candidate + 1] == 0x10) {
            // A doubled DLE: its second byte may be the true start.
            candidate += 1;
        } else {
            candidate += 2;
            while (candidate < length && frame[candidate] != 0x10) ++candidate;
        }
    }
}

void DecodeQbinReport(const BYTE* frame, int length, CModel* model, CConverterEngine* converter)
{
    // DLE, id and DLE ETX at least.
    if (frame == nullptr || length < 4) return;
    const BYTE id = frame[1];
    const BYTE* data = frame + 2;
    const int dataLength = length - 4;
    const bool translate = converter != nullptr && converter->IsTranslationOn();
    if (!translate) converter = nullptr;

    if (!CheckQbinReportLength(frame + 1, dataLength, converter)) return;
    if (dataLength < GetQbinNeededLength(frame + 1, dataLength)) {
        WriteQbinBadLength(converter, id, data, dataLength);
        return;
    }

    // Translation without a model still needs somewhere for the decoders to
    // read and store; a private model raises nothing (it has no owner).
    std::unique_ptr<CModel> scratch;
    if (model == nullptr) {
        if (!translate) return;  // nowhere to store and nothing to write
        scratch.reset(new CModel());
        model = scratch.get();
    }

    if (translate) converter->WritePacketHeader(frame + 1, length - 3);

    if (id == 0x8F || id == 0x5F) {
        const uint64_t before = translate ? converter->GetTranslationBytes() : 0;
        bool decoded = id == 0x8F ? DecodeQbinTimingReport(data, dataLength, model, converter)
                                  : DecodeQbinDiagReport(data, dataLength, model, converter);
        if (!decoded && translate && converter->GetTranslationBytes() == before) {
            std::string text;
            AppendQbinNotSupported(text, converter, id, data, dataLength);
            converter->WriteTranslationText(text.c_str(), false, false);
        }
        return;
    }

    ReportText text;
    QbinReportContext ctx{id, data, dataLength, model, converter, text.Get()};
    if (!DecodeQbinStandardReport(ctx) && translate && ctx.text.empty())
        AppendQbinNotSupported(ctx.text, converter, id, data, dataLength);
    if (translate && !ctx.text.empty()) converter->WriteTranslationText(ctx.text.c_str(), false, false);
}
