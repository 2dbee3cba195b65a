#pragma once
// One builder per QBIN command. Each fills a caller-owned array with a
// complete packet (DLE, id, stuffed data, DLE ETX) and returns true, or
// empties the array and returns false when the arguments describe no command
// the receiver knows. The command API sends the array only when a builder
// returned true, so a refused command is never half sent.
//
// setFlag: 1 builds the "set" form with its data, any other value the bare
// "query" form. A set-only builder builds nothing for a flag other than 1; a
// builder that needs a record builds nothing for a null record in the form
// that reads it.
#include <cstdint>

#include "framework/CArray.h"
#include "framework/CString.h"
#include "framework/WinTypes.h"
#include "model/ModelRecords.h"
#include "protocol/QbinCommandRecords.h"

// ---- Queries and simple commands ----------------------------------------------

bool BuildQbinHealthQuery(CByteArray& packet);
bool BuildQbinTrackingQuery(CByteArray& packet);
bool BuildQbinRawMeasurementQuery(CByteArray& packet);
bool BuildQbinSelectionQuery(CByteArray& packet);
bool BuildQbinVersionQuery(CByteArray& packet);
bool BuildQbinHardwareQuery(CByteArray& packet);
bool BuildQbinSoftwareVersionQuery(CByteArray& packet);
bool BuildQbinSystemInfoQuery(CByteArray& packet);
bool BuildQbinAlmanacHealthQuery(CByteArray& packet);
bool BuildQbinUtcQuery(CByteArray& packet);
bool BuildQbinIonosphereQuery(CByteArray& packet);
bool BuildQbinAlmanacQuery(CByteArray& packet, BYTE sv);
bool BuildQbinEphemerisQuery(CByteArray& packet, BYTE sv);
bool BuildQbinSaveConfig(CByteArray& packet);
bool BuildQbinSaveSegments(CByteArray& packet, BYTE segment);
bool BuildQbinRestoreSegments(CByteArray& packet, BYTE segment);

// Bytes typed by the user as hex text, cut into tokens by the command
// tokenizer. Every token must be one or two hex digits, in either case. An
// empty text (no token) or any bad token gives false and no bytes; error, when
// given, then says why and names the bad token. Shared by the QBIN form below
// and the link's raw binary form.
bool ParseHexBytesText(const char* text, CByteArray& bytes, CString* error = nullptr);
// A QBIN command typed as hex text: the first byte is the packet id, every
// further byte one data byte (stuffed here).
bool BuildQbinFromHexText(CByteArray& packet, const char* text, CString* error = nullptr);

// Reset types 1 cold, 2 warm, 3 hot, 4 factory, 5 semi-warm, 6 semi-hot and 7;
// any other type builds nothing.
bool BuildQbinReset(CByteArray& packet, int resetType);

// ---- Commands with a set form ----------------------------------------------------

// Always a set. coordinateKind 0: latitude, longitude (radians), altitude
// (metres); 1: ECEF x, y, z (metres). accuracy 0 approximate, 1 accurate.
// doubles: send the coordinates as doubles, else as floats. Any other kind or
// accuracy, or no coordinates, builds nothing.
bool BuildQbinInitialPosition(CByteArray& packet, int coordinateKind, int accuracy, bool doubles,
                              const double coordinates[3]);
