#include "platform/resources.h"

#include "platform/resource_registry.h"

// Linux executables carry no resource section: everything the program owns
// was registered by the objects linked into it.
namespace refloq::platform {

std::span<const std::uint8_t> FindBinaryResource(std::uint16_t id) {
  return detail::RegisteredBinaryResource(id).value_or(
      std::span<const std::uint8_t>{});
}

std::optional<std::string> LoadOwnString(std::uint16_t id) {
  return detail::RegisteredOwnString(id);
}

}  // namespace refloq::platform
