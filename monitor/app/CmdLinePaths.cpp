#include "app/CmdLinePaths.h"

#ifdef _WIN32
#include <direct.h>
#else
#include <unistd.h>
#endif

#include "model/FileAttributes.h"

namespace {

class CSystemCmdLinePaths : public ICmdLinePaths {
public:
    double GetFileLength(LPCTSTR path) override
    {
        // A folder has a "length" of 0 to the attribute calls; a log or a
        // script can never be one.
        if (!FileExists(path)) return -1.0;
        return ::GetFileLength(path);
    }

    bool IsFolder(LPCTSTR path) override { return DirectoryExists(path); }

    CString GetCurrentFolder() override
    {
        char buf[MAX_PATH * 4];
#ifdef _WIN32
        if (_getcwd(buf, sizeof buf) == nullptr) return CString();
#else
        if (getcwd(buf, sizeof buf) == nullptr) return CString();
#endif
        return CString(buf);
    }

    bool ReadPosition(LPCTSTR path, PositionRecord& position) override
    {
        CString name(path);
        return ReadPositionFile(false, name, position);
    }
};

} // namespace

ICmdLinePaths& GetSystemCmdLinePaths()
{
    static CSystemCmdLinePaths paths;
    return paths;
}
