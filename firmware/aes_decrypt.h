#pragma once
// AES-256-CBC deciphering of firmware container parts with the tool's own
// key and IV (PKCS#7 padding on), through OpenSSL's EVP interface.
#include <cstdint>

namespace refloq::firmware {

struct DecipherResult {
  // Plaintext bytes written: the whole blocks, less the padding when the
  // final block carried valid padding.
  std::int32_t nCount = 0;
  // True only when every cipher step succeeded: the input was a whole,
  // non-zero number of blocks and the final block's padding was valid.
  bool bClean = false;
};

// Deciphers nLength bytes at pIn into pOut, which must have room for
// nLength bytes.  pIn and pOut may be the same buffer (deciphering in
// place) but must not otherwise overlap.  Each call uses a fresh cipher
// context, so calls may run on several threads at once.
DecipherResult AesDecipher(const std::uint8_t* pIn, std::uint8_t* pOut,
                           std::int32_t nLength);

// The count alone: a final block with bad padding adds nothing, a partial
// final block is dropped.  The header check relies on exactly this count.
std::int32_t AesDecryptBuffer(const std::uint8_t* pIn, std::uint8_t* pOut,
                              std::int32_t nLength);

}  // namespace refloq::firmware
