#include "model/CModel.h"

#include <cassert>
#include <cstdarg>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

#ifdef _WIN32
#include <direct.h>
#else
#include <unistd.h>
#endif

#include "framework/CArray.h"
#include "framework/CFile.h"
#include "framework/CString.h"
#include "link/CConverterEngine.h"
#include "link/CProtocol.h"
#include "model/Crc.h"
#include "model/Clock.h"
#include "model/GpsTime.h"
#include "model/NumberFormat.h"

// ---------------------------------------------------------------------------
// Hidden window

#ifndef _WIN32
namespace {
// Natively there are no windows: attaching always succeeds unless a test
// replaces the seam.
class NullModelWindow : public IModelWindow {
public:
    bool Create() override { return true; }
    void Destroy() override {}
};
} // namespace

IModelWindow* CreateModelWindow() { return new NullModelWindow(); }
#endif

// ---------------------------------------------------------------------------
// Diagnostic log set-up, process-wide

namespace {

std::string CurrentDirectory()
{
    char buf[1024];
#ifdef _WIN32
    if (_getcwd(buf, sizeof buf) == nullptr) return std::string();
#else
    if (getcwd(buf, sizeof buf) == nullptr) return std::string();
#endif
    return std::string(buf);
}

std::mutex& DiagLogSetupLock()
{
    static std::mutex lock;
    return lock;
}

// Taken once while the program starts, before any file dialog can move the
// working directory.
std::string& DiagLogFolder()
{
    static std::string folder = CurrentDirectory();
    return folder;
}
const bool g_diagLogFolderTaken = (DiagLogFolder(), true);

// Inserts `text` before the file name's extension: the last "." after the
// last path separator, or at the end when the name has none.
std::string InsertBeforeExtension(const std::string& name, const std::string& text)
{
    size_t sep = name.find_last_of("\\/");
    size_t dot = name.rfind('.');
    if (dot == std::string::npos || (sep != std::string::npos && dot < sep))
        return name + text;
    return name.substr(0, dot) + text + name.substr(dot);
}

bool IsPositionKind(int32_t kind) { return kind == NAV_KIND_LLA || kind == NAV_KIND_XYZ; }

const char* const kDayNames[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};

struct DegMin {
    int degrees;
    double minutes;
    char letter;
};

DegMin ToDegMin(double radians, char positive, char negative)
{
    double deg = radians * 57.29577951308232;
    DegMin r;
    r.letter = deg < 0 ? negative : positive;
    double a = std::fabs(deg);
    if (!std::isfinite(a) || a > 1e6) a = 0;  // untrusted record: keep the text bounded
    r.degrees = static_cast<int>(a);
    r.minutes = (a - r.degrees) * 60.0;
    return r;
}

// A translation line built in a fixed buffer, in pieces that are each cut
// at 1023 characters as a 1024-byte snprintf buffer cuts them (only
// garbage values come near).
class NavText {
public:
    enum : size_t { kPieceRoom = 1024, kRoom = 4 * kPieceRoom };

