#pragma once
// Every command builder the command API of the protocol engine calls, behind
// one table. The engine calls builders only through it, so a test can put
// spies in its place and see which builder each method reaches for every
// protocol and vendor sub-mode, also where the real builder builds nothing
// yet. Each member has the type of the builder it stands for and defaults to
// it, so a change of a builder's signature cannot go unnoticed here.
#include "protocol/KestoProtocol.h"
#include "protocol/MonFrame.h"
#include "protocol/NmeaCommands.h"
#include "protocol/QbinCommands.h"
#include "protocol/QopProtocol.h"
#include "protocol/QtxtSentence.h"
#include "protocol/VendorNmeaCommands.h"

#define COMMAND_BUILDER(name) decltype(&::name) name = &::name

struct CommandBuilderTable {
    // ---- QBIN ----
    COMMAND_BUILDER(BuildQbinHealthQuery);
    COMMAND_BUILDER(BuildQbinTrackingQuery);
    COMMAND_BUILDER(BuildQbinRawMeasurementQuery);
    COMMAND_BUILDER(BuildQbinSelectionQuery);
    COMMAND_BUILDER(BuildQbinVersionQuery);
    COMMAND_BUILDER(BuildQbinHardwareQuery);
    COMMAND_BUILDER(BuildQbinSoftwareVersionQuery);
    COMMAND_BUILDER(BuildQbinSystemInfoQuery);
    COMMAND_BUILDER(BuildQbinAlmanacHealthQuery);
    COMMAND_BUILDER(BuildQbinUtcQuery);
    COMMAND_BUILDER(BuildQbinIonosphereQuery);
    COMMAND_BUILDER(BuildQbinAlmanacQuery);
    COMMAND_BUILDER(BuildQbinEphemerisQuery);
    COMMAND_BUILDER(BuildQbinSaveConfig);
    COMMAND_BUILDER(BuildQbinSaveSegments);
    COMMAND_BUILDER(BuildQbinRestoreSegments);
    COMMAND_BUILDER(BuildQbinFromHexText);
    COMMAND_BUILDER(BuildQbinReset);
    COMMAND_BUILDER(BuildQbinInitialPosition);
    COMMAND_BUILDER(BuildQbinReceiverConfig);
    COMMAND_BUILDER(BuildQbinDatum);
    COMMAND_BUILDER(BuildQbinGpsTime);
    COMMAND_BUILDER(BuildQbinSatelliteState);
    COMMAND_BUILDER(BuildQbinSatelliteMask);
    COMMAND_BUILDER(BuildQbinIoOptions);
    COMMAND_BUILDER(BuildQbinFilterConfig);
    COMMAND_BUILDER(BuildQbinSelfSurveyParams);
    COMMAND_BUILDER(BuildQbinSelfSurveyCommand);
    COMMAND_BUILDER(BuildQbinSupplementalTimingQuery);
    COMMAND_BUILDER(BuildQbinPacketMask);
    COMMAND_BUILDER(BuildQbinAutoPacketMask);
    COMMAND_BUILDER(BuildQbinTimingSatellite);
    COMMAND_BUILDER(BuildQbinPpsSettings);
    COMMAND_BUILDER(BuildQbinPpsWidth);
    COMMAND_BUILDER(BuildQbinPpsOutputMode);
    COMMAND_BUILDER(BuildQbinTimingMode);
    COMMAND_BUILDER(BuildQbinDiscipliningParams);
    COMMAND_BUILDER(BuildQbinDiscipliningCommand);
    COMMAND_BUILDER(BuildQbinShutdownStandby);
    COMMAND_BUILDER(BuildQbinPortConfig);
    COMMAND_BUILDER(BuildQbinNmeaOutputConfig);
    COMMAND_BUILDER(BuildQbinQtxtConfig);
    COMMAND_BUILDER(BuildQbinReferenceAltitude);
    COMMAND_BUILDER(BuildQbinDiagFrequency);
    COMMAND_BUILDER(BuildQbinAdcAutoMode);
    COMMAND_BUILDER(BuildQbinTaskProfilingMask);
    COMMAND_BUILDER(BuildQbinPowerSavingMode);
    COMMAND_BUILDER(BuildQbinStackReportInterval);
    COMMAND_BUILDER(BuildQbinMessageQueueReportInterval);
    COMMAND_BUILDER(BuildQbinSerialIoReportInterval);
    COMMAND_BUILDER(BuildQbinCpuReportInterval);
    COMMAND_BUILDER(BuildQbinCustomOutputReport);
    COMMAND_BUILDER(BuildQbinTaskProfilingEnable);
    COMMAND_BUILDER(BuildQbinMessageQueueProfilingEnable);
    COMMAND_BUILDER(BuildQbinSimulatorMode);
    COMMAND_BUILDER(BuildQbinSimulatorControl);
    COMMAND_BUILDER(BuildQbinDiagReportState);
    COMMAND_BUILDER(BuildQbinGpioConfig);
    COMMAND_BUILDER(BuildQbinProductConfig);
    COMMAND_BUILDER(BuildQbinTrackingTest);
    COMMAND_BUILDER(BuildQbinMemoryAccess);
    COMMAND_BUILDER(BuildQbinErrorLogCommand);
    COMMAND_BUILDER(BuildQbinXoAgingCommand);

