#include "platform/still_image_default.h"

#include "platform/win32/usbscan_driver.h"

namespace refloq::platform::internal {

StillImageDriver& DefaultStillImageDriver() {
  static UsbscanDriver driver;
  return driver;
}

}  // namespace refloq::platform::internal