    NavText() : m_length(0) { m_text[0] = '\0'; }
    void Append(const char* format, ...)
    {
        const size_t left = kRoom - m_length;
        const size_t room = left < kPieceRoom ? left : kPieceRoom;
        va_list args;
        va_start(args, format);
        const int n = FormatTextV(m_text + m_length, room, format, args);
        va_end(args);
        if (n > 0) m_length += static_cast<size_t>(n) < room ? static_cast<size_t>(n) : room - 1;
    }
    const char* Get() const { return m_text; }
    bool IsEmpty() const { return m_length == 0; }

private:
    char m_text[kRoom];
    size_t m_length;
};

// The translation line a conversion writes for a navigation report; nothing
// for kinds that have none.
void NavTranslation(const NavState& s, int32_t kind, NavText& out)
{
    char time[GPS_TIME_OF_WEEK_TEXT_ROOM];
    FormatGpsTimeOfWeek(time, sizeof time, s.timeOfFix);
    DegMin lat = ToDegMin(s.latitude, 'N', 'S');
    DegMin lon = ToDegMin(s.longitude, 'E', 'W');
    switch (kind) {
    case NAV_KIND_LLA_DOUBLE:
        out.Append("\r\nDLLA: %2d:%08.5f %c; %3d:%08.5f %c; %10.2f %12.2f%s",
                   lat.degrees, lat.minutes, lat.letter, lon.degrees, lon.minutes, lon.letter,
                   s.height, s.clockBias, time);
        return;
    case NAV_KIND_LLA_SINGLE:
        out.Append("\r\nSLLA: %4d: %06.3f  %c%5d:%06.3f  %c%10.2f  %12.2f%s",
                   lat.degrees, lat.minutes, lat.letter, lon.degrees, lon.minutes, lon.letter,
                   s.height, s.clockBias, time);
        return;
    case NAV_KIND_XYZ_DOUBLE:
        out.Append("\r\nDXYZ:%12.2f  %13.2f  %13.2f %12.2f%s", s.x, s.y, s.z, s.clockBias, time);
        return;
    case NAV_KIND_XYZ_SINGLE:
        out.Append("\r\nSXYZ:  %15.0f  %15.0f  %15.0f    %s", s.x, s.y, s.z, time);
        return;
    case NAV_KIND_VEL_ENU:
        out.Append("\r\nVel ENU: %11.3f  %11.3f  %11.3f  %12.3f%s", s.velEast, s.velNorth, s.velUp,
                   static_cast<double>(s.clockBiasRate), time);
        return;
    case NAV_KIND_VEL_XYZ:
        out.Append("\r\nVelECEF: %11.3f  %11.3f  %11.3f  %12.3f%s", s.velX, s.velY, s.velZ,
                   static_cast<double>(s.clockBiasRate), time);
        return;
    case NAV_KIND_FIX: {
        double tow = s.timeOfFix;
        if (!std::isfinite(tow) || tow < 0 || tow >= 604800.0) tow = 0;  // keeps the fields in range
        int days = static_cast<int>(tow / 86400.0);
        if (days > 6) days = 6;
        double rest = tow - days * 86400.0;
        int hours = static_cast<int>(rest / 3600.0);
        rest -= hours * 3600.0;
        int minutes = static_cast<int>(rest / 60.0);
        double seconds = rest - minutes * 60.0;
        int towMs = static_cast<int>(s.timeOfFix >= 0 && s.timeOfFix < 604800.0
                                         ? s.timeOfFix * 1000.0 : 0.0);
        out.Append("\r\nFix at: %04d:%09d; %3s:%02d:%02d:%06.3f GPS (=UTC+%2ds)  FixType: %s%s%s%s",
                   static_cast<int>(s.week), towMs, kDayNames[days], hours, minutes, seconds,
                   static_cast<int>(s.utcOffset), (s.fixFlags & NAV_FIX_DIFFERENTIAL) ? "Diff" : "",
                   (s.fixFlags & NAV_FIX_2D) ? "2D" : "3D",
                   (s.fixFlags & NAV_FIX_FILTERED) ? "-Filtrd" : "",
                   (s.fixFlags & NAV_FIX_BAD) ? "-BADFIX" : "");
        char datum[32];
        if (s.datum == 0)
            snprintf(datum, sizeof datum, "WGS-84");
        else if (s.datum < 0)
            snprintf(datum, sizeof datum, "Unknown ");
        else
            snprintf(datum, sizeof datum, "Datum%3d", static_cast<int>(s.datum));
        out.Append("\r\n   Pos: %4d:%09.6f %c %5d:%09.6f %c %10.2f m HAE (%s)",
                   lat.degrees, lat.minutes, lat.letter, lon.degrees, lon.minutes, lon.letter,
                   s.height, datum);
        out.Append("\r\n   Vel:    %9.3f E       %9.3f N      %9.3f U   (m/sec)",
                   s.velEast, s.velNorth, s.velUp);
        int count = s.svCount > static_cast<int>(MODEL_SV_COUNT) ? static_cast<int>(MODEL_SV_COUNT) : static_cast<int>(s.svCount);
        out.Append("\r\n   SVs: ");
        for (int i = 0; i < count; ++i) out.Append(" %02d", static_cast<int>(s.svs[i]));
        out.Append("     (IODEs:");
        for (int i = 0; i < count; ++i) out.Append(" %02X", static_cast<unsigned>(s.iode[i] & 0xFF));
        out.Append(")");
        return;
    }
    default:
        return;
    }
}

} // namespace

void CModel::SetDiagLogFolder(const char* folder)
{
    std::lock_guard<std::mutex> g(DiagLogSetupLock());
    DiagLogFolder() = folder ? folder : "";
}

std::string CModel::GetDiagLogFolder()
{
    std::lock_guard<std::mutex> g(DiagLogSetupLock());
    return DiagLogFolder();
}

// ---------------------------------------------------------------------------
// Lifecycle

CModel::CModel()
    : m_controller(nullptr), m_protocol(nullptr), m_resetControl(nullptr), m_window(nullptr),
      m_ownWindow(nullptr), m_windowCreated(false), m_diagLog(nullptr), m_diagLogPart(1),
      m_diagLogEnd(3)
{
    std::lock_guard<std::mutex> g(m_lock);
    ClearAllLocked();
}

CModel::~CModel()
{
    CloseDiagLog();
    if (m_windowCreated && m_window) m_window->Destroy();
    delete m_ownWindow;
}

void CModel::SetWindow(IModelWindow* window) { m_window = window; }

bool CModel::Attach(IReceiverEventSink* controller, CProtocol* protocol)
{
    if (m_window == nullptr) {
        if (m_ownWindow == nullptr) m_ownWindow = CreateModelWindow();
        m_window = m_ownWindow;
    }
    if (!m_windowCreated) {
        if (m_window == nullptr || !m_window->Create()) return false;
        m_windowCreated = true;
    }
    {
        std::lock_guard<std::mutex> g(m_lock);
        m_controller = controller;
        m_protocol = protocol;
        m_resetControl = protocol;
        m_diagLogPart = 1;
        m_diagLogEnd = 3;
        ClearAllLocked();
    }
    return true;
}

void CModel::Detach()
{
    {
        std::lock_guard<std::mutex> g(m_lock);
        m_controller = nullptr;
        m_protocol = nullptr;
        m_resetControl = nullptr;
        ClearAllLocked();
    }
    CloseDiagLog();
    if (m_windowCreated && m_window) m_window->Destroy();
    m_windowCreated = false;
}

