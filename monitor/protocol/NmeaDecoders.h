#pragma once
// The decoders the NMEA dispatcher calls: the standard GPS sentences and the
// maker's own replies ("$PZUL" + "R" + two letters). Each takes the accepted
// sentence, already split into fields, and a model (never null); it reads its
// fields in place and stores only what its fields give: a missing or
// malformed field stores and raises nothing.
//
// Standard sentences choose among overlapping sources through the model's
// sentence-seen flags: a sentence type seen once takes precedence over weaker
// ones from then on (GGA's position over RMC's and GLL's, ZDA's time over the
// others', the TF reply over them all).
//
// Velocity from NMEA is speed over ground and course, not a vector: the
// navigation state's east, north and up slots carry speed (m/s), heading
// (radians) and vertical speed (m/s; -700000.0 when not given), and the
// ground speed in knots and the heading are kept beside them.
class CModel;
class NmeaFields;

// ---- Standard sentences ----
void DecodeNmeaZda(const NmeaFields& sentence, CModel* model);
void DecodeNmeaGga(const NmeaFields& sentence, CModel* model);
void DecodeNmeaGsa(const NmeaFields& sentence, CModel* model);
void DecodeNmeaGsv(const NmeaFields& sentence, CModel* model);
void DecodeNmeaRmc(const NmeaFields& sentence, CModel* model);
void DecodeNmeaGll(const NmeaFields& sentence, CModel* model);
void DecodeNmeaVtg(const NmeaFields& sentence, CModel* model);

// ---- The maker's replies ----
void DecodeNmeaHealthReply(const NmeaFields& sentence, CModel* model);          // TF
void DecodeNmeaVersionReply(const NmeaFields& sentence, CModel* model);         // VR
void DecodeNmeaOutputConfigReply(const NmeaFields& sentence, CModel* model);    // NM
void DecodeNmeaPortConfigReply(const NmeaFields& sentence, CModel* model);      // PT
void DecodeNmeaPpsReply(const NmeaFields& sentence, CModel* model);             // PS
void DecodeNmeaReceiverConfigReply(const NmeaFields& sentence, CModel* model);  // CR
void DecodeNmeaTimeReply(const NmeaFields& sentence, CModel* model);            // KG
void DecodeNmeaDatumReply(const NmeaFields& sentence, CModel* model);           // DM
void DecodeNmeaSatelliteMaskReply(const NmeaFields& sentence, CModel* model);   // SV

// ---- The maker's system data replies (broadcast orbit and clock data) ----
void DecodeNmeaAlmanacHealthReply(const NmeaFields& sentence, CModel* model);   // AH
void DecodeNmeaAlmanacReply(const NmeaFields& sentence, CModel* model);         // AL
void DecodeNmeaIonoReply(const NmeaFields& sentence, CModel* model);            // IO
void DecodeNmeaUtcReply(const NmeaFields& sentence, CModel* model);             // UT
void DecodeNmeaEphemerisReply(const NmeaFields& sentence, CModel* model);       // EP
