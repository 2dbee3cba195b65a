#include "app/MainWndProfile.h"

#include <cmath>
#include <cstring>

const char kMainWndSection[] = "Monitor";
const char kConfiguratorSection[] = "Monitor\\Configurator";

namespace {

#define INT_KEY(entry, def) {kMainWndSection, entry, PROFILE_KIND_INT, def, nullptr, false}
#define STR_KEY(entry, def) {kMainWndSection, entry, PROFILE_KIND_STRING, 0, def, false}
#define CFG_KEY(entry, def) {kConfiguratorSection, entry, PROFILE_KIND_INT, def, nullptr, false}
#define CLR_KEY(entry) {kMainWndSection, entry, PROFILE_KIND_INT, 0, nullptr, true}
#define BIN_KEY(entry) {kMainWndSection, entry, PROFILE_KIND_BINARY, 0, nullptr, false}

}  // namespace

const MainWndProfileKey kMainWndProfileKeys[kMainWndProfileKeyCount] = {
    INT_KEY("llaDec", 0),
    INT_KEY("com", 1),
    INT_KEY("parity", 0),
    INT_KEY("baud", 9600),
    INT_KEY("databits", 8),
    INT_KEY("stopbits", 0),
    INT_KEY("inProt", 2),
    INT_KEY("outProt", 2),
    INT_KEY("autoOutput", 1),
    INT_KEY("bPassOk", 0),
    INT_KEY("playbackSpeed", 1000),
    STR_KEY("playbackFile", ""),
    INT_KEY("playbackQbinMarker", 109),
    INT_KEY("playbackKestoCode", 49),
    INT_KEY("playbackKestoSubcode", 1),
    STR_KEY("playbackNmeaMarker", "GGA"),
    STR_KEY("playbackQtxtMarker", "LN"),
    STR_KEY("playbackQopMarker", "Ha"),
    INT_KEY("spdUnits", 0),
    CFG_KEY("comParity", 0),
    CFG_KEY("comBaud", 9600),
    CFG_KEY("comDataBits", 8),
    CFG_KEY("comStopBits", 0),
    INT_KEY("RoamfobMode", 0),
    INT_KEY("RoamfobAnt", 0),
    INT_KEY("autoQueryEnabled", 1),
    INT_KEY("autoQueryRcvrMode", 1),
    INT_KEY("autoQueryStatus", 1),
    INT_KEY("autoQueryTime", 1),
    INT_KEY("autoQueryTrk", 1),
    INT_KEY("autoQueryMeas", 0),
    INT_KEY("autoQueryInterval", 1),
    INT_KEY("autoQueryAllOff", 0),
    INT_KEY("OptsDataSource", 1),
    INT_KEY("OptsWndBubbleHelp", 1),
    INT_KEY("OptsMenuBubbleHelp", 0),
    INT_KEY("OptsLogDiag", 1),
    INT_KEY("ClrSvBkgrnd", 65280),
    CLR_KEY("ClrSvText"),
    CLR_KEY("ClrRegText"),
    CLR_KEY("ClrGroupText"),
    INT_KEY("ClrThemeIdx", 1),
    INT_KEY("CheckUpdates", 0),
    INT_KEY("posMapEnabled", 1),
    INT_KEY("posMapDashSize", 0),
    INT_KEY("posMapStyle", 0),
    INT_KEY("posMapZoom", 15),
    INT_KEY("posMapUnit", 0),
    INT_KEY("posMapMouseLoc", 0),
    INT_KEY("posMapAutoCenter", 1),
    INT_KEY("posMapRefPos", 0),
    INT_KEY("posMapMaxMarkers", 2000),
    INT_KEY("posMapTraceRoute", 1),
    BIN_KEY("posMapRefLat"),
    BIN_KEY("posMapRefLon"),
    INT_KEY("ontop", 0),
    INT_KEY("mode", 0),
};

const MainWndProfileKey* FindMainWndProfileKey(const char* entry) {
    if (entry == nullptr) return nullptr;
    for (const MainWndProfileKey& key : kMainWndProfileKeys)
        if (std::strcmp(key.entry, entry) == 0) return &key;
    return nullptr;
}

