#pragma once
// The main window's settings in the profile: the keys read when a window
// starts, their defaults, and the order in which a closing window writes
// them back. Pure: it reads and writes through IMainWndProfile, which the
// Windows build binds to the application's registry profile and tests bind
// to a store in memory.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "framework/CString.h"
#include "framework/WinTypes.h"

// Profile access with the application's section/entry names.
struct IMainWndProfile {
    virtual ~IMainWndProfile() {}
    virtual int32_t GetProfileInt(const char* section, const char* entry, int32_t defaultValue) = 0;
    virtual CString GetProfileString(const char* section, const char* entry, const char* defaultValue) = 0;
    // False when the entry is missing; `data` then is empty.
    virtual bool GetProfileBinary(const char* section, const char* entry, std::vector<BYTE>& data) = 0;
    virtual bool WriteProfileInt(const char* section, const char* entry, int32_t value) = 0;
    virtual bool WriteProfileString(const char* section, const char* entry, const char* value) = 0;
};

// The section of the window's own settings, and of the configurator defaults.
extern const char kMainWndSection[];
extern const char kConfiguratorSection[];

enum MainWndProfileKind : int32_t { PROFILE_KIND_INT = 0, PROFILE_KIND_STRING = 1, PROFILE_KIND_BINARY = 2 };

struct MainWndProfileKey {
    const char* section;
    const char* entry;
    MainWndProfileKind kind;
    int32_t intDefault;         // PROFILE_KIND_INT (and 0 for binary)
    const char* stringDefault;  // PROFILE_KIND_STRING
    // The default is the system's button-text colour, passed in by the caller.
    bool systemTextColour;
};

const int32_t kMainWndProfileKeyCount = 57;
extern const MainWndProfileKey kMainWndProfileKeys[kMainWndProfileKeyCount];
// The row of `entry` (first match, any section); nullptr when there is none.
const MainWndProfileKey* FindMainWndProfileKey(const char* entry);

// Every value a window reads at start-up.
struct MainWndSettings {
    int32_t llaDec = 0;
    int32_t com = 1;
    int32_t parity = 0;
    int32_t baud = 9600;
    int32_t dataBits = 8;
    int32_t stopBits = 0;
    int32_t inProt = 2;
    int32_t outProt = 2;
    int32_t autoOutput = 1;
    int32_t passOk = 0;
    int32_t playbackSpeed = 1000;
    CString playbackFile;
    int32_t playbackQbinMarker = 109;
    int32_t playbackKestoCode = 49;
    int32_t playbackKestoSubcode = 1;
    CString playbackNmeaMarker = "GGA";
    CString playbackQtxtMarker = "LN";
    CString playbackQopMarker = "Ha";
    int32_t spdUnits = 0;
    int32_t comParity = 0;
    int32_t comBaud = 9600;
    int32_t comDataBits = 8;
    int32_t comStopBits = 0;
    int32_t trackerMode = 0;
    int32_t trackerAntenna = 0;
    int32_t autoQueryEnabled = 1;
    int32_t autoQueryRcvrMode = 1;
    int32_t autoQueryStatus = 1;
    int32_t autoQueryTime = 1;
    int32_t autoQueryTrk = 1;
    int32_t autoQueryMeas = 0;
    int32_t autoQueryInterval = 1;
    int32_t autoQueryAllOff = 0;
    int32_t optDataSource = 1;
    int32_t optWndBubbleHelp = 1;
    int32_t optMenuBubbleHelp = 0;
    int32_t optLogDiag = 1;
    uint32_t clrSvBackground = 65280;
    uint32_t clrSvText = 0;
    uint32_t clrRegText = 0;
    uint32_t clrGroupText = 0;
    int32_t clrThemeIdx = 1;
    int32_t checkUpdates = 0;
    int32_t posMapEnabled = 1;
    int32_t posMapDashSize = 0;
    int32_t posMapStyle = 0;
    int32_t posMapZoom = 15;
    int32_t posMapUnit = 0;
    int32_t posMapMouseLoc = 0;
    int32_t posMapAutoCenter = 1;
    int32_t posMapRefPos = 0;
    int32_t posMapMaxMarkers = 2000;
    int32_t posMapTraceRoute = 1;
    double posMapRefLat = 0.0;
    double posMapRefLon = 0.0;
    int32_t onTop = 0;
    int32_t mode = 0;
};

// Reads every key of the table; missing keys give their defaults.
MainWndSettings ReadMainWndSettings(IMainWndProfile& profile, uint32_t buttonTextColour);

// A stored coordinate: exactly 8 bytes holding a finite double (the
// machine's byte order, as the registry keeps it) no larger than `limit`
// in magnitude (90 for a latitude, 180 for a longitude); anything else is 0.
double DecodeProfileCoordinate(const std::vector<BYTE>& data, double limit);

// What a closing window writes.
struct MainWndSaveState {
    int32_t onTop = 0;
    int32_t autoOutput = 1;
    int32_t spdUnits = 0;
    int32_t com = 1;
    int32_t parity = 0;
    int32_t inProt = 2;
    int32_t outProt = 2;
    int32_t baud = 9600;
    int32_t dataBits = 8;
    int32_t stopBits = 0;
    int32_t mode = 0;
};

// Writes the settings in the window's closing order: "ontop", "autoOutput"
// and "spdUnits" always; a command-line run stops there, so it never
// changes the saved link; then the link keys; the link mode only for the
// primary window. (The primary window's position is saved before this by
// the window itself.)
void SaveMainWndSettings(IMainWndProfile& profile, const MainWndSaveState& state, bool primary,
                         bool commandLine);

// A profile in memory that records the order of its writes (tests and
// native runs).
class MemoryMainWndProfile : public IMainWndProfile {
public:
    int32_t GetProfileInt(const char* section, const char* entry, int32_t defaultValue) override;
    CString GetProfileString(const char* section, const char* entry, const char* defaultValue) override;
    bool GetProfileBinary(const char* section, const char* entry, std::vector<BYTE>& data) override;
    bool WriteProfileInt(const char* section, const char* entry, int32_t value) override;
    bool WriteProfileString(const char* section, const char* entry, const char* value) override;
    void SetBinary(const char* section, const char* entry, const std::vector<BYTE>& data);

    // "section\entry" of every write, in order.
    const std::vector<std::string>& GetWrites() const { return m_writes; }
    bool Has(const char* section, const char* entry) const;

private:
    static std::string Key(const char* section, const char* entry);
    std::map<std::string, int32_t> m_ints;
    std::map<std::string, std::string> m_strings;
    std::map<std::string, std::vector<BYTE>> m_binaries;
    std::vector<std::string> m_writes;
};
