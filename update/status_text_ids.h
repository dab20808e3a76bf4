#pragma once
// Ids of the status texts that update jobs write into their rows.  The texts
// themselves come from the string table (or a language library) at the
// moment they are written.
namespace refloq::update {

inline constexpr int kTextReady = 113;
inline constexpr int kTextSuccess = 114;
inline constexpr int kTextUpdateFailed = 115;
inline constexpr int kTextStartingUpdate = 116;
inline constexpr int kTextBusyAborted = 117;
inline constexpr int kTextFailedAborted = 118;
inline constexpr int kTextConnectionFailed = 119;
inline constexpr int kTextSendFwFailed = 120;
inline constexpr int kTextGetUuidFailed = 123;
inline constexpr int kTextChecking = 124;
inline constexpr int kTextFwFileMissing = 125;
inline constexpr int kTextDeviceError = 126;
inline constexpr int kTextStopWiaFailed = 127;
inline constexpr int kTextStartWiaFailed = 128;
inline constexpr int kTextFirmwareCorrupted = 129;
inline constexpr int kTextSendingData = 130;
inline constexpr int kTextRebootCountdown = 131;  // "%d:%02d" format
inline constexpr int kTextRecoverFwSuccess = 137;
inline constexpr int kTextNotInRecoveryMode = 138;
inline constexpr int kTextCannotDowngrade = 160;

}  // namespace refloq::update
