#pragma once
// What a login ends with, and the texts it prints to standard output.
namespace refloq::protocol {

enum LoginResult : int {
  LOGIN_RESULT_OK = 1,              // login accepted
  LOGIN_RESULT_WRONG_PASSWORD = 2,  // login rejected
  LOGIN_RESULT_LOCKED_OUT = 3,      // too many failed logins
  LOGIN_RESULT_NOT_READY = 4,       // the status reply is not ready
  LOGIN_RESULT_USB = 5,             // the address is the USB device
};

// Console texts, printed exactly so and without a line break.
inline constexpr char kGetDeviceStatusFailedText[] =
    "Get Device Status Failed!";
inline constexpr char kGetDeviceStatusExtFailedText[] =
    "Get Device Status Ext Failed!";
inline constexpr char kLockedOutText[] =
    "Failed to Login, account locked out. Please try again later.";
inline constexpr char kSetLockFunctionFailedText[] =
    "Set data to lock function Failed!";
inline constexpr char kPasswordIncorrectText[] = "Password is incorrect!";

}  // namespace refloq::protocol
