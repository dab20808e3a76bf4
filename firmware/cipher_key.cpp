#include "firmware/cipher_key.h"

#include <openssl/crypto.h>
#include <openssl/sha.h>

namespace refloq::firmware {
namespace {

// splitmix64: spreads a counter into well-mixed 64-bit words.
std::uint64_t Mix(std::uint64_t z) {
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

}  // namespace

CipherKey BuildCipherKey() {
  // 48 bytes of seed material from a few constants, then key = SHA-256 of
  // the material and IV = the first half of SHA-256(key || material).
  std::array<std::uint8_t, 32 + 48> material{};
  std::uint64_t state = 0x52E1F0C8D3A7B915ULL;
  for (std::size_t word = 0; word < 6; ++word) {
    state += 0x9E3779B97F4A7C15ULL;
    const std::uint64_t mixed = Mix(state ^ (0xA5ULL << (word * 8)));
    for (std::size_t byte = 0; byte < 8; ++byte) {
      material[32 + word * 8 + byte] =
          static_cast<std::uint8_t>(mixed >> (byte * 8));
    }
  }
  CipherKey out{};
  SHA256(material.data() + 32, 48, out.key.data());
  for (std::size_t i = 0; i < 32; ++i) material[i] = out.key[i];
  std::array<std::uint8_t, SHA256_DIGEST_LENGTH> ivDigest{};
  SHA256(material.data(), material.size(), ivDigest.data());
  for (std::size_t i = 0; i < out.iv.size(); ++i) out.iv[i] = ivDigest[i];
  OPENSSL_cleanse(material.data(), material.size());
  OPENSSL_cleanse(ivDigest.data(), ivDigest.size());
  return out;
}

void WipeCipherKey(CipherKey& cipherKey) {
  OPENSSL_cleanse(&cipherKey, sizeof cipherKey);
}

}  // namespace refloq::firmware
