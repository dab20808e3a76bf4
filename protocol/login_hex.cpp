#include "protocol/login_hex.h"

#include <openssl/rand.h>
#include <openssl/sha.h>

#include "protocol/login_secret.h"

namespace refloq::protocol {

HexText HexSha256(std::span<const std::uint8_t> bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::array<std::uint8_t, SHA256_DIGEST_LENGTH> digest{};
  SHA256(bytes.data(), bytes.size(), digest.data());
  HexText text{};
  for (std::size_t i = 0; i < digest.size(); ++i) {
    text[2 * i] = static_cast<std::uint8_t>(kDigits[digest[i] >> 4]);
    text[2 * i + 1] = static_cast<std::uint8_t>(kDigits[digest[i] & 0x0F]);
  }
  // The digest may be of a password: leave no copy behind.
  WipeBytes(digest);
  return text;
}

std::optional<HexText> MakeNonceText() {
  std::array<std::uint8_t, 32> random{};
  if (RAND_bytes(random.data(), static_cast<int>(random.size())) != 1) {
    return std::nullopt;
  }
  return HexSha256(random);
}

}  // namespace refloq::protocol