bool CModel::Notify(int32_t event, int32_t detail, bool send)
{
    assert(IsReceiverEvent(event) && "only the closed set of events is raised");
    if (!IsReceiverEvent(event)) return false;
    IReceiverEventSink* controller = m_controller.load(std::memory_order_acquire);
    // Delivered without the lock: a listener's handler reads the model.
    if (controller == nullptr) return false;
    return controller->NotifyListeners(event, detail & 0xFFFF, send);
}

bool CModel::RaiseIf(bool notify, int32_t event, int32_t detail)
{
    if (!notify) return true;
    return Notify(event, detail, IsSentEvent(event));
}

// ---------------------------------------------------------------------------
// Clearing

void CModel::ClearFirmwareLocked()
{
    for (int i = 0; i < 2; ++i) {
        std::memset(&m_firmware[i], 0, sizeof m_firmware[i]);
        m_firmware[i].build = -1;
    }
}

void CModel::ClearProductLocked() { std::memset(&m_product, 0, sizeof m_product); }

void CModel::ClearAllLocked()
{
    // Records are plain values, so zeroing them whole is the cleared state;
    // the few non-zero defaults follow.
    std::memset(&m_nav, 0, sizeof m_nav);
    std::memset(&m_prevNav, 0, sizeof m_prevNav);
    // Zeroed options are not the receiver's: GetIoOptions says so until it reports.
    m_ioOptionsReported = false;
    m_nav.timeOfFix = -1.0;
    m_prevNav.timeOfFix = -1.0;
    std::memset(&m_time, 0, sizeof m_time);
    std::memset(&m_diagTime, 0, sizeof m_diagTime);
    std::memset(&m_fixMode, 0, sizeof m_fixMode);
    std::memset(&m_dops, 0, sizeof m_dops);
    std::memset(&m_tracking, 0, sizeof m_tracking);
    for (int i = 0; i < MODEL_CHANNEL_COUNT; ++i) m_tracking.entries[i].status2 = 254;
    std::memset(&m_rawMeas, 0, sizeof m_rawMeas);
    std::memset(&m_levels, 0, sizeof m_levels);
    std::memset(&m_almHealth, 0, sizeof m_almHealth);
    std::memset(&m_almanac, 0, sizeof m_almanac);
    std::memset(&m_utc, 0, sizeof m_utc);
    std::memset(&m_iono, 0, sizeof m_iono);
    std::memset(&m_ephemeris, 0, sizeof m_ephemeris);
    std::memset(&m_navConfig, 0, sizeof m_navConfig);
    std::memset(&m_datum, 0, sizeof m_datum);
    std::memset(&m_portConfig, 0, sizeof m_portConfig);
    std::memset(&m_qtxtConfig, 0, sizeof m_qtxtConfig);
    std::memset(&m_suppTiming, 0, sizeof m_suppTiming);
    std::memset(&m_timingConfig, 0, sizeof m_timingConfig);
    m_timingConfig.ppsWidth = -1.0;  // "n/a" until a receiver reports one
    std::memset(&m_nmeaOutput, 0, sizeof m_nmeaOutput);
    std::memset(&m_ioOptions, 0, sizeof m_ioOptions);
    std::memset(&m_filter, 0, sizeof m_filter);
    std::memset(&m_diagStatus, 0, sizeof m_diagStatus);
    std::memset(&m_diagText, 0, sizeof m_diagText);
    m_machineId = 0;
    m_statusCode = 0;
    m_healthErrors = 0;
    m_capabilities = 0;
    m_receiverModel = 0;
    m_svMask = 0;
    m_components.count = 0;
    std::memset(m_components.entries, 0, sizeof m_components.entries);
    m_dgpsMode = 0;
    m_activity = 0;
    m_rawFrameKind = 0;
    m_sentCommandKind = 0;
    m_checksumFlag = 0;
    m_inWindow = 0;
    m_refAltitude.value = 0;
    m_refAltitude.flag = 0;
    m_expectedSize = m_expectedCrc = 0;
    m_checkedSize = m_checkedCrc = 0;
    m_monReadAddress = 0;
    m_health = 2;
    for (int i = 0; i < MODEL_SV_COUNT; ++i) m_svFlags.flags[i] = 1;
    for (int i = 0; i < MODEL_REPORT_FLAG_COUNT; ++i) m_reportFlags[i] = false;
    for (int i = 0; i < MODEL_REPORT_TEXT_COUNT; ++i) m_reportTexts[i].clear();
    m_diagCodes.clear();
    m_diagTexts.clear();
    ClearFirmwareLocked();
    ClearProductLocked();
}

void CModel::ClearData(int selector)
{
    std::lock_guard<std::mutex> g(m_lock);
    switch (selector) {
    case 1: ClearAllLocked(); break;
    case 13: ClearFirmwareLocked(); break;
    case 14: ClearProductLocked(); break;
    default: break;
    }
}

void CModel::ClearReportFlags()
{
    std::lock_guard<std::mutex> g(m_lock);
    for (int i = 0; i < MODEL_REPORT_FLAG_COUNT; ++i) m_reportFlags[i] = false;
}

void CModel::ClearReportTexts()
{
    std::lock_guard<std::mutex> g(m_lock);
    for (int i = 0; i < MODEL_REPORT_TEXT_COUNT; ++i) m_reportTexts[i].clear();
}

// ---------------------------------------------------------------------------
// Frames and commands

