#pragma once
// The control ids of the main window (dialog 102) and of the password
// dialog (dialog 172).  Ids are per dialog: 1010 is "↓" in the one and the
// password field in the other.
namespace refloq::window {

enum ControlId : int {
  kIdCancel = 2,               // "Close" (also Escape and closing the window)
  kIdSearchNetwork = 1000,     // "Search Network Device"
  kIdWaitForWake = 1001,       // hidden check box, checked at start
  kIdRecoverFw = 1003,         // hidden "Recover FW"
  kIdDeviceTableLabel = 1007,  // "Device Table:"
  kIdUpdateTableLabel = 1008,  // "Update Table:"
  kIdMoveUp = 1009,            // "↑"
  kIdMoveDown = 1010,          // "↓"
  kIdDeviceTable = 1025,       // list: devices found
  kIdUpdateTable = 1026,       // list: devices to update
  kIdSearchByAddress = 1027,   // "Search by IP Address"
  kIdUpdateStart = 1144,       // "Update Start"
  kIdAddressField = 1150,      // IP address field
};

// Dialog 172, the password dialog.
enum PasswordControlId : int {
  kIdPasswordLogin = 1,
  kIdPasswordCancel = 2,
  kIdPasswordField = 1010,
  kIdPasswordLabel = 1011,
};

// Extended list styles: grid lines and full-row selection at start, with
// check boxes once a row was added.
inline constexpr unsigned kListStyleAtStart = 0x21;
inline constexpr unsigned kListStyleWithRows = 0x25;

// The two columns of both lists: header string id and width in pixels.
inline constexpr int kAddressColumnWidth = 120;
inline constexpr int kStatusColumnWidth = 600;

}  // namespace refloq::window
