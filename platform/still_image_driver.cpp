#include "platform/still_image_driver.h"

#include <atomic>

#include "platform/still_image_default.h"

namespace refloq::platform {
namespace {

std::atomic<StillImageDriver*> g_driver{nullptr};

}  // namespace

StillImageDriver& CurrentStillImageDriver() {
  StillImageDriver* driver = g_driver.load(std::memory_order_acquire);
  return driver ? *driver : internal::DefaultStillImageDriver();
}

void SetStillImageDriver(StillImageDriver* driver) {
  g_driver.store(driver, std::memory_order_release);
}

}  // namespace refloq::platform
