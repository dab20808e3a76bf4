// Any bytes as a settings file: read the program's keys from it.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

#include "platform/private_profile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  static const std::string path =
      "/tmp/refloq-profile-fuzz-" + std::to_string(getpid()) + ".ini";
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data),
             static_cast<std::streamsize>(size));
  using refloq::platform::ReadProfileInt;
  using refloq::platform::ReadProfileString;
  (void)ReadProfileInt("Default", "LoadFW", 0, path);
  (void)ReadProfileInt("Development", "LANG_ID", 9999, path);
  (void)ReadProfileString("Default", "FW_Ver", "0.00", 10, path);
  (void)ReadProfileString("", "", "", 3, path);
  return 0;
}
