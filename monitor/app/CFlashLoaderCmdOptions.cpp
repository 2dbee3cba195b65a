#include "app/CFlashLoaderCmdOptions.h"

#include "app/CmdLinePorts.h"

namespace {

// Reads an optional load address. A "…rfb" image carries its own addresses,
// so only other images need them; one given anyway must still be valid.
bool ReadAddress(const CCmdLineOptions& options, const char* name, bool required, const char* invalid,
                 const char* missing, uint32_t& address)
{
    const CString text = options.GetValue(name);
    if (text.IsEmpty()) return required ? RefuseCmdLineOption(missing) : true;
    if (!ParseCmdLineHex(text, address) || address == 0) {
        address = 0;
        return RefuseCmdLineOption(invalid);
    }
    return true;
}

} // namespace

bool CFlashLoaderCmdOptions::Parse(const CCmdLineOptions& options, ICmdLinePaths& paths)
{
    Reset();
    for (int32_t port = 1; port <= 256; ++port)
        if (options.HasOption(PortOptionName(port))) ports.push_back(port);
    if (ports.empty()) return RefuseCmdLineOption("No valid port specified.");

    firmwareFile = options.GetValue("-file");
    if (firmwareFile.IsEmpty()) return RefuseCmdLineOption("No file specified.");
    if (paths.GetFileLength(firmwareFile) < 0) return RefuseCmdLineOption("Invalid file.");

    const bool addressesInFile = firmwareFile.Right(3).CompareNoCase("rfb") == 0;
    if (!ReadAddress(options, "-fw_addr", !addressesInFile, "Invalid FW address.", "FW address not specified.",
                     firmwareAddress))
        return false;
    if (!ReadAddress(options, "-boot_addr", !addressesInFile, "Invalid boot code address.",
                     "Boot code address not specified.", bootCodeAddress))
        return false;
    return true;
}
