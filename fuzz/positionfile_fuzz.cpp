// Arbitrary file contents as a position file and as a script file, read
// through an in-memory file system.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "FuzzSupport.h"
#include "model/FileHelpers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    MemoryFileBackend& files = fuzzsupport::MemoryFiles();
    files.SetFile("Position.dat", data, size);

    PositionRecord position = {0, 0, 0};
    CString path;
    if (ReadPositionFile(false, path, position)) {
        if (!(position.latitude >= -1.5707963267948968 && position.latitude <= 1.5707963267948968))
            abort();
        if (!(position.altitude >= -1000.0 && position.altitude <= 18000.0)) abort();
    } else if (position.latitude != -1.0) {
        abort();  // the file exists, so a failure is always "bad content"
    }
    IsScriptFile("Position.dat");
    if (files.GetOpenCount() != 0) abort();
    return 0;
}
