#include "firmware/container_writer.h"

#include <openssl/evp.h>

#include <limits>

#include "firmware/cipher_key.h"
#include "firmware/firmware_header.h"

namespace refloq::firmware {

std::vector<std::uint8_t> AesEncipher(std::span<const std::uint8_t> plain,
                                      bool bPad) {
  constexpr std::size_t kBlock = 16;
  if (plain.size() > static_cast<std::size_t>(std::numeric_limits<int>::max() -
                                              int{kBlock}) ||
      (!bPad && plain.size() % kBlock != 0)) {
    return {};
  }
  std::vector<std::uint8_t> out(plain.size() + kBlock);
  EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
  if (ctx == nullptr) return {};
  CipherKey cipherKey = BuildCipherKey();
  int updated = 0;
  int finished = 0;
  const bool ok =
      EVP_EncryptInit_ex(ctx, EVP_aes_256_cbc(), nullptr, cipherKey.key.data(),
                         cipherKey.iv.data()) == 1 &&
      EVP_CIPHER_CTX_set_padding(ctx, bPad ? 1 : 0) == 1 &&
      EVP_EncryptUpdate(ctx, out.data(), &updated, plain.data(),
                        static_cast<int>(plain.size())) == 1 &&
      EVP_EncryptFinal_ex(ctx, out.data() + updated, &finished) == 1;
  WipeCipherKey(cipherKey);
  EVP_CIPHER_CTX_free(ctx);
  if (!ok) return {};
  out.resize(static_cast<std::size_t>(updated + finished));
  return out;
}

std::vector<std::uint8_t> PackFirmwareContainer(
    std::span<const std::uint8_t> payload) {
  if (payload.empty() ||
      payload.size() >
          static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()) -
              kHeaderBlockSize - 16) {
    return {};
  }
  const auto marker = MarkerBlock();
  std::vector<std::uint8_t> container = AesEncipher(marker);
  const std::vector<std::uint8_t> body = AesEncipher(payload);
  if (container.size() != kHeaderBlockSize || body.empty()) return {};
  container.insert(container.end(), body.begin(), body.end());
  return container;
}

}  // namespace refloq::firmware
