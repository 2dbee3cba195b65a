#include "app/CPortSettings.h"

CPortSettings::CPortSettings(int32_t port, const LinkPortSettings& settings) : m_port(port), m_settings(settings) {}

INT_PTR CPortSettings::DoModal() { return IDOK; }
