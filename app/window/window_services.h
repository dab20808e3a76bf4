#pragma once
// What the window logic takes from the program around it: its texts, its
// settings and firmware source, the still-image service layer and the way
// workers start.  The Win32 program and refloq-cli fill it from the
// running program (WindowServicesOfProgram); the tests give their own.
#include <cstdint>
#include <functional>
#include <string>

#include "firmware/firmware_image.h"
#include "update/job_host.h"

namespace refloq::platform {
class ServiceControl;
}
namespace refloq::update {
class ThreadLauncher;
}

namespace refloq::window {

struct WindowServices {
  // LoadUiString.
  update::UiStringLoader ui;
  // The program's "FileVersion" text, for the title.
  std::string version_text;
  // Read at the window's start: "EnableDowngrade" and "SHOW_ALL_STRING".
  std::function<std::int32_t()> enable_downgrade;
  std::function<std::uint16_t()> show_all_string;
  // Loads the image of "Update Start" (reading "LoadFW" and "FW_Ver"
  // anew each time); false with one of the image's flags set.
  std::function<bool(firmware::FirmwareImage&)> load_firmware;
  // The still-image service layer of USB jobs; null: the process's.
  platform::ServiceControl* service_control = nullptr;
  // How workers start; null: std::thread.
  update::ThreadLauncher* launcher = nullptr;
};

// The running program's: its string table or language library, its
// settings files, its version and its embedded firmware container.
WindowServices WindowServicesOfProgram();

}  // namespace refloq::window
