#pragma once
// The ids of the program's string table (101 to 165), the one home of every
// id the code uses.  The texts themselves come from the string table or a
// language library when they are shown (app::LoadUiString); code decides
// from these ids, never from a text.
namespace refloq::texts {

enum StringId : int {
  kTextAboutMenu = 101,              // "&About Refloq..."
  kTextToolName = 102,               // not shown
  kTextTitle = 103,                  // "FW Update Tool"
  kTextColumnDestination = 104,      // column 0 header
  kTextSearchByAddress = 105,        // button 1027
  kTextWaitForWake = 106,            // check box 1001
  kTextColumnStatus = 107,           // column 1 header
  kTextRecoverFw = 109,              // button 1003
  kTextSearchNetworkDevices = 110,   // not shown
  kTextStartUpdate = 111,            // button 1144
  kTextClose = 112,                  // button 2
  kTextReady = 113,                  // "Ready"
  kTextSuccess = 114,                // "Success."
  kTextUpdateFailed = 115,           // "FW Update Failed."
  kTextStartingUpdate = 116,         // "Starting Update."
  kTextBusyAborted = 117,            // "Busy, FW Update Aborted."
  kTextFailedAborted = 118,          // "Failed, FW Update Aborted."
  kTextConnectionFailed = 119,       // "Connection Failed, ..."
  kTextSendFwFailed = 120,           // "Send FW Failed, ..."
  kTextLockDeviceFailed = 121,       // string test mode only
  kTextDeviceNotFoundAborted = 122,  // string test mode only
  kTextGetUuidFailed = 123,          // "Get UUID Failed, ..."
  kTextChecking = 124,               // "Checking..."
  kTextFwFileMissing = 125,          // "FW File is Missing, ..."
  kTextDeviceError = 126,            // "Device Error Occurred, ..."
  kTextStopWiaFailed = 127,          // "Stop, WIA Failed, ..."
  kTextStartWiaFailed = 128,         // "Start WIA Failed."
  kTextFirmwareCorrupted = 129,      // "Firmware in ... is corrupted."
  kTextSendingData = 130,            // "Sending Data. Wait for 10-20 Sec."
  kTextRebootCountdown = 131,        // "Wait for %d:%02d min, ..."
  kTextNoDeviceSelected = 132,       // "No Device Selected, Please Check."
  kTextDeviceNotFound = 133,         // "Device Not Found.  Please Check."
  kTextSearchDeviceBusy = 134,       // "Device is Busy." (search by address)
  kTextAddSuccess = 135,             // "Add IP Address Success."
  kTextRecoveryMode = 136,           // "Recovery Mode, click the ..."
  kTextRecoverFwSuccess = 137,       // "Recover FW Success, ..."
  kTextNotInRecoveryMode = 138,      // "This Device is not in Recovery Mode."
  kTextDeviceBusy = 139,             // "Device is Busy." (USB row)
  kTextDeviceHasError = 140,         // "Device has an Error."
  kTextNotFoundAnywhere = 141,       // string test mode only
  kTextNotFoundAdvice = 142,         // not shown
  kTextBeginUpdate = 143,            // "Begin the firmware update?"
  kTextBeginUpdateMany = 144,        // "Multiple devices selected. ..."
  kTextSearch = 148,                 // button 1000
  kTextPassword = 157,               // password dialog label
  kTextLogin = 158,                  // password dialog button 1
  kTextCancel = 159,                 // password dialog button 2
  kTextCannotDowngrade = 160,        // "... Cannot downgrade firmware"
  kTextLoginRefused = 161,           // "... Incorrect password"
  kTextPasswordIncorrect = 162,      // "Password is incorrect!"
  kTextLockedOut = 163,              // "Failed to Login, account locked ..."
  kTextDeviceTableLabel = 164,       // "Device Table:"
  kTextUpdateTableLabel = 165,       // "Update Table:"
};

}  // namespace refloq::texts
