#pragma once
// SHA-256 of a byte range as 64 lower-case hexadecimal characters.
#include <cstdint>
#include <span>
#include <string>

namespace refloq::sim {

std::string Sha256Hex(std::span<const std::uint8_t> bytes);

}  // namespace refloq::sim
