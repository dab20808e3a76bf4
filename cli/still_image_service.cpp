#include "cli/still_image_service.h"

#include "update/wia_control.h"

namespace refloq::cli {

bool RestartStillImageService() {
  update::CWIAControl wia;
  return wia.StartWIA();
}

}  // namespace refloq::cli
