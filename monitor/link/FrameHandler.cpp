#include "link/FrameHandler.h"

#include <stdio.h>

#include "framework/CString.h"
#include "link/CConverterEngine.h"
#include "model/CModel.h"
#include "model/CrcErrorReport.h"
#include "model/ReceiverEvent.h"
#include "protocol/KestoProtocol.h"
#include "protocol/MonFrame.h"
#include "protocol/NmeaDispatcher.h"
#include "protocol/NmeaSentence.h"
#include "protocol/QbinReports.h"
#include "protocol/QopProtocol.h"
#include "protocol/QtxtSentence.h"

namespace {

const uint32_t ACTIVITY_RECEIVE = 1;
const int32_t DETAIL_BANG_DIGIT = 17;  // the "!"-digit acknowledgement's kind

// The decoders take what their protocol needs; these adapters give them one
// shape for the table.
void DecodeNmea(const BYTE* f, int n, CModel* m, CConverterEngine*, ProtocolKind* dialect)
{
    ProtocolKind local = dialect != nullptr ? *dialect : PROTO_NONE;
    DispatchNmeaSentence(f, n, m, local);
    if (dialect != nullptr) *dialect = local;
}
void DecodeQtxt(const BYTE* f, int n, CModel* m, CConverterEngine*, ProtocolKind*) { DispatchQtxtSentence(f, n, m); }
void DecodeKesto(const BYTE* f, int n, CModel* m, CConverterEngine*, ProtocolKind*) { DecodeKestoFrame(f, n, m); }
void DecodeQop(const BYTE* f, int n, CModel* m, CConverterEngine*, ProtocolKind*) { DispatchQopMessage(f, n, m); }
void DecodeMon(const BYTE* f, int n, CModel* m, CConverterEngine*, ProtocolKind*) { DecodeMonFrame(f, n, m); }

const FrameDispatchTable kDefaultDispatch = {
    {
        {PROTO_NMEA, &CheckNmeaSentence, &DecodeNmea, LINK_NMEA_GOOD, LINK_NMEA_BAD},
        {PROTO_QTXT, &CheckQtxtSentence, &DecodeQtxt, LINK_QTXT_GOOD, LINK_QTXT_BAD},
        {PROTO_KESTO, &CheckKestoFrame, &DecodeKesto, LINK_KESTO_GOOD, LINK_KESTO_BAD},
        {PROTO_QOP, &CheckQopMessage, &DecodeQop, LINK_QOP_GOOD, LINK_QOP_BAD},
        // Monitor-mode frames answer our own memory reads; they are not link traffic.
        {PROTO_MON, &CheckMonFrame, &DecodeMon, -1, -1},
    },
    &FindQbinPacketStart,
    &DecodeQbinReport,
};

}  // namespace

const FrameProtocolEntry* FrameDispatchTable::Find(ProtocolKind kind) const
{
    for (int i = 0; i < FRAME_TEXT_PROTOCOLS; ++i) {
        if (entries[i].kind == kind) return &entries[i];
    }
    return nullptr;
}

FrameProtocolEntry* FrameDispatchTable::Find(ProtocolKind kind)
{
    const FrameDispatchTable* self = this;
    return const_cast<FrameProtocolEntry*>(self->Find(kind));
}

const FrameDispatchTable& GetDefaultFrameDispatch()
{
    return kDefaultDispatch;
}

CFrameHandler::CFrameHandler(const FrameContext& context, const FrameDispatchTable& dispatch)
    : m_context(context),
      m_dispatch(dispatch),
      m_link(context.link != nullptr ? context.link : &m_defaultLink),
      m_observer(nullptr),
      m_noGoodFrameYet(true),
      m_stepSet(false),
      m_fedToCallEnd(0),
      m_lastProtocol(PROTO_NONE),
      m_recogniser(this)
{
    for (const FrameProtocolEntry*& entry : m_entryOfKind) entry = nullptr;
    for (const FrameProtocolEntry& entry : m_dispatch.entries) {
        if (IsValidProtocolKind(entry.kind) && m_entryOfKind[entry.kind] == nullptr)
            m_entryOfKind[entry.kind] = &entry;
    }
    m_recogniser.SetConverting(IsConverting());
    if (IsConverting()) m_recogniser.SetDetectedKind(m_context.converter->GetDetectedKind());
}

FrameStep CFrameHandler::OnBytes(const BYTE* bytes, size_t count)
{
    FrameStep result;
    if (bytes == nullptr) count = 0;
    if (count != 0 && m_context.model != nullptr) m_context.model->SetActivityFlag(ACTIVITY_RECEIVE, false);
    for (;;) {
        // A conversion's window opens and closes with the frames decoded, so
        // during a conversion the recogniser returns after every frame and the
        // window is looked at again for the bytes after it.
        const bool copy = IsRawCopyOpen();
        m_fedToCallEnd = count - result.taken;
        const size_t taken = m_recogniser.Feed(bytes + result.taken, count - result.taken);
        CountBytes(taken);
        if (copy) m_context.converter->AppendRawCopy(bytes + result.taken, taken);
        result.taken += taken;
        if (m_stepSet) break;
        if (result.taken == count && !m_recogniser.HasPending()) break;
    }
    if (m_stepSet) {
        result.pauseMs = m_step.pauseMs;
        result.stopRequested = m_step.stopRequested;
        m_step = FrameStep();
        m_stepSet = false;
    }
    return result;
}

