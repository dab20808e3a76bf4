#pragma once
// The target's own still-image driver (posix/, win32/).
#include "platform/still_image_driver.h"

namespace refloq::platform::internal {

StillImageDriver& DefaultStillImageDriver();

}  // namespace refloq::platform::internal
