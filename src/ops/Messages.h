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

// Login, mode detection and the compatibility check.
inline constexpr const char* kCommsErrorCheck =
    "Communications error occurred! Please check transceiver.";
inline constexpr const char* kCommsErrorPass =
    "Communications error occurred! Please check transceiver. (pass)";
inline constexpr const char* kCommsErrorPass2 =
    "A communications error occurred! Please check transceiver. (pass 2)";
inline constexpr const char* kCommsError =
    "A communications error occurred! Please check transceiver.";
inline constexpr const char* kLoginFailed = "Login failed! Maybe you entered the wrong password?";
inline constexpr const char* kTableWrittenRebooted =
    "Channel table has been written to the Transceiver.\nTransceiver has been rebooted.";
inline constexpr const char* kIncompatibleNoVersion =
    "The software on the transceiver is not compatible with this version of the Quillon "
    "programmer.\nPlease upgrade the transceiver software to use it with this Quillon programmer.";
inline constexpr const char* kIncompatibleOlder =
    "The Transceiver Software is not compatible with this version of the Quillon programmer.\n"
    "Upgrade the Transceiver Software to use it with this Quillon programmer.";
inline constexpr const char* kIncompatibleNewer =
    "The Programming Software is not compatible with the Transceiver Software.\nUpgrade the "
    "Programming Software to use with this Transceiver.";

// Progress window texts of these procedures.
inline constexpr const char* kTitleLogin = "Login";
inline constexpr const char* kTextLookingLogin = "Looking for login prompt...";
inline constexpr const char* kTextLookingPassword = "Looking for password prompt...";
inline constexpr const char* kTitleInitialising = "Initialising";
inline constexpr const char* kTextConnecting = "Connecting to transceiver...";
inline constexpr const char* kTextCompatibility = "Determining channel table compatibility...";

inline constexpr const char* kTitleBinaryMode = "Binary mode";
inline constexpr const char* kTextInitBinary = "Initialising binary mode...";

// Write channel table and reboot.
inline constexpr const char* kTitleWritingTable = "Writing channel table";
inline constexpr const char* kTextWritingTable = "Channel table is being written...";
inline constexpr const char* kNotResetting = "Transceiver not resetting! Please check transceiver.";

// Radio-wide parameters.
inline constexpr const char* kTitleGeneralParameters = "General Parameters";
inline constexpr const char* kTextReading = "Reading...";
inline constexpr const char* kTextWriting = "Writing...";
inline constexpr const char* kTableRead = "Channel table has been read from the Transceiver.";
// %s: the parameter's description; %s: the value in the reply as shown.
inline constexpr const char* kParameterNotRead =
    "The Transceiver gave no valid value for the %s: \"%s\".\nThe channel table has been read, "
    "but the radio wide settings are incomplete.";
// %s: the setting's description; %s: its value as shown.
inline constexpr const char* kBadParameterValue =
    "The radio wide setting %s holds \"%s\", which is not valid.\nPlease correct it in Radio "
    "Wide Settings. Nothing has been sent to the Transceiver.";
// %d: the key's place in the list; %s: the key as shown.
inline constexpr const char* kBadKey =
    "Encryption key %d \"%s\" is not valid: it must be 16 hexadecimal digits.\nNothing has "
    "been sent to the Transceiver.";
// %d: the key's place in the list; %d: its key id.
inline constexpr const char* kBadKeyId =
    "Encryption key %d has the Key ID %d, out of range: it must be between 0x0 and 0xFFFF.\n"
    "Nothing has been sent to the Transceiver.";

// Key upload.
inline constexpr const char* kTitleEncryptionKeys = "Encryption keys";
inline constexpr const char* kTextErasingKeys = "Erasing encryption keys...";
inline constexpr const char* kTextWritingKeys = "Writing encryption keys...";
inline constexpr const char* kEraseCardKeys =
    "This document holds no encryption keys. Erase all encryption keys in the transceiver?";

// Change password.
inline constexpr const char* kTitleChangePassword = "Change Password";
inline constexpr const char* kTextPleaseWait = "Please wait...";
inline constexpr const char* kPasswordChanged =
    "Transceiver password has been successfully changed.";
inline constexpr const char* kPasswordNotChanged =
    "Error! transceiver password has not been changed.";
inline constexpr const char* kEnterNewPassword = "Please enter new password.";
inline constexpr const char* kEnterNewPasswordAgain = "Please enter new password again.";
inline constexpr const char* kNewPasswordMismatch =
    "Error in new password entry.\n Please re-enter new password";
inline constexpr const char* kPasswordsMustDiffer = "Old and new passwords must be different.";

// Log lines.
inline constexpr const char* kLogDetectCancel = "DETECT_MODE : User pressed cancel";
inline constexpr const char* kLogDetectCancelNoConnection =
    "DETECT_MODE : User pressed cancel && no connection";
inline constexpr const char* kLogCancel = "Cancel Button pressed";
inline constexpr const char* kLogBinaryMode = "Now in BCI mode";
inline constexpr const char* kLogTextMode = "Now in text mode";
inline constexpr const char* kLogTextRepeated = "Reply spoilt on the line: command sent again";
inline constexpr const char* kLogBinaryProbe =
    "Entering binary mode not confirmed: asking the card which mode it is in";

// Modem.
inline constexpr const char* kTitleDial = "Dial";
inline constexpr const char* kTextDialing = "Dialing";
inline constexpr const char* kModemNotResponding =
    "Modem not responding. Is it switched on and connected to PC?";
inline constexpr const char* kModemConnected = "Connection with remote modem successful";
inline constexpr const char* kModemBusy = "Error! Connection is busy";
inline constexpr const char* kModemNoCarrier =
    "Error! Modem reports no carrier. Please check modem cables";
inline constexpr const char* kModemNoDialtone =
    "Error! Modem reports no dial tone. Please check modem cables";
inline constexpr const char* kModemFailed = "Error! Connection failed";
inline constexpr const char* kTitleDisconnecting = "Disconnecting";
inline constexpr const char* kTextHangingUp = "Hanging up modem...";
inline constexpr const char* kHangupDone = "Hangup of modem completed!";
inline constexpr const char* kHangupFailed = "Hangup of modem failed!";

}  // namespace quillon::msg
