#pragma once
// Secret bytes of the login: the password and whatever is derived from it
// (cipher key and IV, the password hash, the lock record).  They live only
// as long as the login needs them and are wiped with OPENSSL_cleanse when
// they go, so no copy of a password stays behind in freed memory.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace refloq::protocol {

// Wipes the bytes of a span with OPENSSL_cleanse (which the compiler may not
// drop as a dead store).
void WipeBytes(std::span<std::uint8_t> bytes);
void WipeText(std::string& text);

// Wipes a buffer of its owner's when the scope ends.
class ScopedWipe {
 public:
  explicit ScopedWipe(std::span<std::uint8_t> bytes) : bytes_(bytes) {}
  ~ScopedWipe() { WipeBytes(bytes_); }
  ScopedWipe(const ScopedWipe&) = delete;
  ScopedWipe& operator=(const ScopedWipe&) = delete;

 private:
  std::span<std::uint8_t> bytes_;
};

// The password of one down-arrow action, as the bytes the scanner receives
// (single-byte text, no terminating zero).  Move-only; wiped on destruction.
// It has no printing or comparison so that it cannot end up in a message.
class LoginPassword {
 public:
  LoginPassword() = default;
  explicit LoginPassword(std::string_view text);
  // Takes the text and wipes the caller's copy.
  static LoginPassword Take(std::string& text);
  ~LoginPassword();
  LoginPassword(LoginPassword&& other) noexcept;
  LoginPassword& operator=(LoginPassword&& other) noexcept;
  LoginPassword(const LoginPassword&) = delete;
  LoginPassword& operator=(const LoginPassword&) = delete;

  std::span<const std::uint8_t> bytes() const { return bytes_; }
  std::size_t size() const { return bytes_.size(); }

 private:
  std::vector<std::uint8_t> bytes_;
};

}  // namespace refloq::protocol
