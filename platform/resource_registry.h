#pragma once
// The registered side of resources.h, shared by the posix and win32
// implementations.
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace refloq::platform::detail {

// A registered BINARY resource (possibly empty, which hides the program's
// own); nullopt when none is registered.
std::optional<std::span<const std::uint8_t>> RegisteredBinaryResource(
    std::uint16_t id);
std::optional<std::string> RegisteredOwnString(std::uint16_t id);

}  // namespace refloq::platform::detail