void CModel::SetLastRawFrame(ProtocolKind kind, const uint8_t* bytes, int length)
{
    if (bytes == nullptr || length < 0) length = 0;
    {
        std::lock_guard<std::mutex> g(m_lock);
        m_rawFrame.assign(bytes, bytes + length);
        m_rawFrameKind = kind;
        if (kind != PROTO_QBIN) m_checksumFlag = 1;
    }
    Notify(EV_RAW_FRAME, kind, IsSentEvent(EV_RAW_FRAME));
    std::lock_guard<std::mutex> g(m_lock);
    m_rawFrameKind = 0;
}

ProtocolKind CModel::GetLastRawFrame(CByteArray& out)
{
    std::lock_guard<std::mutex> g(m_lock);
    out.SetSize(static_cast<INT_PTR>(m_rawFrame.size()));
    if (!m_rawFrame.empty()) std::memcpy(out.GetData(), m_rawFrame.data(), m_rawFrame.size());
    return m_rawFrameKind;
}

void CModel::SetLastSentCommand(ProtocolKind kind, const uint8_t* bytes, int length)
{
    if (bytes == nullptr || length < 0) length = 0;
    {
        std::lock_guard<std::mutex> g(m_lock);
        m_sentCommand.assign(bytes, bytes + length);
        m_sentCommandKind = kind;
    }
    Notify(EV_COMMAND_BYTES, 0, IsSentEvent(EV_COMMAND_BYTES));
    std::lock_guard<std::mutex> g(m_lock);
    m_sentCommandKind = 0;
}

ProtocolKind CModel::GetLastSentCommand(CByteArray& out)
{
    std::lock_guard<std::mutex> g(m_lock);
    out.SetSize(static_cast<INT_PTR>(m_sentCommand.size()));
    if (!m_sentCommand.empty())
        std::memcpy(out.GetData(), m_sentCommand.data(), m_sentCommand.size());
    return m_sentCommandKind;
}

uint32_t CModel::GetActivityFlags()
{
    return m_activity.load();
}

// Runs for every byte the reader receives: the flags are an atomic word of
// their own rather than a block under the model lock, and a bit that is
// already set is not written again.
void CModel::SetActivityFlag(uint32_t mask, bool clear)
{
    if (mask == 0)
        m_activity.store(0);
    else if (clear)
        m_activity.fetch_and(~mask);
    else if ((m_activity.load(std::memory_order_relaxed) & mask) != mask)
        m_activity.fetch_or(mask);
}

bool CModel::GetChecksumFlag()
{
    std::lock_guard<std::mutex> g(m_lock);
    return m_checksumFlag != 0;
}

// ---------------------------------------------------------------------------
// CRC announcement

void CModel::SetExpectedCrc(uint16_t size, uint16_t crc)
{
    std::lock_guard<std::mutex> g(m_lock);
    m_expectedSize = size;
    m_expectedCrc = crc;
}

void CModel::GetExpectedCrc(uint16_t& size, uint16_t& crc)
{
    std::lock_guard<std::mutex> g(m_lock);
    size = m_checkedSize;
    crc = m_checkedCrc;
}

bool CModel::CheckPacketCrc(const uint8_t* packet, int length)
{
    if (packet == nullptr || length <= 1) return true;
    if (packet[0] == 0xAA) return true;  // the announcement itself is never announced
    std::lock_guard<std::mutex> g(m_lock);
    if (m_expectedSize == 0 && m_expectedCrc == 0) return true;
    bool ok = length - 1 == static_cast<int>(m_expectedSize) &&
              (ComputeCrc32(packet + 1, length - 1) & 0xFFFFu) == m_expectedCrc;
    // One announcement covers exactly the next packet, pass or fail.
    m_checkedSize = m_expectedSize;
    m_checkedCrc = m_expectedCrc;
    m_expectedSize = 0;
    m_expectedCrc = 0;
    return ok;
}

// ---------------------------------------------------------------------------
// Identification (the version rules are in CModelIdentify.cpp)

bool CModel::GetFirmwareVersion(FirmwareVersionRecord& out, int which)
{
    if (which != 0 && which != 1) return false;
    std::lock_guard<std::mutex> g(m_lock);
    out = m_firmware[which];
    return true;
}

void CModel::SetProductInfo(const ProductRecord& record)
{
    uint16_t code;
    {
        std::lock_guard<std::mutex> g(m_lock);
        m_product = record;
        m_product.name[MODEL_NAME_LENGTH - 1] = '\0';
        code = record.code;
    }
    Notify(EV_PRODUCT_INFO, 0, false);
    SetReceiverModel(code);
}

bool CModel::GetProductInfo(ProductRecord& out)
{
    std::lock_guard<std::mutex> g(m_lock);
    out = m_product;
    return true;
}

CString CModel::GetReceiverName()
{
    std::lock_guard<std::mutex> g(m_lock);
    return CString(m_product.name);
}

int32_t CModel::GetReceiverModel()
{
    std::lock_guard<std::mutex> g(m_lock);
    return m_receiverModel;
}

uint32_t CModel::GetCapabilityBits()
{
    std::lock_guard<std::mutex> g(m_lock);
    return m_capabilities;
}

void CModel::SetComponentVersion(const FirmwareVersionRecord& record, int index, bool notify)
{
    if (index < 0 || index >= MODEL_COMPONENT_COUNT) return;
    {
        std::lock_guard<std::mutex> g(m_lock);
        m_components.entries[index] = record;
        m_components.entries[index].name[MODEL_NAME_LENGTH - 1] = '\0';
        if (notify) m_components.count = static_cast<uint8_t>(index + 1);
    }
    RaiseIf(notify, EV_COMPONENT_VERSION, 0);
}

