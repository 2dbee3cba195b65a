#include "app/CDataRecorderCmdOptions.h"

bool CDataRecorderCmdOptions::Parse(const CCmdLineOptions& options, ICmdLinePaths&)
{
    Reset();
    if (const char* msg = ReadPortEntries(options, true, ports)) return RefuseCmdLineOption(msg);
    testCase = options.GetValue("-testcase");
    outputFolder = options.GetValue("-output");
    if (options.HasOption("-duration")) {
        if (!ParseCmdLineInteger(options.GetValue("-duration"), duration) || duration < 1) {
            duration = 0;
            return RefuseCmdLineOption("Invalid duration.");
        }
    }
    autoQuery = options.HasOption("-auto_query");
    addTimestamp = options.HasOption("-add_timestamp");
    return true;
}
