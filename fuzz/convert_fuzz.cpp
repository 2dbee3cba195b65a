// A whole data conversion over untrusted recordings: the bytes through the
// frame handler, every decoder and the model into the converter engine and
// its writers, every output on, into files in memory. After the end of the
// data and Finish every output must be well formed: the KML closed exactly
// once, each GGA sentence with a valid checksum, three fields on each map CSV
// line, as many fields in each spreadsheet row as its header names, and no
// temporary file left.
//
// Three leading bytes choose the options. The first: bits 0-1 the processing
// range (none, every week, an eighth of one week, an empty range), bit 2
// spreadsheet parts, bits 3-4 the field separator, bit 5 a row every second
// without a fix, bit 6 "=na()" in unavailable fields, bit 7 the translation's
// packet ids and blank lines. The second and the low two bits of the third:
// the range's week (0-1023); bits 2-4 of the third: which eighth of it; bits
// 5-7: rows per spreadsheet part less one. The rest is the recording.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "FuzzSupport.h"
#include "support/ConversionPipeline.h"
#include "support/ConverterOutputs.h"

// Any undefined behaviour (a float cast out of range among them) ends the
// run as a finding, not as a line in the log.
extern "C" const char* __ubsan_default_options() { return "halt_on_error=1:print_stacktrace=1"; }

namespace {

using fuzzsupport::MemoryFiles;

const char kInput[] = "C:\\fuzz\\recording.qbl";
const size_t kOptionBytes = 3;
const int32_t kWeeksInRollover = 1024;
const int32_t kSecondsPerWeek = 604800;
const int32_t kRangeLength = kSecondsPerWeek / 8;

enum RangeMode { RANGE_NONE, RANGE_EVERY_WEEK, RANGE_WITHIN_WEEK, RANGE_EMPTY };

ConverterOptions OptionsOf(const uint8_t* bytes)
{
    const uint8_t mode = bytes[0];
    const int32_t week = bytes[1] | (bytes[2] & 3) << 8;
    const int32_t start = ((bytes[2] >> 2) & 7) * kRangeLength;
    ConverterOptions options = convsupport::EveryOutputOf(kInput);
    switch (static_cast<RangeMode>(mode & 3)) {
    case RANGE_NONE:
        break;
    case RANGE_EVERY_WEEK:
        options.rangeOn = true;
        options.startWeek = 0;
        options.startTimeOfWeek = 0;
        options.endWeek = kWeeksInRollover - 1;
        options.endTimeOfWeek = kSecondsPerWeek;
        break;
    case RANGE_WITHIN_WEEK:
        options.rangeOn = true;
        options.startWeek = options.endWeek = week;
        options.startTimeOfWeek = start;
        options.endTimeOfWeek = start + kRangeLength;
        break;
    case RANGE_EMPTY:
        options.rangeOn = true;
        options.startWeek = options.endWeek = week;
        options.startTimeOfWeek = start + 1;
        options.endTimeOfWeek = start;
        break;
    }
    options.spreadsheetSplit = (mode & 0x04) != 0;
    options.linesPerPart = 1 + (bytes[2] >> 5);
    options.fieldSep = (mode >> 3) & 3;
    if (options.fieldSep > 2) options.fieldSep = 0;
    options.fill1Hz = (mode & 0x20) != 0;
    options.na = (mode & 0x40) != 0;
    options.packetId = options.blankLine = (mode & 0x80) != 0;
    options.blankLinePacketId = "8f";
    options.blankLineSubcode = "20";
    return options;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < kOptionBytes) return 0;
    MemoryFileBackend& files = MemoryFiles();
    files.RemoveAllFiles();
    const ConverterOptions options = OptionsOf(data);
    {
        convsupport::ConversionPipeline pipeline;
        if (pipeline.Open(options) != 0) {
            fprintf(stderr, "convert invariant broken: the outputs were not created in memory\n");
            abort();
        }
        pipeline.Feed(data + kOptionBytes, size - kOptionBytes);
        pipeline.End();
    }
    const convsupport::ConvertedFiles outputs = convsupport::CollectOutputs(files, kInput);
    const std::string problem = convsupport::FindMalformation(outputs, options.fieldSep);
    if (!problem.empty() || !outputs.hasKml || !outputs.hasCsv || !outputs.hasGga) {
        fprintf(stderr, "convert invariant broken: %s\n", problem.empty() ? "an output is missing" : problem.c_str());
        abort();
    }
    return 0;
}