bool CModel::GetComponentVersions(ComponentVersionTable& out, int& count)
{
    std::lock_guard<std::mutex> g(m_lock);
    out = m_components;
    count = m_components.count;
    return true;
}

// ---------------------------------------------------------------------------
// Navigation

bool CModel::UpdateNavState(const NavState& record, int32_t kind, CConverterEngine* converter)
{
    if (converter != nullptr && converter->IsTranslationOn()) {
        NavText text;
        NavTranslation(record, kind, text);
        if (!text.IsEmpty()) converter->WriteTranslationText(text.Get(), false, false);
    }
    if (kind == NAV_KIND_LLA_DOUBLE || kind == NAV_KIND_LLA_SINGLE) kind = NAV_KIND_LLA;
    if (kind == NAV_KIND_XYZ_DOUBLE || kind == NAV_KIND_XYZ_SINGLE) kind = NAV_KIND_XYZ;
    switch (kind) {
    case NAV_KIND_SVS_ONLY: case NAV_KIND_LLA: case NAV_KIND_XYZ: case NAV_KIND_VEL_ENU:
    case NAV_KIND_VEL_XYZ: case NAV_KIND_FIX: case NAV_KIND_TIMING_FIX: case NAV_KIND_CLOCK:
        break;
    default:
        return false;  // the kind becomes the event code: anything else would raise a wrong event
    }
    {
        std::lock_guard<std::mutex> g(m_lock);
        // A receiver told to suppress these reports still sends them now and
        // then; live views ignore them, a conversion keeps every record.
        if (converter == nullptr && (m_ioOptions.position & 0x20) != 0 &&
            kind >= NAV_KIND_LLA && kind <= NAV_KIND_VEL_XYZ)
            return false;
        if (kind != NAV_KIND_SVS_ONLY) m_prevNav = m_nav;
        m_nav = record;
        if (kind != NAV_KIND_SVS_ONLY && record.timeOfFix >= 0) {
            if (IsPositionKind(kind) || kind == NAV_KIND_FIX || kind == NAV_KIND_TIMING_FIX)
                m_activity |= ACT_POSITION;
            if (kind == NAV_KIND_VEL_ENU || kind == NAV_KIND_VEL_XYZ || kind == NAV_KIND_FIX)
                m_activity |= ACT_VELOCITY;
            if (kind == NAV_KIND_FIX) m_activity |= ACT_FIX_REPORT;
        }
    }
    if (kind != NAV_KIND_SVS_ONLY) Notify(kind, 0, IsSentEvent(kind));
    if (converter != nullptr && converter->HasTimeFilter()) {
        double tow = record.timeOfFix;
        uint32_t seconds = (std::isfinite(tow) && tow >= 0 && tow < 2147483648.0)
                               ? static_cast<uint32_t>(tow) : 0;
        bool inside = converter->IsInRange(record.week, static_cast<int32_t>(seconds));
        std::lock_guard<std::mutex> g(m_lock);
        m_inWindow = inside ? 1 : 0;
    }
    return true;
}

bool CModel::GetNavState(NavState& out)
{
    std::lock_guard<std::mutex> g(m_lock);
    out = m_nav;
    return true;
}

bool CModel::GetPreviousNavState(NavState& out)
{
    std::lock_guard<std::mutex> g(m_lock);
    out = m_prevNav;
    return true;
}

bool CModel::IsInWindow() const
{
    std::lock_guard<std::mutex> g(m_lock);
    return m_inWindow != 0;
}

void CModel::SetTimeInfo(const GpsTimeInfo& record, bool alreadyGps, int32_t detail)
{
    GpsTimeInfo r = record;
    if (r.source == TIME_SOURCE_UTC_CALENDAR && !alreadyGps && r.year != TIME_YEAR_NONE &&
        r.year > 1900)
        CalendarToGps(r);
    {
        std::lock_guard<std::mutex> g(m_lock);
        m_time = r;
        m_activity |= ACT_TIME;
    }
    Notify(EV_GPS_TIME, detail, false);
}

bool CModel::GetTimeInfo(GpsTimeInfo& out)
{
    std::lock_guard<std::mutex> g(m_lock);
    out = m_time;
    return true;
}

uint16_t CModel::GetGpsWeek()
{
    std::lock_guard<std::mutex> g(m_lock);
    return m_time.week;
}

bool CModel::SetDiagTimeInfo(const GpsTimeInfo& record)
{
    if (record.year == 0) return false;
    GpsTimeInfo r = record;
    if (r.source == TIME_SOURCE_UTC_CALENDAR && r.year != TIME_YEAR_NONE) CalendarToGps(r);
    {
        std::lock_guard<std::mutex> g(m_lock);
        m_diagTime = r;
    }
    Notify(EV_DIAG_TIME, 0, false);
    return true;
}

bool CModel::GetDiagTimeInfo(GpsTimeInfo& out)
{
    std::lock_guard<std::mutex> g(m_lock);
    out = m_diagTime;
    return true;
}

void CModel::CalendarToGps(GpsTimeInfo& r)
{
    int32_t week = 0;
    int32_t seconds = 0;
    GetGpsTimeFromTime(MakeCalendarTime(r.year, r.month, r.day, r.hour, r.minute, r.second), week,
                       seconds);
    r.week = static_cast<uint16_t>(week);
    r.timeOfWeek = static_cast<uint32_t>(seconds);
}

