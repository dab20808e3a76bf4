#pragma once
// The texts discovery shows: string ids of the application's string table
// (loaded through the window's UiStringLoader when shown), and the two
// fixed texts of the missing-template box, which are not in the table.
#include <string_view>

namespace refloq::discovery {

inline constexpr int kStringReady = 113;  // "Ready"
inline constexpr int kStringDeviceNotFound =
    133;  // "Device Not Found.  Please Check."
inline constexpr int kStringDeviceBusy = 134;  // "Device is Busy."
inline constexpr int kStringAddSuccess = 135;  // "Add IP Address Success."

inline constexpr std::string_view kNoProbeTemplateText =
    "No Send Data,Please check sample file";
inline constexpr std::string_view kNoProbeTemplateCaption = "Error";

}  // namespace refloq::discovery
