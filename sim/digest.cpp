#include "sim/digest.h"

#include <openssl/sha.h>

#include <array>

namespace refloq::sim {

std::string Sha256Hex(std::span<const std::uint8_t> bytes) {
  std::array<unsigned char, SHA256_DIGEST_LENGTH> digest{};
  SHA256(bytes.data(), bytes.size(), digest.data());
  static constexpr char kHex[] = "0123456789abcdef";
  std::string text;
  for (unsigned char byte : digest) {
    text.push_back(kHex[byte >> 4]);
    text.push_back(kHex[byte & 0x0F]);
  }
  return text;
}

}  // namespace refloq::sim