void CModel::SetFixModeAndDops(const FixModeRecord& record, bool notify)
{
    {
        std::lock_guard<std::mutex> g(m_lock);
        m_fixMode = record;
        // Only 12 satellite numbers are kept; a larger count would send
        // readers past the list.
        if (m_fixMode.svCount > MODEL_FIX_SV_COUNT) m_fixMode.svCount = MODEL_FIX_SV_COUNT;
        if (notify) m_activity |= ACT_FIX_MODE;
    }
    RaiseIf(notify, EV_FIX_MODE, 0);
}

bool CModel::GetFixModeAndDops(FixModeRecord& out)
{
    std::lock_guard<std::mutex> g(m_lock);
    out = m_fixMode;
    return true;
}

// The setters below share one shape: copy the record in under the lock, then
// raise the event without it.
#define MODEL_SIMPLE_RECORD(Setter, Getter, Type, member, event)  \
    void CModel::Setter(const Type& record)                       \
    {                                                             \
        {                                                         \
            std::lock_guard<std::mutex> g(m_lock);                \
            member = record;                                      \
        }                                                         \
        Notify(event, 0, IsSentEvent(event));                     \
    }                                                             \
    bool CModel::Getter(Type& out)                                \
    {                                                             \
        std::lock_guard<std::mutex> g(m_lock);                    \
        out = member;                                             \
        return true;                                              \
    }

MODEL_SIMPLE_RECORD(SetDops, GetFixSvList, DopRecord, m_dops, EV_DOPS)
MODEL_SIMPLE_RECORD(SetRawMeasurement, GetRawMeasurement, RawMeasurement, m_rawMeas,
                    EV_RAW_MEASUREMENT)
MODEL_SIMPLE_RECORD(SetSvFlags, GetSvFlags, SvFlags, m_svFlags, EV_SV_FLAGS)
MODEL_SIMPLE_RECORD(SetAlmanac, GetAlmanac, AlmanacRecord, m_almanac, EV_ALMANAC)
MODEL_SIMPLE_RECORD(SetUtcParams, GetUtcParams, UtcParams, m_utc, EV_UTC)
MODEL_SIMPLE_RECORD(SetIonoParams, GetIonoParams, IonoParams, m_iono, EV_IONOSPHERE)
MODEL_SIMPLE_RECORD(SetFilterConfig, GetFilterConfig, FilterConfig, m_filter, EV_FILTER_CONFIG)
MODEL_SIMPLE_RECORD(SetNavConfig, GetNavConfig, NavConfig, m_navConfig, EV_NAV_CONFIG)
MODEL_SIMPLE_RECORD(SetDatum, GetDatum, DatumRecord, m_datum, EV_DATUM)
MODEL_SIMPLE_RECORD(SetPortConfig, GetPortConfig, PortConfigRecord, m_portConfig, EV_PORT_CONFIG)
MODEL_SIMPLE_RECORD(SetNmeaOutputConfig, GetNmeaOutputConfig, NmeaOutputConfig, m_nmeaOutput,
                    EV_NMEA_OUTPUT)
MODEL_SIMPLE_RECORD(SetSupplementalTiming, GetSupplementalTiming, SupplementalTiming,
                    m_suppTiming, EV_SUPPLEMENTAL_TIMING)

#undef MODEL_SIMPLE_RECORD

void CModel::SetReferenceAltitude(float value, uint8_t flag)
{
    {
        std::lock_guard<std::mutex> g(m_lock);
        m_refAltitude.value = value;
        m_refAltitude.flag = flag;
    }
    Notify(EV_REFERENCE_ALTITUDE, 0, false);
}

bool CModel::GetReferenceAltitude(float& value, uint8_t& flag)
{
    std::lock_guard<std::mutex> g(m_lock);
    value = m_refAltitude.value;
    flag = m_refAltitude.flag;
    return true;
}

// ---------------------------------------------------------------------------
// Receiver status

#define MODEL_VALUE(Setter, Getter, Type, member, event, detailIsValue) \
    void CModel::Setter(Type value)                                     \
    {                                                                   \
        {                                                               \
            std::lock_guard<std::mutex> g(m_lock);                      \
            member = value;                                             \
        }                                                               \
        Notify(event, (detailIsValue) ? static_cast<int32_t>(value) : 0, false); \
    }                                                                   \
    Type CModel::Getter()                                               \
    {                                                                   \
        std::lock_guard<std::mutex> g(m_lock);                          \
        return member;                                                  \
    }

MODEL_VALUE(SetHealthStatus, GetHealthStatus, uint32_t, m_health, EV_HEALTH, false)
MODEL_VALUE(SetHealthErrorBits, GetHealthErrorBits, uint32_t, m_healthErrors, EV_HEALTH_ERRORS,
            true)
MODEL_VALUE(SetMachineId, GetMachineId, uint32_t, m_machineId, EV_MACHINE_ID, true)
MODEL_VALUE(SetStatusCode, GetStatusCode, uint32_t, m_statusCode, EV_STATUS_CODE, true)
MODEL_VALUE(SetDgpsMode, GetDgpsMode, uint8_t, m_dgpsMode, EV_DGPS_MODE, true)

#undef MODEL_VALUE

