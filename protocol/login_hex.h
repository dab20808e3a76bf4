#pragma once
// Hex texts of the login: a SHA-256 digest written as 64 lower-case
// hexadecimal characters, in digest order.
#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace refloq::protocol {

inline constexpr std::size_t kHexTextSize = 64;
using HexText = std::array<std::uint8_t, kHexTextSize>;

// SHA-256 of the bytes as hex text.
HexText HexSha256(std::span<const std::uint8_t> bytes);

// A fresh nonce: the hex SHA-256 of 32 random bytes; none when the random
// generator fails.
std::optional<HexText> MakeNonceText();

}  // namespace refloq::protocol