namespace {

// Reads through the table, so the defaults live in one place.
class TableReader {
public:
    TableReader(IMainWndProfile& profile, uint32_t buttonTextColour)
        : m_profile(profile), m_buttonTextColour(buttonTextColour) {}

    int32_t Int(const char* entry) {
        const MainWndProfileKey* key = FindMainWndProfileKey(entry);
        if (key == nullptr) return 0;
        const int32_t def = key->systemTextColour ? static_cast<int32_t>(m_buttonTextColour) : key->intDefault;
        return m_profile.GetProfileInt(key->section, key->entry, def);
    }
    CString String(const char* entry) {
        const MainWndProfileKey* key = FindMainWndProfileKey(entry);
        if (key == nullptr) return CString();
        return m_profile.GetProfileString(key->section, key->entry, key->stringDefault);
    }
    double Coordinate(const char* entry, double limit) {
        const MainWndProfileKey* key = FindMainWndProfileKey(entry);
        std::vector<BYTE> data;
        if (key == nullptr || !m_profile.GetProfileBinary(key->section, key->entry, data)) return 0.0;
        return DecodeProfileCoordinate(data, limit);
    }

private:
    IMainWndProfile& m_profile;
    uint32_t m_buttonTextColour;
};

}  // namespace

double DecodeProfileCoordinate(const std::vector<BYTE>& data, double limit) {
    double value = 0.0;
    if (data.size() != sizeof(value)) return 0.0;
    std::memcpy(&value, data.data(), sizeof(value));
    if (!std::isfinite(value) || std::fabs(value) > limit) return 0.0;
    return value;
}

MainWndSettings ReadMainWndSettings(IMainWndProfile& profile, uint32_t buttonTextColour) {
    TableReader r(profile, buttonTextColour);
    MainWndSettings s;
    s.llaDec = r.Int("llaDec");
    s.com = r.Int("com");
    s.parity = r.Int("parity");
    s.baud = r.Int("baud");
    s.dataBits = r.Int("databits");
    s.stopBits = r.Int("stopbits");
    s.inProt = r.Int("inProt");
    s.outProt = r.Int("outProt");
    s.autoOutput = r.Int("autoOutput");
    s.passOk = r.Int("bPassOk");
    s.playbackSpeed = r.Int("playbackSpeed");
    s.playbackFile = r.String("playbackFile");
    s.playbackQbinMarker = r.Int("playbackQbinMarker");
    s.playbackKestoCode = r.Int("playbackKestoCode");
    s.playbackKestoSubcode = r.Int("playbackKestoSubcode");
    s.playbackNmeaMarker = r.String("playbackNmeaMarker");
    s.playbackQtxtMarker = r.String("playbackQtxtMarker");
    s.playbackQopMarker = r.String("playbackQopMarker");
    s.spdUnits = r.Int("spdUnits");
    s.comParity = r.Int("comParity");
    s.comBaud = r.Int("comBaud");
    s.comDataBits = r.Int("comDataBits");
    s.comStopBits = r.Int("comStopBits");
    s.trackerMode = r.Int("RoamfobMode");
    s.trackerAntenna = r.Int("RoamfobAnt");
    s.autoQueryEnabled = r.Int("autoQueryEnabled");
    s.autoQueryRcvrMode = r.Int("autoQueryRcvrMode");
    s.autoQueryStatus = r.Int("autoQueryStatus");
    s.autoQueryTime = r.Int("autoQueryTime");
    s.autoQueryTrk = r.Int("autoQueryTrk");
    s.autoQueryMeas = r.Int("autoQueryMeas");
    s.autoQueryInterval = r.Int("autoQueryInterval");
    s.autoQueryAllOff = r.Int("autoQueryAllOff");
    s.optDataSource = r.Int("OptsDataSource");
    s.optWndBubbleHelp = r.Int("OptsWndBubbleHelp");
    s.optMenuBubbleHelp = r.Int("OptsMenuBubbleHelp");
    s.optLogDiag = r.Int("OptsLogDiag");
    s.clrSvBackground = static_cast<uint32_t>(r.Int("ClrSvBkgrnd"));
    s.clrSvText = static_cast<uint32_t>(r.Int("ClrSvText"));
    s.clrRegText = static_cast<uint32_t>(r.Int("ClrRegText"));
    s.clrGroupText = static_cast<uint32_t>(r.Int("ClrGroupText"));
    s.clrThemeIdx = r.Int("ClrThemeIdx");
    s.checkUpdates = r.Int("CheckUpdates");
    s.posMapEnabled = r.Int("posMapEnabled");
    s.posMapDashSize = r.Int("posMapDashSize");
    s.posMapStyle = r.Int("posMapStyle");
    s.posMapZoom = r.Int("posMapZoom");
    s.posMapUnit = r.Int("posMapUnit");
    s.posMapMouseLoc = r.Int("posMapMouseLoc");
    s.posMapAutoCenter = r.Int("posMapAutoCenter");
    s.posMapRefPos = r.Int("posMapRefPos");
    s.posMapMaxMarkers = r.Int("posMapMaxMarkers");
    s.posMapTraceRoute = r.Int("posMapTraceRoute");
    s.posMapRefLat = r.Coordinate("posMapRefLat", 90.0);
    s.posMapRefLon = r.Coordinate("posMapRefLon", 180.0);
    s.onTop = r.Int("ontop");
    s.mode = r.Int("mode");
    return s;
}

