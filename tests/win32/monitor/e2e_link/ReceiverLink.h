#pragma once
// The fixture of the end-to-end tests of one receiver protocol: the link on
// COM5 with a listener window and the auto-query on, rxsim on the far end
// playing a scenario from tools/rxsim/scenarios. The port is opened before the
// scenario starts, so the reader sees every byte rxsim sends and rxsim's
// truth is exactly what the link's counters must show.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "E2eSupport.h"
#include "model/CModel.h"

namespace e2e {

class ReceiverLinkE2e : public ::testing::Test {
protected:
    RxsimClient sim{5};
    EventListener listener;
    CController link;
    SeenCommands seen{sim};

    void TearDown() override;

    // Opens COM5 as `kind`, turns the auto-query on (health, selection,
    // tracking and time every second) unless `autoQuery` is false, then
    // starts the scenario ("tools/rxsim/scenarios/" + `file`).
    void Open(ProtocolKind kind, const std::string& file, bool autoQuery = true);
    void SetAutoQuery(bool on);
    CModel& Model() { return link.GetModel(); }
    ProtocolKind SubMode() { return link.GetProtocol().GetVendorSubMode(); }

    // Pumps until `differences` gives "" (every value as the scenario has
    // it) or `timeoutMs` has passed; the last differences.
    std::string Hold(const std::function<std::string()>& differences, DWORD timeoutMs);

    // The receiver keeps quiet and the auto-query stops; rxsim ends with
    // garbage longer than any frame, so no candidate is left open; once the
    // reader has taken every byte rxsim sent, its 13 counters against
    // rxsim's truth: "" when all agree.
    std::string CountersAgainstTruth();

    // Faults of every kind (bad checksums, cut frames, garbage, false
    // starts, bursts of all) with no other output around them, then the
    // counters against the truth: "" when all agree. The model must still
    // give no `differences` afterwards; that is the caller's check.
    std::string InjectEveryFault();

    // The model gives no `differences` (as the scenario has it), then every
    // fault is injected and counted as the truth says, and the model still
    // gives none.
    void CheckFaultsChangeNothing(const std::function<std::string()>& differences);
};

// A record of the model, zeroed before the model fills it:
// `Read(model, &CModel::GetNavState)`.
template <class Record>
Record Read(CModel& model, bool (CModel::*get)(Record&))
{
    Record r;
    memset(&r, 0, sizeof r);
    (model.*get)(r);
    return r;
}

// Firmware record `which` and the product record, zeroed first.
FirmwareVersionRecord Firmware(CModel& model, int which);
ProductRecord Product(CModel& model);

// Appends `what` to `d` (", "-separated) unless `same`.
void Note(std::string& d, bool same, const std::string& what);
// A firmware record as text, for failure messages: "name 7.74.3 3/15/7".
std::string Describe(const FirmwareVersionRecord& fw);

const double kDegreesToRadians = 0.017453292519943295;

// The place and time every receiver scenario reports: 47 deg 30' N,
// 122 deg 15' W on 9 November 2006 at 01:02:03; the place within
// `tolerance` radians.
void NoteScenarioPlace(std::string& d, const NavState& nav, double tolerance);
void NoteScenarioTime(std::string& d, const GpsTimeInfo& t);

}  // namespace e2e
