#pragma once

// Texts the procedure driver and the application show or log.
namespace quillon::msg {

inline constexpr const char* kSelectPortFirst = "You must select a serial port first!";
inline constexpr const char* kPortNotOpened = "Serial port has not been opened!";
inline constexpr const char* kAlreadyTextMode = "Transceiver already in text mode!";
inline constexpr const char* kLeftInBinary =
    "Transceiver has been left in binary mode!\nUse the Quillon Programmer to exit binary mode "
    "via the configure menu!";
inline constexpr const char* kErrorOpeningPort = "Error opening Com port %i";
inline constexpr const char* kSerialPortConfigCaption = "Serial Port Configuration";

// Log lines.
inline constexpr const char* kLogCancel = "Cancel Button pressed";
inline constexpr const char* kLogBinaryMode = "Now in BCI mode";
inline constexpr const char* kLogTextMode = "Now in text mode";

}  // namespace quillon::msg