    // ---- NMEA, the maker's own sentences ----
    COMMAND_BUILDER(BuildNmeaHealthQuery);
    COMMAND_BUILDER(BuildNmeaGsaQuery);
    COMMAND_BUILDER(BuildNmeaGsvQuery);
    COMMAND_BUILDER(BuildNmeaReset);
    COMMAND_BUILDER(BuildNmeaSaveConfig);
    COMMAND_BUILDER(BuildNmeaPortConfig);
    COMMAND_BUILDER(BuildNmeaReceiverConfig);
    COMMAND_BUILDER(BuildNmeaDatum);
    COMMAND_BUILDER(BuildNmeaGpsTime);
    COMMAND_BUILDER(BuildNmeaVersionQuery);
    COMMAND_BUILDER(BuildNmeaHardwareQuery);
    COMMAND_BUILDER(BuildNmeaOutputConfig);
    COMMAND_BUILDER(BuildNmeaFromText);
    COMMAND_BUILDER(BuildNmeaAlmanacStatusQuery);
    COMMAND_BUILDER(BuildNmeaEphemerisQuery);
    COMMAND_BUILDER(BuildNmeaAlmanacQuery);
    COMMAND_BUILDER(BuildNmeaAlmanacHealthQuery);
    COMMAND_BUILDER(BuildNmeaUtcQuery);
    COMMAND_BUILDER(BuildNmeaIonoQuery);
    COMMAND_BUILDER(BuildNmeaInitialPosition);
    COMMAND_BUILDER(BuildNmeaPpsConfig);
    COMMAND_BUILDER(BuildNmeaShutdown);
    COMMAND_BUILDER(BuildNmeaSatelliteMasks);

    // ---- Other makers' dialects ----
    COMMAND_BUILDER(BuildSirfReset);
    COMMAND_BUILDER(BuildSirfOutputConfig);
    COMMAND_BUILDER(BuildSirfPortConfig);
    COMMAND_BUILDER(BuildNemerixReset);
    COMMAND_BUILDER(BuildNemerixOutputConfig);
    COMMAND_BUILDER(BuildNemerixPortConfig);
    COMMAND_BUILDER(BuildNemerixVersionQuery);
    COMMAND_BUILDER(BuildQinetiqReset);
    COMMAND_BUILDER(BuildQinetiqOutputConfig);
    COMMAND_BUILDER(BuildQinetiqPortConfig);
    COMMAND_BUILDER(BuildQinetiqVersionQuery);
    COMMAND_BUILDER(BuildTycoReset);
    COMMAND_BUILDER(BuildTycoOutputConfig);
    COMMAND_BUILDER(BuildTycoPortConfig);
    COMMAND_BUILDER(BuildTycoVersionQuery);
    COMMAND_BUILDER(BuildUbxReset);
    COMMAND_BUILDER(BuildUbxSaveConfig);
    COMMAND_BUILDER(BuildUbloxOutputConfig);
    COMMAND_BUILDER(BuildUbloxPortConfig);
    COMMAND_BUILDER(BuildUnavReset);
    COMMAND_BUILDER(BuildUnavOutputConfig);
    COMMAND_BUILDER(BuildUnavPortConfig);
    COMMAND_BUILDER(BuildUnavVersionQuery);

    // ---- QTXT ----
    COMMAND_BUILDER(BuildQtxtStatusQuery);
    COMMAND_BUILDER(BuildQtxtLongNavQuery);
    COMMAND_BUILDER(BuildQtxtSaveConfig);
    COMMAND_BUILDER(BuildQtxtReset);
    COMMAND_BUILDER(BuildQtxtPortConfig);
    COMMAND_BUILDER(BuildQtxtProtocols);
    COMMAND_BUILDER(BuildQtxtTimeQuery);
    COMMAND_BUILDER(BuildQtxtVersionQuery);
    COMMAND_BUILDER(BuildQtxtFromText);
    COMMAND_BUILDER(BuildQtxtFrequencyReporting);
    COMMAND_BUILDER(BuildQtxtDistanceReporting);
    COMMAND_BUILDER(BuildQtxtVehicleId);
    COMMAND_BUILDER(BuildQtxtReportingFlags);

    // ---- QOP ----
    COMMAND_BUILDER(BuildQopPositionQuery);
    COMMAND_BUILDER(BuildQopSatelliteQuery);
    COMMAND_BUILDER(BuildQopSetDefaults);
    COMMAND_BUILDER(BuildQopPortCommand);
    COMMAND_BUILDER(BuildQopVersionQuery);
    COMMAND_BUILDER(BuildQopFromHexText);

    // ---- KESTO ----
    COMMAND_BUILDER(BuildKestoRequest11);
    COMMAND_BUILDER(BuildKestoRequest16);
    COMMAND_BUILDER(BuildKestoRequest12);
    COMMAND_BUILDER(BuildKestoReset);
    COMMAND_BUILDER(BuildKestoSaveConfig);

    // ---- Monitor-mode frames ----
    COMMAND_BUILDER(BuildMonVersionQuery);
    COMMAND_BUILDER(BuildMonMemoryRead);
};

#undef COMMAND_BUILDER

// The real builders.
const CommandBuilderTable& GetDefaultCommandBuilders();
