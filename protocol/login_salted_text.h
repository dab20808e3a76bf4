#pragma once
// The salted text of the login: every enciphered login value, in both
// directions, travels in the form OpenSSL's `enc` command writes with
// -aes-256-cbc -pbkdf2 -iter 10000 -md sha256 -a:
//   "Salted__", an 8-byte salt, the AES-256-CBC ciphertext (PKCS#7 padding);
//   key (32 bytes) and IV (16 bytes) from PBKDF2-HMAC-SHA256 over the
//   password and the salt, 10000 iterations;
//   the whole in Base64, lines of 64 characters, each ending with '\n'.
// The layout is fixed to the byte by the scanner, so it is built here from
// the EVP calls rather than by a general-purpose container library.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "protocol/login_secret.h"

namespace refloq::protocol {

inline constexpr int kSaltedTextIterations = 10000;
inline constexpr std::size_t kSaltSize = 8;
inline constexpr std::size_t kSaltedHeaderSize = 16;  // "Salted__" + salt
inline constexpr char kSaltedMagic[] = "Salted__";

// Deciphers a salted text.  The text may be followed by zero bytes (or any
// byte that is not Base64): decoding stops there and uses what came before.
// The "Salted__" header is not examined.  A wrong password is no error: it
// yields other bytes, since the padding check is not examined either; the
// deciphered blocks are returned with the padding removed when it is valid.
// Input too short to hold a salt and one cipher block yields no bytes.
std::vector<std::uint8_t> DecryptSaltedText(std::span<const std::uint8_t> text,
                                            const LoginPassword& password);

// Enciphers the plaintext with a fresh random salt and returns the salted
// text; empty only if the random generator or the cipher fails.
std::string EncryptSaltedText(std::span<const std::uint8_t> plaintext,
                              const LoginPassword& password);

// The same with a given salt (the simulator's fixtures and the tests).
std::string EncryptSaltedTextWithSalt(
    std::span<const std::uint8_t> plaintext, const LoginPassword& password,
    std::span<const std::uint8_t, kSaltSize> salt);

}  // namespace refloq::protocol
