#include "platform/service_control.h"

#include <atomic>

namespace refloq::platform {
namespace {

std::atomic<ServiceControl*> g_layer{nullptr};

}  // namespace

ServiceControl& CurrentServiceControl() {
  ServiceControl* layer = g_layer.load(std::memory_order_acquire);
  return layer != nullptr ? *layer : SystemServiceControl();
}

void SetServiceControl(ServiceControl* layer) {
  g_layer.store(layer, std::memory_order_release);
}

}  // namespace refloq::platform