FrameStep CFrameHandler::OnByte(BYTE b)
{
    // The byte may wait behind frames found among bytes scanned again, and
    // frames may follow the one that asked for a pause; the reader's loop
    // knows nothing of either, so everything is done here.
    FrameStep merged;
    do {
        FrameStep step = OnBytes(&b, 1 - merged.taken);
        merged.taken += step.taken;
        if (step.pauseMs != 0) merged.pauseMs = step.pauseMs;
        if (step.stopRequested) {
            merged.stopRequested = true;
            break;
        }
    } while (merged.taken == 0 || m_recogniser.HasPending());
    return merged;
}

// The file position just after the byte that ended the finding being
// handled: the read count covers every byte of the current call.
uint32_t CFrameHandler::FindingPosition()
{
    const size_t end = m_recogniser.GetFindingEnd();
    const size_t after = end < m_fedToCallEnd ? m_fedToCallEnd - end : 0;
    const uint32_t readCount = m_link->GetPlaybackReadCount();
    return after < readCount ? readCount - static_cast<uint32_t>(after) : 0;
}

// A block is counted once it is known how much of it was taken.
void CFrameHandler::CountBytes(size_t count)
{
    if (m_context.statistics == nullptr) return;
    m_context.statistics->Add(LINK_BYTES, static_cast<uint32_t>(count));
}

void CFrameHandler::Count(int counter)
{
    if (m_context.statistics != nullptr && counter >= 0)
        m_context.statistics->Increment(static_cast<LinkCounter>(counter));
}

bool CFrameHandler::IsRawCopyOpen()
{
    CConverterEngine* converter = m_context.converter;
    CModel* model = m_context.model;
    return converter != nullptr && converter->IsRawCopyOn() && model != nullptr && model->IsInWindow();
}

bool CFrameHandler::WantsRawFrames()
{
    // Listeners see every frame of a live port; a replay shows them only when
    // asked, since handing each one over slows it down. A conversion has no
    // listeners.
    if (IsConverting()) return false;
    return m_context.channelType != LINK_CHANNEL_PLAYBACK || m_link->IsPassRawData();
}

void CFrameHandler::PassRawFrame(ProtocolKind kind, const BYTE* frame, int length)
{
    if (m_context.model != nullptr) m_context.model->SetLastRawFrame(kind, frame, length);
}

void CFrameHandler::ReportGoodFrame(ProtocolKind kind)
{
    if (IsConverting()) {
        // Nearly every frame confirms the kind already known.
        if (m_context.converter->GetDetectedKind() != kind) m_context.converter->SetDetectedKind(kind);
        m_recogniser.SetDetectedKind(kind);
    } else if (m_context.model != nullptr) {
        m_context.model->Notify(EV_FRAME_RECEIVED, kind, false);
    }
    SetLastProtocol(kind);
}

// The link is told when the protocol of its last good frame changes: it
// keeps the value, and a store for every frame costs a locked instruction.
void CFrameHandler::SetLastProtocol(ProtocolKind kind)
{
    if (kind == m_lastProtocol) return;
    m_lastProtocol = kind;
    m_link->SetLastProtocol(kind);
}

void CFrameHandler::AfterGoodFrame(ProtocolKind kind, const BYTE* frame, int length)
{
    if (m_link->IsStopRequested()) {
        m_step.stopRequested = true;
        m_stepSet = true;
        return;
    }
    // Only a replay is paced; ask for the marker only when a pause can follow.
    if (m_context.channelType != LINK_CHANNEL_PLAYBACK || IsConverting()) return;
    bool marker = IsMarkerFrame(kind, frame, length, m_context.markers);
    uint32_t pause = GetPacingPause(m_context.channelType, IsConverting(), marker, m_link->GetPlaybackSpeed());
    if (pause != 0) {
        m_step.pauseMs = pause;
        m_stepSet = true;
    }
}

void CFrameHandler::OnFrame(ProtocolKind kind, const BYTE* frame, int length)
{
    if (m_observer != nullptr) m_observer->OnFrame(kind, frame, length);
    if (frame != nullptr && length > 0) {
        if (kind == PROTO_QBIN) {
            HandleQbinPacket(frame, length);
        } else if (IsValidProtocolKind(kind) && m_entryOfKind[kind] != nullptr) {
            HandleFrame(*m_entryOfKind[kind], frame, length);
        }
    }
    if (m_stepSet || IsConverting()) m_recogniser.ReturnAfterFrame();
}