// Set form: the layout of the navigation configuration reply; its filler is
// three bytes longer when the record's last field (subcode) is non-zero.
bool BuildQbinReceiverConfig(CByteArray& packet, BYTE setFlag, const NavConfig* config);
bool BuildQbinDatum(CByteArray& packet, BYTE setFlag, uint16_t datumIndex);
// Set form: time of week (whole seconds) as a float, and the week.
bool BuildQbinGpsTime(CByteArray& packet, BYTE setFlag, uint32_t timeOfWeek, uint16_t week);
// Set form: enables (state non-zero) or disables one satellite; the query
// asks for every satellite's state.
bool BuildQbinSatelliteState(CByteArray& packet, BYTE setFlag, BYTE sv, BYTE state);
bool BuildQbinSatelliteMask(CByteArray& packet, BYTE setFlag, uint32_t mask);
bool BuildQbinIoOptions(CByteArray& packet, BYTE setFlag, const IoOptions* options);
// Set form: the four filter bytes, or 01 01 01 01 when the record's fifth
// byte is set.
bool BuildQbinFilterConfig(CByteArray& packet, BYTE setFlag, const FilterConfig* filter);
bool BuildQbinSelfSurveyParams(CByteArray& packet, BYTE setFlag, const TimingConfig* timing);
// Set only: 0 restart the survey, 1 save the position, 2 delete it.
bool BuildQbinSelfSurveyCommand(CByteArray& packet, BYTE setFlag, BYTE code);
// Built only with the flag 0.
bool BuildQbinSupplementalTimingQuery(CByteArray& packet, BYTE setFlag, BYTE request);
bool BuildQbinPacketMask(CByteArray& packet, BYTE setFlag, const TimingConfig* timing);
bool BuildQbinAutoPacketMask(CByteArray& packet, BYTE setFlag, uint32_t mask);
// Set only.
bool BuildQbinTimingSatellite(CByteArray& packet, BYTE setFlag, BYTE sv);
bool BuildQbinPpsSettings(CByteArray& packet, BYTE setFlag, const TimingConfig* timing);
// Set form: the timing record's width (ns) sent in seconds; a width that is
// not above 0 (or not a number) builds nothing.
bool BuildQbinPpsWidth(CByteArray& packet, BYTE setFlag, const TimingConfig* timing);
bool BuildQbinPpsOutputMode(CByteArray& packet, BYTE setFlag, BYTE mode);
bool BuildQbinTimingMode(CByteArray& packet, BYTE setFlag, BYTE mode);
// Parameter groups 0..3 of the timing record; another type ends after the
// type byte in both forms.
bool BuildQbinDiscipliningParams(CByteArray& packet, BYTE setFlag, BYTE type, const TimingConfig* timing);
bool BuildQbinDiscipliningCommand(CByteArray& packet, BYTE setFlag, BYTE code);
// Set only.
bool BuildQbinShutdownStandby(CByteArray& packet, BYTE setFlag, const ShutdownStandbyRecord* record);
// Query: the record's receiver port. Set: the port's serial settings; a baud
// rate, data-bit count, parity or stop-bit code the receiver has no code for
// builds nothing.
bool BuildQbinPortConfig(CByteArray& packet, BYTE setFlag, const PortConfigRecord* port);
bool BuildQbinNmeaOutputConfig(CByteArray& packet, BYTE setFlag, const NmeaOutputConfig* config);
// Set form: the layout of the QTXT configuration reply (flag bits, the
// top-of-hour offset and the eight output periods, the vehicle id).
bool BuildQbinQtxtConfig(CByteArray& packet, BYTE setFlag, const QtxtConfigRecord* config);
// Set form: clears the reference altitude when clearFlag is -1 (or the same
// byte 0xFF), else sets it.
bool BuildQbinReferenceAltitude(CByteArray& packet, BYTE setFlag, float altitude, int clearFlag);

// ---- Diagnostic commands ---------------------------------------------------------

bool BuildQbinDiagFrequency(CByteArray& packet, BYTE setFlag, uint16_t frequencyCode);
bool BuildQbinAdcAutoMode(CByteArray& packet, BYTE setFlag, BYTE mode);
bool BuildQbinTaskProfilingMask(CByteArray& packet, BYTE setFlag, uint32_t taskMask);
bool BuildQbinPowerSavingMode(CByteArray& packet, BYTE setFlag, BYTE mode);
// Set only; interval 0 switches the report off.
bool BuildQbinStackReportInterval(CByteArray& packet, BYTE setFlag, uint16_t interval);
bool BuildQbinMessageQueueReportInterval(CByteArray& packet, BYTE setFlag, uint16_t interval);
bool BuildQbinSerialIoReportInterval(CByteArray& packet, BYTE setFlag, uint16_t interval);
bool BuildQbinCpuReportInterval(CByteArray& packet, BYTE setFlag, uint16_t interval);
// Set only.
bool BuildQbinCustomOutputReport(CByteArray& packet, BYTE setFlag, BYTE on);
// Set only; state 0 enables profiling, any other value disables it.
bool BuildQbinTaskProfilingEnable(CByteArray& packet, BYTE setFlag, BYTE state);
bool BuildQbinMessageQueueProfilingEnable(CByteArray& packet, BYTE setFlag, BYTE state);
bool BuildQbinSimulatorMode(CByteArray& packet, BYTE setFlag, BYTE mode);
bool BuildQbinSimulatorControl(CByteArray& packet, BYTE setFlag, BYTE control);
// Set only: starts or stops the periodic diagnostic report of that type.
bool BuildQbinDiagReportState(CByteArray& packet, BYTE setFlag, BYTE reportType, BYTE state);
// Set only; a record whose first field is not 0 builds nothing.
bool BuildQbinGpioConfig(CByteArray& packet, BYTE setFlag, const GpioConfig* config);
// Query: the production record. Set: type 1 programs the record (texts sent
// as 16 bytes each, zero-padded, longer texts cut), 2 erases it, 3 restores
// the factory defaults; another type builds nothing.
bool BuildQbinProductConfig(CByteArray& packet, BYTE setFlag, BYTE type, const ProductionRecord* record);
// Type 0 starts the test with the parameters, 1 stops it, 2 acknowledges its
// end; another type builds nothing.
bool BuildQbinTrackingTest(CByteArray& packet, BYTE type, const TrackingTestParams* params);
// Types 0/2 write 16/32-bit memory, 1/3 read it, 4 writes and 5 reads an I/O
// port (the low 16 bits of address); another type builds nothing.
bool BuildQbinMemoryAccess(CByteArray& packet, BYTE accessType, uint32_t address, uint32_t value);
// 0 number of logs, 1 get an entry, 2 erase all, 3 insert a test error.
bool BuildQbinErrorLogCommand(CByteArray& packet, BYTE operation, uint16_t entry);
// 0 get a zone, 1 set a zone, 2 erase a zone, 3 erase all.
bool BuildQbinXoAgingCommand(CByteArray& packet, BYTE operation, BYTE zone, uint32_t value, uint16_t count);
