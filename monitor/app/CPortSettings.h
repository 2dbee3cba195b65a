#pragma once
// The COM port settings dialog of a port choice. The dialog with its own
// detection comes later; for now it accepts the settings it was given as if
// OK had been pressed, so choosing "COM n" connects with the window's
// current settings.
#include <cstdint>

#include "framework/WinTypes.h"
#include "link/LinkPortSettings.h"
#include "link/ProtocolKind.h"

#ifndef IDOK
#define IDOK 1
#endif

class CPortSettings {
public:
    CPortSettings(int32_t port, const LinkPortSettings& settings);

    // IDOK: the settings were accepted.
    INT_PTR DoModal();
    const LinkPortSettings& GetSettings() const { return m_settings; }
    int32_t GetPort() const { return m_port; }
    // The protocol the dialog found on the port; 0: none looked for.
    ProtocolKind GetDetectedProtocol() const { return 0; }

private:
    int32_t m_port;
    LinkPortSettings m_settings;
};
