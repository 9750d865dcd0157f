#pragma once

#include "link/PortNames.h"  // settings::kSerialDevices

// Sections, keys and defaults of the per-user settings.
namespace quillon::settings {

inline constexpr const char* kGeneral = "General Settings";
inline constexpr const char* kComPort = "COM Port";
inline constexpr const char* kBaudRate = "BAUD Rate";
inline constexpr const char* kRelease = "Release";

inline constexpr const char* kModem = "Modem Settings";
inline constexpr const char* kInit = "Init";
inline constexpr const char* kDial = "Dial";
inline constexpr const char* kHangup = "Hangup";
inline constexpr const char* kPhone = "Phone";

// "COM Port" when no port has been chosen.
inline constexpr int kNoComPort = -1;
inline constexpr int kDefaultComPort = kNoComPort;
inline constexpr int kDefaultBaud = 0;
inline constexpr int kDefaultRelease = 0;
inline constexpr const char* kDefaultInit = "at&f1q0v1x4&k3&c0";
inline constexpr const char* kDefaultDial = "atdt";
inline constexpr const char* kDefaultHangup = "ath";
inline constexpr const char* kDefaultPhone = "Your Number";

}  // namespace quillon::settings
