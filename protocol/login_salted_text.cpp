#include "protocol/login_salted_text.h"

#include <openssl/evp.h>
#include <openssl/rand.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

namespace refloq::protocol {
namespace {

constexpr std::size_t kKeySize = 32;
constexpr std::size_t kIvSize = 16;
constexpr std::size_t kBlockSize = 16;

using CipherContext =
    std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)>;
using EncodeContext =
    std::unique_ptr<EVP_ENCODE_CTX, decltype(&EVP_ENCODE_CTX_free)>;

// Key and IV, wiped when they go.
struct KeyMaterial {
  std::array<std::uint8_t, kKeySize + kIvSize> bytes{};
  ~KeyMaterial() { WipeBytes(bytes); }
  const unsigned char* key() const { return bytes.data(); }
  const unsigned char* iv() const { return bytes.data() + kKeySize; }
};

bool DeriveKey(const LoginPassword& password,
               std::span<const std::uint8_t> salt, KeyMaterial& out) {
  static const char kNoPassword[] = "";
  const auto pass = password.bytes();
  const char* pass_data =
      pass.empty() ? kNoPassword : reinterpret_cast<const char*>(pass.data());
  return PKCS5_PBKDF2_HMAC(
             pass_data, static_cast<int>(pass.size()), salt.data(),
             static_cast<int>(salt.size()), kSaltedTextIterations, EVP_sha256(),
             static_cast<int>(out.bytes.size()), out.bytes.data()) == 1;
}

bool IsBase64TextByte(std::uint8_t c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
         (c >= '0' && c <= '9') || c == '+' || c == '/' || c == '=' ||
         c == '\n' || c == '\r' || c == ' ' || c == '\t';
}

// Base64 text (up to its first byte that is not Base64) to binary.
std::vector<std::uint8_t> DecodeBase64(std::span<const std::uint8_t> text) {
  const auto end = std::find_if_not(text.begin(), text.end(), IsBase64TextByte);
  const auto length = static_cast<std::size_t>(end - text.begin());
  std::vector<std::uint8_t> binary(length / 4 * 3 + 3 + 64);
  EncodeContext ctx(EVP_ENCODE_CTX_new(), EVP_ENCODE_CTX_free);
  if (!ctx) return {};
  EVP_DecodeInit(ctx.get());
  int written = 0;
  if (EVP_DecodeUpdate(ctx.get(), binary.data(), &written, text.data(),
                       static_cast<int>(length)) < 0) {
    return {};
  }
  int tail = 0;
  if (EVP_DecodeFinal(ctx.get(), binary.data() + written, &tail) < 0) {
    return {};
  }
  binary.resize(static_cast<std::size_t>(written + tail));
  return binary;
}

std::string EncodeBase64(std::span<const std::uint8_t> binary) {
  // 64 characters and a line feed per 48 bytes, plus the last line.
  std::string text(binary.size() / 48 * 65 + 66, '\0');
  EncodeContext ctx(EVP_ENCODE_CTX_new(), EVP_ENCODE_CTX_free);
  if (!ctx) return {};
  EVP_EncodeInit(ctx.get());
  auto* out = reinterpret_cast<unsigned char*>(text.data());
  int written = 0;
  if (EVP_EncodeUpdate(ctx.get(), out, &written, binary.data(),
                       static_cast<int>(binary.size())) != 1) {
    return {};
  }
  int tail = 0;
  EVP_EncodeFinal(ctx.get(), out + written, &tail);
  text.resize(static_cast<std::size_t>(written + tail));
  return text;
}

}  // namespace

std::vector<std::uint8_t> DecryptSaltedText(std::span<const std::uint8_t> text,
                                            const LoginPassword& password) {
  const std::vector<std::uint8_t> binary = DecodeBase64(text);
  if (binary.size() < kSaltedHeaderSize + kBlockSize) return {};
  const auto salt = std::span(binary).subspan(kSaltSize, kSaltSize);
  const auto cipher = std::span(binary).subspan(kSaltedHeaderSize);

  KeyMaterial key;
  if (!DeriveKey(password, salt, key)) return {};
  CipherContext ctx(EVP_CIPHER_CTX_new(), EVP_CIPHER_CTX_free);
  if (!ctx || EVP_DecryptInit_ex(ctx.get(), EVP_aes_256_cbc(), nullptr,
                                 key.key(), key.iv()) != 1) {
    return {};
  }
  std::vector<std::uint8_t> plain(cipher.size() + kBlockSize);
  int written = 0;
  if (EVP_DecryptUpdate(ctx.get(), plain.data(), &written, cipher.data(),
                        static_cast<int>(cipher.size())) != 1) {
    return {};
  }
  // A wrong password fails the padding check here; what came through the
  // update stands, as the scanner's answer check is what judges it.
  int tail = 0;
  if (EVP_DecryptFinal_ex(ctx.get(), plain.data() + written, &tail) != 1) {
    tail = 0;
  }
  plain.resize(static_cast<std::size_t>(written + tail));
  return plain;
}

std::string EncryptSaltedTextWithSalt(
    std::span<const std::uint8_t> plaintext, const LoginPassword& password,
    std::span<const std::uint8_t, kSaltSize> salt) {
  KeyMaterial key;
  if (!DeriveKey(password, salt, key)) return {};
  CipherContext ctx(EVP_CIPHER_CTX_new(), EVP_CIPHER_CTX_free);
  if (!ctx || EVP_EncryptInit_ex(ctx.get(), EVP_aes_256_cbc(), nullptr,
                                 key.key(), key.iv()) != 1) {
    return {};
  }
  std::vector<std::uint8_t> binary(kSaltedHeaderSize + plaintext.size() +
                                   kBlockSize);
  std::memcpy(binary.data(), kSaltedMagic, kSaltSize);
  std::copy(salt.begin(), salt.end(), binary.begin() + kSaltSize);
  unsigned char* out = binary.data() + kSaltedHeaderSize;
  int written = 0;
  if (EVP_EncryptUpdate(ctx.get(), out, &written, plaintext.data(),
                        static_cast<int>(plaintext.size())) != 1) {
    return {};
  }
  int tail = 0;
  if (EVP_EncryptFinal_ex(ctx.get(), out + written, &tail) != 1) return {};
  binary.resize(kSaltedHeaderSize + static_cast<std::size_t>(written + tail));
  return EncodeBase64(binary);
}

std::string EncryptSaltedText(std::span<const std::uint8_t> plaintext,
                              const LoginPassword& password) {
  std::array<std::uint8_t, kSaltSize> salt{};
  if (RAND_bytes(salt.data(), static_cast<int>(salt.size())) != 1) return {};
  return EncryptSaltedTextWithSalt(plaintext, password, salt);
}

}  // namespace refloq::protocol
