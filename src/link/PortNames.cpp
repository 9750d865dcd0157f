#include "link/PortNames.h"

#include <cctype>

namespace quillon {

int ComNumber(const std::string& comName) {
    if (comName.size() < 4 || comName.compare(0, 3, "COM") != 0) {
        return -1;
    }
    int n = 0;
    for (size_t i = 3; i < comName.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(comName[i])) || n > 100000) {
            return -1;
        }
        n = n * 10 + (comName[i] - '0');
    }
    return n;
}

std::string StoredDeviceFor(int comNumber, SettingsStore& settings) {
    if (comNumber < 1) {
        return std::string();
    }
    return settings.GetString(settings::kSerialDevices, "COM" + std::to_string(comNumber),
                              "/dev/ttyUSB" + std::to_string(comNumber - 1));
}

void StoreDeviceFor(int comNumber, const std::string& device, SettingsStore& settings) {
    if (comNumber >= 1) {
        settings.SetString(settings::kSerialDevices, "COM" + std::to_string(comNumber), device);
    }
}

std::string DeviceForComName(const std::string& comName, SettingsStore& settings,
                             const std::string& overridePath, int overridePortNumber) {
#ifdef _WIN32
    (void)settings;
    (void)overridePath;
    (void)overridePortNumber;
    return comName;
#else
    const int n = ComNumber(comName);
    if (n < 1) {
        return std::string();
    }
    if (!overridePath.empty() && n == overridePortNumber) {
        return overridePath;
    }
    return StoredDeviceFor(n, settings);
#endif
}

}  // namespace quillon