void CModel::SetSvMaskWord(uint32_t value)
{
    {
        std::lock_guard<std::mutex> g(m_lock);
        m_svMask = value;
    }
    Notify(EV_SV_MASK, 0, false);
}

bool CModel::GetSvMaskWord(uint32_t& out)
{
    std::lock_guard<std::mutex> g(m_lock);
    out = m_svMask;
    return true;
}

void CModel::SetDiagStatus(const DiagStatusRecord& record, int32_t detail)
{
    {
        std::lock_guard<std::mutex> g(m_lock);
        m_diagStatus = record;
    }
    Notify(EV_DIAG_STATUS, detail, false);
}

bool CModel::GetDiagStatus(DiagStatusRecord& out)
{
    std::lock_guard<std::mutex> g(m_lock);
    out = m_diagStatus;
    return true;
}

void CModel::SetDiagTextRecord(const DiagTextRecord& record, int32_t detail)
{
    {
        std::lock_guard<std::mutex> g(m_lock);
        m_diagText = record;
        m_diagText.productPartNumber[MODEL_PROD_TEXT_LENGTH - 1] = '\0';
        m_diagText.hardwareId[MODEL_PROD_TEXT_LENGTH - 1] = '\0';
    }
    Notify(EV_DIAG_TEXT, detail, false);
}

bool CModel::GetDiagTextRecord(DiagTextRecord& out)
{
    std::lock_guard<std::mutex> g(m_lock);
    out = m_diagText;
    return true;
}

void CModel::AddDiagMessage(int index, int32_t code, const char* text)
{
    std::string t = text ? text : "";
    if (index >= 0) {
        char suffix[48];
        snprintf(suffix, sizeof suffix, " (requested by idx: %d)", index);
        t += suffix;
    }
    int position;
    {
        std::lock_guard<std::mutex> g(m_lock);
        // The list would otherwise grow for as long as the link runs.
        if (m_diagCodes.size() > 65535) {
            m_diagCodes.clear();
            m_diagTexts.clear();
        }
        m_diagCodes.push_back(code & 0xFFFF);
        m_diagTexts.push_back(t);
        position = static_cast<int>(m_diagCodes.size()) - 1;
    }
    Notify(EV_DIAG_MESSAGE, position, false);
}

bool CModel::GetDiagMessage(int n, int32_t& code, CString& text)
{
    std::lock_guard<std::mutex> g(m_lock);
    if (n < 0 || static_cast<size_t>(n) >= m_diagCodes.size()) return false;
    code = m_diagCodes[n];
    text = m_diagTexts[n].c_str();
    return true;
}

int CModel::GetDiagMessageCount()
{
    std::lock_guard<std::mutex> g(m_lock);
    return static_cast<int>(m_diagCodes.size());
}

// ---------------------------------------------------------------------------
// Diagnostic log. Only the reader thread writes it, and Detach runs after the
// reader has stopped, so the file itself needs no lock.

void CModel::SetPlaybackFileName(const char* name)
{
    std::lock_guard<std::mutex> g(m_lock);
    m_playbackName = name ? name : "";
}

void CModel::CloseDiagLog()
{
    if (m_diagLog == nullptr) return;
    m_diagLog->Close();
    delete m_diagLog;
    m_diagLog = nullptr;
}

bool CModel::OpenDiagLog()
{
    std::string playback;
    {
        std::lock_guard<std::mutex> g(m_lock);
        playback = m_playbackName;
    }
    std::string name;
    if (!playback.empty()) {
        char part[16];
        snprintf(part, sizeof part, "_%04d", m_diagLogPart++);
        name = InsertBeforeExtension(InsertBeforeExtension(playback, "_GML"), part);
    } else {
        std::string folder = GetDiagLogFolder();
        CalendarTime t = GetClock().NowLocal();
        char file[64];
        snprintf(file, sizeof file, "GML_%02d%02d%02d_%02d%02d%02d.log", t.wYear % 100,
                 t.wMonth % 100, t.wDay % 100, t.wHour % 100, t.wMinute % 100, t.wSecond % 100);
        name = folder;
        if (!name.empty() && name.back() != '/' && name.back() != '\\') {
#ifdef _WIN32
            name += '\\';
#else
            name += '/';
#endif
        }
        name += file;
    }
    std::unique_ptr<CFile> file(new CFile());
    if (!file->Open(name.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::shareDenyNone |
                                      CFile::typeBinary))
        return false;  // logging is a side line: monitoring goes on without it
    m_diagLog = file.release();
    return true;
}

void CModel::WriteDiagLog(const uint8_t* report, int length)
{
    if (report == nullptr || length <= 0) return;
    // Short reports pass the length table, so each byte is read only when it exists.
    bool wanted = report[0] == 3 || (length >= 2 && report[1] == 1);
    if (!wanted) return;
    if (m_diagLog != nullptr && length >= 8 && report[4] == '*' && report[5] == '*' &&
        report[6] == 'X') {
        int code = report[7];
        if (code == 11) m_diagLogEnd = 11;
        if ((code == 11 || code == 3) && code == m_diagLogEnd) CloseDiagLog();
    }
    if (m_diagLog == nullptr && !OpenDiagLog()) return;
    if (length > 2) m_diagLog->Write(report + 2, static_cast<UINT>(length - 2));
}

// ---------------------------------------------------------------------------
// Satellites and signals

