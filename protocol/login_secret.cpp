#include "protocol/login_secret.h"

#include <openssl/crypto.h>

#include <utility>

namespace refloq::protocol {

void WipeBytes(std::span<std::uint8_t> bytes) {
  if (!bytes.empty()) OPENSSL_cleanse(bytes.data(), bytes.size());
}

void WipeText(std::string& text) {
  // The whole capacity: a shorter text may leave older bytes behind it.
  if (text.capacity() > 0) OPENSSL_cleanse(text.data(), text.capacity());
  text.clear();
}

LoginPassword::LoginPassword(std::string_view text)
    : bytes_(text.begin(), text.end()) {}

LoginPassword LoginPassword::Take(std::string& text) {
  LoginPassword password(text);
  WipeText(text);
  return password;
}

LoginPassword::~LoginPassword() { WipeBytes(bytes_); }

LoginPassword::LoginPassword(LoginPassword&& other) noexcept
    : bytes_(std::move(other.bytes_)) {
  other.bytes_.clear();
}

LoginPassword& LoginPassword::operator=(LoginPassword&& other) noexcept {
  if (this != &other) {
    WipeBytes(bytes_);
    bytes_ = std::move(other.bytes_);
    other.bytes_.clear();
  }
  return *this;
}

}  // namespace refloq::protocol
