#pragma once
// Recordings of any size made without a line: a scenario's receiver talks
// period after period, as fast as the sink takes it, with faults on demand,
// and every fix that leaves whole goes to the truth (see Truth.h).
#include <cstdint>
#include <string>

#include "Receiver.h"
#include "Script.h"
#include "Truth.h"

namespace rxsim {

// The faults of a recording, from a comma-separated list of NAME or
// NAME:EVERY (a period count from 1; 10 when left out):
//   garbage   bytes that start no frame, after every EVERY-th period
//   broken    a frame of other values broken inside (QBIN: a DLE pair;
//             other framings: cut short), after every EVERY-th period
//   bad       a frame of other values that fails its check (QBIN: a CRC
//             announcement that does not match; others: a wrong checksum)
//   crc       the fix of every EVERY-th period itself fails its check (QBIN:
//             its 0x84 and 0x56, the reports with the fix's time, each after
//             a CRC announcement that does not match; NMEA: its GGA, RMC and
//             GLL with wrong checksums): lost, so not in the truth
// Noise a fault leaves open (a start byte inside a broken frame) is ended
// before the next period, so no fault swallows a frame after it.
//   truncate  the recording ends inside the frame of its last period's fix
//             (no EVERY)
struct FaultPlan {
    uint32_t garbage = 0, broken = 0, bad = 0, crc = 0;  // every so many periods; 0 never
    bool truncate = false;
};
// False with the reason in `error` for an unknown name or a bad EVERY.
bool ParseFaults(const std::string& list, FaultPlan& plan, std::string& error);

struct GenerateRequest {
    uint64_t minBytes = 0;    // whole periods until at least this many bytes
    uint64_t minPeriods = 0;  // ... and at least this many periods
    FaultPlan faults;
};

// Where a recording goes.
class RecordingSink {
public:
    virtual ~RecordingSink() {}
    // The next bytes of the recording; false when they cannot be written.
    virtual bool Write(const uint8_t* data, size_t n) = 0;
    // A fix that has left whole (its last byte was written before).
    virtual bool Fix(const FixTruth& fix) = 0;
};

struct GenerateResult {
    Tally tally;             // what a reader must count (bytes: all written)
    uint64_t periods = 0;    // periods the receiver talked, a cut last one included
    uint64_t fixes = 0;      // fixes given to the sink (the truth's lines)
    uint64_t spoiled = 0;    // periods whose fix the crc fault destroyed
    bool cut = false;        // the recording ends inside a frame
};

// Plays `receiver` (freshly loaded: its start-up output comes first) into
// `sink`. False with the reason in `error` when the sink fails or the
// receiver cannot make a fault asked for.
bool GenerateRecording(Receiver& receiver, const GenerateRequest& request, RecordingSink& sink,
                       GenerateResult& result, std::string& error);

}  // namespace rxsim
