// Linux has no still-image driver yet: no index opens a device.
#include "platform/still_image_default.h"

namespace refloq::platform::internal {
namespace {

class NoDevicesDriver final : public StillImageDriver {
 public:
  std::unique_ptr<StillImageDevice> Open(int) override { return nullptr; }
};

}  // namespace

StillImageDriver& DefaultStillImageDriver() {
  static NoDevicesDriver driver;
  return driver;
}

}  // namespace refloq::platform::internal
