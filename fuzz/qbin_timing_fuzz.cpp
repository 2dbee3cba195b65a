// The 0x8F timing and 0x5F diagnostic report decoders on arbitrary data.
// Input byte 0 picks the family (bit 0) and whether a conversion with text
// translation is running (bit 1); the rest is the report data after the id.
// Besides running clean under the sanitizers, a report the decoder refuses
// must leave no trace: no event and no translation text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "link/CConverterEngine.h"
#include "model/CModel.h"
#include "protocol/QbinTimingReports.h"

namespace {

using fuzzsupport::MemoryFiles;

class CountingSink : public IReceiverEventSink {
public:
    bool NotifyListeners(int32_t, int32_t, bool) override
    {
        ++count;
        return true;
    }
    int count = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1 || size > 4096) return 0;
    MemoryFileBackend& files = MemoryFiles();
    const bool diag = (data[0] & 1) != 0;
    const bool translate = (data[0] & 2) != 0;
    // An exact-size heap copy, so a read one past the report is caught.
    std::vector<uint8_t> report(data + 1, data + size);
    const int length = static_cast<int>(report.size());
    const BYTE* bytes = report.empty() ? nullptr : report.data();

    CountingSink sink;
    {
        CModel model;
        model.SetPlaybackFileName("fuzz.qbl");
        if (!model.Attach(&sink, nullptr)) abort();
        sink.count = 0;
        CConverterEngine engine;
        if (translate) {
            ConverterOptions options;
            options.inputPath = "fuzz.qbl";
            options.textTranslation = true;
            options.translationHeader = false;  // the file holds only what the decoder wrote
            options.overwrite = true;
            if (engine.Open(options, &model) != 0) abort();
        }
        CConverterEngine* context = translate ? &engine : nullptr;
        const bool decoded = diag ? DecodeQbinDiagReport(bytes, length, &model, context)
                                  : DecodeQbinTimingReport(bytes, length, &model, context);
        engine.Finish();
        const std::string translation = files.GetFileText("fuzz.txt");
        if (!decoded && (sink.count != 0 || !translation.empty())) abort();
        model.Detach();
    }
    files.RemoveAllFiles();
    return 0;
}
