// The windowless services the main window already calls: each must give the
// answer that sends its caller down the safe path (detection and scripts
// refuse to start), and the detector's result must never hand back values
// from an earlier try.
#include <gtest/gtest.h>

#include "config/CReceiverDetector.h"
#include "framework/CString.h"
#include "link/LinkPortSettings.h"
#include "link/ProtocolKind.h"
#include "tools/CScripter.h"

TEST(ReceiverDetectorStandIn, RefusesToStartAndReportsNotFound)
{
    CReceiverDetector detector;
    DetectionRequest request = {};
    request.portNumber = 5;
    for (uint32_t& option : request.options)
        option = 1;
    request.replyMessage = 0x467;

    EXPECT_FALSE(detector.Control(DETECT_OP_START, &request));
    EXPECT_FALSE(detector.Control(DETECT_OP_CANCEL));

    // Stale values from a caller's earlier try must be replaced, not kept.
    ProtocolKind status = PROTO_QBIN;
    LinkPortSettings settings;
    settings.portNumber = 5;
    settings.baudRate = 115200;
    CString text("Brevik F");
    detector.GetResult(status, settings, text);

    EXPECT_EQ(PROTO_NONE, status);
    EXPECT_EQ(0u, settings.portNumber);
    EXPECT_TRUE(text.IsEmpty());
}

TEST(ScripterStandIn, LoadFailsAndNeverRuns)
{
    CScripter scripter;
    EXPECT_FALSE(scripter.IsRunning());
    EXPECT_FALSE(scripter.LoadScript(nullptr, "run.scr"));
    EXPECT_FALSE(scripter.IsRunning());

    // The main window may still report results and stop; neither starts a run.
    scripter.ReportResult(0, 5);
    scripter.Stop(false, false);
    EXPECT_FALSE(scripter.IsRunning());
}