void SaveMainWndSettings(IMainWndProfile& profile, const MainWndSaveState& state, bool primary,
                         bool commandLine) {
    const char* s = kMainWndSection;
    profile.WriteProfileInt(s, "ontop", state.onTop);
    profile.WriteProfileInt(s, "autoOutput", state.autoOutput);
    profile.WriteProfileInt(s, "spdUnits", state.spdUnits);
    if (commandLine) return;
    profile.WriteProfileInt(s, "com", state.com);
    profile.WriteProfileInt(s, "parity", state.parity);
    profile.WriteProfileInt(s, "inProt", state.inProt);
    profile.WriteProfileInt(s, "outProt", state.outProt);
    profile.WriteProfileInt(s, "baud", state.baud);
    profile.WriteProfileInt(s, "databits", state.dataBits);
    profile.WriteProfileInt(s, "stopbits", state.stopBits);
    if (primary) profile.WriteProfileInt(s, "mode", state.mode);
}

std::string MemoryMainWndProfile::Key(const char* section, const char* entry) {
    return std::string(section != nullptr ? section : "") + '\\' + (entry != nullptr ? entry : "");
}

int32_t MemoryMainWndProfile::GetProfileInt(const char* section, const char* entry, int32_t defaultValue) {
    auto it = m_ints.find(Key(section, entry));
    return it == m_ints.end() ? defaultValue : it->second;
}

CString MemoryMainWndProfile::GetProfileString(const char* section, const char* entry, const char* defaultValue) {
    auto it = m_strings.find(Key(section, entry));
    return it == m_strings.end() ? CString(defaultValue) : CString(it->second.c_str());
}

bool MemoryMainWndProfile::GetProfileBinary(const char* section, const char* entry, std::vector<BYTE>& data) {
    data.clear();
    auto it = m_binaries.find(Key(section, entry));
    if (it == m_binaries.end()) return false;
    data = it->second;
    return true;
}

bool MemoryMainWndProfile::WriteProfileInt(const char* section, const char* entry, int32_t value) {
    m_ints[Key(section, entry)] = value;
    m_writes.push_back(Key(section, entry));
    return true;
}

bool MemoryMainWndProfile::WriteProfileString(const char* section, const char* entry, const char* value) {
    m_strings[Key(section, entry)] = value != nullptr ? value : "";
    m_writes.push_back(Key(section, entry));
    return true;
}

void MemoryMainWndProfile::SetBinary(const char* section, const char* entry, const std::vector<BYTE>& data) {
    m_binaries[Key(section, entry)] = data;
}

bool MemoryMainWndProfile::Has(const char* section, const char* entry) const {
    const std::string key = Key(section, entry);
    return m_ints.count(key) != 0 || m_strings.count(key) != 0 || m_binaries.count(key) != 0;
}
