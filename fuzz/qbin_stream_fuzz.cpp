// QBIN link bytes through the recogniser and frame handler into the report
// decoder and a model, as the reader thread runs them.
//
// The first input byte chooses the run: bit 0 a conversion with text
// translation (and the raw dump when bit 1 is set as well), otherwise a live
// serial link with a listener. The rest is the byte stream.
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "link/CConverterEngine.h"
#include "link/FrameHandler.h"
#include "link/LinkStatistics.h"
#include "model/CModel.h"

using fuzzsupport::MemoryFiles;
using fuzzsupport::NullListener;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) return 0;
    const uint8_t mode = data[0];
    MemoryFiles().RemoveAllFiles();
    NullListener listener;
    CModel model;
    if (!model.Attach(&listener, nullptr)) return 0;
    LinkStatistics stats;
    CFrameLinkState link;
    link.protocol = PROTO_QBIN;
    CConverterEngine converter;
    FrameContext context;
    context.model = &model;
    context.statistics = &stats;
    context.link = &link;
    if (mode & 1) {
        ConverterOptions options;
        options.textTranslation = true;
        options.rawData = (mode & 2) != 0;
        options.packetId = (mode & 4) != 0;
        if (converter.Open(options, &model) != 0) return 0;
        converter.SetDetectedKind(PROTO_QBIN);
        context.converter = &converter;
        context.channelType = LINK_CHANNEL_PLAYBACK;
    }
    {
        CFrameHandler handler(context, GetDefaultFrameDispatch());
        for (size_t i = 1; i < size; ++i) {
            link.readCount = link.readCount + 1;
            handler.OnByte(data[i]);
        }
    }
    converter.Finish();
    model.Detach();
    return 0;
}