void CModel::SetTrackingTable(const TrackingTable& table, int channel)
{
    // 255 marks a whole-table replacement; other channels name one entry.
    if (channel != 255 && (channel < 0 || channel >= MODEL_CHANNEL_COUNT)) return;
    {
        std::lock_guard<std::mutex> g(m_lock);
        m_tracking = table;
    }
    Notify(EV_TRACKING, channel, false);
}

bool CModel::GetTrackingTable(TrackingTable& out)
{
    std::lock_guard<std::mutex> g(m_lock);
    out = m_tracking;
    return true;
}

void CModel::ClearTrackingEntry(int n)
{
    if (n < 0 || n >= MODEL_CHANNEL_COUNT) return;
    std::lock_guard<std::mutex> g(m_lock);
    m_tracking.entries[n].sv = 0;
}

void CModel::SetSignalLevels(const SignalLevelTable& table)
{
    {
        std::lock_guard<std::mutex> g(m_lock);
        m_levels = table;
        if (m_levels.count > MODEL_CHANNEL_COUNT) m_levels.count = MODEL_CHANNEL_COUNT;
    }
    Notify(EV_SIGNAL_LEVELS, 0, false);
}

bool CModel::GetSignalLevels(SignalLevelTable& out)
{
    std::lock_guard<std::mutex> g(m_lock);
    out = m_levels;
    return true;
}

// ---------------------------------------------------------------------------
// System data

void CModel::SetAlmanacHealthPage(const AlmanacHealthPage& record, bool notify)
{
    {
        std::lock_guard<std::mutex> g(m_lock);
        m_almHealth = record;
    }
    RaiseIf(notify, EV_ALMANAC_HEALTH, 0);
}

bool CModel::GetAlmanacHealthPage(AlmanacHealthPage& out)
{
    std::lock_guard<std::mutex> g(m_lock);
    out = m_almHealth;
    return true;
}

void CModel::SetEphemeris(const EphemerisRecord& record, bool notify)
{
    {
        std::lock_guard<std::mutex> g(m_lock);
        m_ephemeris = record;
    }
    RaiseIf(notify, EV_EPHEMERIS, 0);
}

bool CModel::GetEphemeris(EphemerisRecord& out)
{
    std::lock_guard<std::mutex> g(m_lock);
    out = m_ephemeris;
    return true;
}

// ---------------------------------------------------------------------------
// Configuration

void CModel::SetIoOptions(const IoOptions& options)
{
    {
        std::lock_guard<std::mutex> g(m_lock);
        m_ioOptions = options;
        m_ioOptionsReported = true;
        m_checksumFlag = (options.auxiliary >> 6) & 1;
    }
    Notify(EV_IO_OPTIONS, 0, false);
}

bool CModel::GetIoOptions(IoOptions& out)
{
    std::lock_guard<std::mutex> g(m_lock);
    out = m_ioOptions;
    return m_ioOptionsReported;
}

void CModel::SetQtxtConfig(const QtxtConfigRecord& record, int32_t event)
{
    {
        std::lock_guard<std::mutex> g(m_lock);
        m_qtxtConfig = record;
        m_qtxtConfig.messageId[sizeof m_qtxtConfig.messageId - 1] = '\0';
        m_qtxtConfig.vehicleId[sizeof m_qtxtConfig.vehicleId - 1] = '\0';
    }
    Notify(event, 0, IsSentEvent(event));
}

bool CModel::GetQtxtConfig(QtxtConfigRecord& out)
{
    std::lock_guard<std::mutex> g(m_lock);
    out = m_qtxtConfig;
    return true;
}

void CModel::SetTimingConfig(const TimingConfig& block, int32_t event)
{
    {
        std::lock_guard<std::mutex> g(m_lock);
        m_timingConfig = block;
    }
    Notify(event, 0, IsSentEvent(event));
}

bool CModel::GetTimingConfig(TimingConfig& out)
{
    std::lock_guard<std::mutex> g(m_lock);
    out = m_timingConfig;
    return true;
}

// ---------------------------------------------------------------------------
// Link bookkeeping

void CModel::SetMonReadAddress(uint32_t address)
{
    std::lock_guard<std::mutex> g(m_lock);
    m_monReadAddress = address;
}

uint32_t CModel::GetMonReadAddress()
{
    std::lock_guard<std::mutex> g(m_lock);
    return m_monReadAddress;
}

void CModel::SetReportText(int n, const char* text)
{
    if (n < 0 || n >= MODEL_REPORT_TEXT_COUNT) return;
    if (text == nullptr) text = "";
    std::lock_guard<std::mutex> g(m_lock);
    // Decoders label their slot with every report, nearly always as before.
    if (m_reportTexts[n] != text) m_reportTexts[n] = text;
}

CString CModel::GetReportText(int n)
{
    if (n < 0 || n >= MODEL_REPORT_TEXT_COUNT) return CString();
    std::lock_guard<std::mutex> g(m_lock);
    return CString(m_reportTexts[n].c_str());
}

void CModel::SetReportFlag(int n, bool value)
{
    if (n < 0 || n >= MODEL_REPORT_FLAG_COUNT) return;
    std::lock_guard<std::mutex> g(m_lock);
    m_reportFlags[n] = value;
}

bool CModel::GetReportFlag(int n)
{
    if (n < 0 || n >= MODEL_REPORT_FLAG_COUNT) return false;
    std::lock_guard<std::mutex> g(m_lock);
    return m_reportFlags[n];
}
