#pragma once
// What the general update workflow reads besides its job: the window's
// firmware image and settings, and the way to find a restarted scanner.
// Shared read-only by every worker while jobs run.
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "platform/service_control.h"

namespace refloq::update {

// Finds the scanner whose UUID text is `wanted_id` again after its restart;
// nonzero when it answered ready (RediscoverDevice of discovery/).
using Rediscoverer = std::function<int(std::string_view wanted_id)>;

struct UpdateEnvironment {
  // The deciphered image (m_pFirmwareData, m_nFirmwareSize), and what keeps
  // its bytes alive while a job may still read them (the image's shared
  // pointer), so that a worker left running at close never reads freed
  // memory.
  std::span<const std::uint8_t> firmware;
  std::shared_ptr<const void> firmware_owner;
  // The "Wait for Device to Wake Up" check box.
  bool wait_for_wake = true;
  // "EnableDowngrade" of the settings: nonzero runs the downgrade guard.
  int enable_downgrade = 1;
  // Where the step trace would go; the trace switch is always 0.
  std::string trace_path;
  // Unset: a restarted scanner is never found by its UUID.
  Rediscoverer rediscover;
  // The still-image service layer of the USB jobs; null: the process's.
  platform::ServiceControl* service_control = nullptr;
};

}  // namespace refloq::update