void CFrameHandler::HandleQbinPacket(const BYTE* frame, int length)
{
    CModel* model = m_context.model;
    CConverterEngine* converter = m_context.converter;
    // The CRC that a preceding 0xAA report announced covers id and data: the
    // packet without its leading DLE and closing DLE ETX.
    bool crcOk = length < 4 || model == nullptr || model->CheckPacketCrc(frame + 1, length - 3);
    if (!crcOk) {
        if (!m_noGoodFrameYet) {
            Count(LINK_QBIN_BAD);
            Count(LINK_BAD);
        }
        if (IsConverting()) {
            char position[64];
            snprintf(position, sizeof(position), "  File position at packet end:   0x%X\r\n",
                     static_cast<unsigned>(FindingPosition()));
            CString report;
            FormatCrcErrorReport(report, "", frame, length, model);
            CString text(position);
            text += report;
            converter->WriteTranslationText(text, false, true);
        } else if (model != nullptr) {
            model->SetLastRawFrame(PROTO_QBIN, frame, length);
            model->Notify(EV_CRC_ERROR, PROTO_QBIN, true);
        }
        return;
    }

    int start = 0;
    int packetLength = length;
    if (m_dispatch.findQbinStart == nullptr ||
        !m_dispatch.findQbinStart(frame, packetLength, start, converter))
        return;  // no valid id and length anywhere: dropped silently
    if (start < 0 || packetLength <= 0 || start > length - packetLength) return;
    const BYTE* packet = frame + start;

    ReportGoodFrame(PROTO_QBIN);
    if (WantsRawFrames()) PassRawFrame(PROTO_QBIN, packet, packetLength);
    Count(LINK_GOOD);
    Count(LINK_QBIN_GOOD);
    m_noGoodFrameYet = false;
    if (m_dispatch.decodeQbin != nullptr) m_dispatch.decodeQbin(packet, packetLength, model, converter);
    AfterGoodFrame(PROTO_QBIN, packet, packetLength);
}

void CFrameHandler::HandleFrame(const FrameProtocolEntry& entry, const BYTE* frame, int length)
{
    const bool mon = entry.kind == PROTO_MON;
    // Listeners see the frame before it is judged, so the raw data view shows
    // bad frames too.
    if (WantsRawFrames()) PassRawFrame(entry.kind, frame, length);
    bool ok = entry.check != nullptr && entry.check(frame, length);
    if (!ok) {
        if (!mon && !m_noGoodFrameYet) {
            Count(entry.badCounter);
            Count(LINK_BAD);
        }
        return;  // a failed frame is never a marker
    }

    if (mon) {
        // A conversion does not learn its log's protocol from these.
        if (!IsConverting() && m_context.model != nullptr)
            m_context.model->Notify(EV_FRAME_RECEIVED, PROTO_MON, false);
        SetLastProtocol(PROTO_MON);
    } else {
        ReportGoodFrame(entry.kind);
        Count(LINK_GOOD);
        Count(entry.goodCounter);
        m_noGoodFrameYet = false;
    }

    if (entry.decode != nullptr) {
        if (entry.kind == PROTO_NMEA) {
            // The dispatcher reports the dialect a sentence reveals. It is
            // applied only where the link runs NMEA or finds its protocol by
            // itself; on a QBIN link a stray vendor sentence must not switch
            // the commands the monitor builds.
            ProtocolKind before = m_link->GetVendorSubMode();
            ProtocolKind dialect = before;
            entry.decode(frame, length, m_context.model, m_context.converter, &dialect);
            ProtocolKind protocol = m_link->GetLinkProtocol();
            if (dialect != before && (protocol == PROTO_NMEA || protocol == PROTO_AUTO))
                m_link->SetVendorSubMode(dialect);
        } else {
            entry.decode(frame, length, m_context.model, m_context.converter, nullptr);
        }
    }
    AfterGoodFrame(entry.kind, frame, length);
}

void CFrameHandler::OnBrokenQbinPacket(BYTE id, BYTE firstData, int length)
{
    if (m_observer != nullptr) m_observer->OnBrokenQbinPacket(id, firstData, length);
    if (!IsConverting()) return;  // not counted: the bytes after it start a new packet
    char text[160];
    snprintf(text, sizeof(text),
             "\r\nBroken packet: ID 0x%02X-%02X, length (excluding DLE/ID): %d, File position: 0x%08X",
             static_cast<unsigned>(id), static_cast<unsigned>(firstData), length,
             static_cast<unsigned>(FindingPosition()));
    m_context.converter->WriteTranslationText(text, false, false);
}

void CFrameHandler::OnBangDigit(BYTE digit)
{
    if (m_observer != nullptr) m_observer->OnBangDigit(digit);
    if (IsConverting() || m_context.model == nullptr) return;
    m_context.model->Notify(EV_FRAME_RECEIVED, DETAIL_BANG_DIGIT, false);
}
