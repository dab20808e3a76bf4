#include "cli/still_image_service.h"

#include <optional>

#include "update/wia_control.h"

namespace refloq::cli {

bool RestartStillImageService(platform::ServiceControl* layer) {
  std::optional<update::CWIAControl> wia;
  return update::JobWia(wia, layer).StartWIA();
}

}  // namespace refloq::cli
