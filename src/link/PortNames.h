#pragma once
#include <string>

#include "core/SettingsStore.h"

// Where each COM number's device lives on systems whose ports are not named
// COMn ("Serial Devices"/"COM3" = "/dev/ttyUSB2" by default). The link keeps
// the section's name because it is the one that reads it.
namespace quillon::settings {
inline constexpr const char* kSerialDevices = "Serial Devices";
}  // namespace quillon::settings

namespace quillon {

// The COM number in a name such as "COM3"; -1 when the name is not one.
int ComNumber(const std::string& comName);

// Where COM<n> lives on this system. On Windows the COM name is the device.
// Elsewhere the settings say ("Serial Devices"/"COMn"), by default the n-th
// USB serial adapter (/dev/ttyUSB<n-1>); a device given on the command line
// replaces the one of the port the program uses in this run. COM0, which an
// empty port selection asks for, names no device.
std::string DeviceForComName(const std::string& comName, SettingsStore& settings,
                             const std::string& overridePath, int overridePortNumber);

// The device stored for COM<n> (without any override), and storing one.
std::string StoredDeviceFor(int comNumber, SettingsStore& settings);
void StoreDeviceFor(int comNumber, const std::string& device, SettingsStore& settings);

}  // namespace quillon
