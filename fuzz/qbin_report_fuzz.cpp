// One QBIN packet straight into the length table, the start finder and the
// report decoder, with and without a model and a translation context.
//
// The first input byte chooses the run: bit 0 translation on, bit 1 the raw
// dump, bit 2 no model. The rest is the packet as the reader hands it over
// (leading DLE through DLE ETX, already unstuffed), taken as it is.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "FuzzSupport.h"
#include "link/CConverterEngine.h"
#include "model/CModel.h"
#include "protocol/QbinReports.h"

using fuzzsupport::MemoryFiles;
using fuzzsupport::NullListener;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1 || size > 4096) return 0;
    const uint8_t mode = data[0];
    MemoryFiles().RemoveAllFiles();
    // A private copy, sized exactly, so any read past the packet is caught.
    std::vector<uint8_t> frame(data + 1, data + size);
    const int length = static_cast<int>(frame.size());
    const BYTE* bytes = frame.empty() ? nullptr : frame.data();

    NullListener listener;
    CModel model;
    if (!model.Attach(&listener, nullptr)) return 0;
    CModel* target = (mode & 4) ? nullptr : &model;
    CConverterEngine converter;
    CConverterEngine* engine = nullptr;
    if (mode & 1) {
        ConverterOptions options;
        options.textTranslation = true;
        options.rawData = (mode & 2) != 0;
        if (converter.Open(options, &model) != 0) return 0;
        engine = &converter;
    }

    if (length >= 1) {
        (void)CheckQbinReportLength(bytes, length - 1, engine);
        (void)GetQbinNeededLength(bytes, length - 1);
    }
    // Straight into the decoder, as a caller that skipped the start finder.
    DecodeQbinReport(bytes, length, target, engine);
    // And as the reader does it.
    int packetLength = length;
    int start = 0;
    if (FindQbinPacketStart(bytes, packetLength, start, engine)) {
        if (start < 0 || packetLength < 4 || start + packetLength != length) {
            fprintf(stderr, "start %d length %d of %d\n", start, packetLength, length);
            abort();
        }
        DecodeQbinReport(bytes + start, packetLength, target, engine);
    }
    converter.Finish();
    model.Detach();
    return 0;
}
