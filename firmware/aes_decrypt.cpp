#include "firmware/aes_decrypt.h"

#include <openssl/evp.h>

#include "firmware/cipher_key.h"

namespace refloq::firmware {

DecipherResult AesDecipher(const std::uint8_t* pIn, std::uint8_t* pOut,
                           std::int32_t nLength) {
  DecipherResult result;
  if (pIn == nullptr || pOut == nullptr || nLength < 0) return result;
  EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
  if (ctx == nullptr) return result;
  CipherKey cipherKey = BuildCipherKey();
  const bool initialised =
      EVP_DecryptInit_ex(ctx, EVP_aes_256_cbc(), nullptr, cipherKey.key.data(),
                         cipherKey.iv.data()) == 1;
  WipeCipherKey(cipherKey);
  int updated = 0;
  int finished = 0;
  // One update over the whole input: OpenSSL deciphers CBC several blocks
  // at a time, which is as fast as it gets for an in-memory image.
  const bool updateOk =
      initialised && (nLength == 0 || EVP_DecryptUpdate(ctx, pOut, &updated,
                                                        pIn, nLength) == 1);
  const bool finalOk =
      updateOk && EVP_DecryptFinal_ex(ctx, pOut + updated, &finished) == 1;
  EVP_CIPHER_CTX_free(ctx);
  result.nCount = updateOk ? updated + (finalOk ? finished : 0) : 0;
  result.bClean = finalOk && nLength > 0;
  return result;
}

std::int32_t AesDecryptBuffer(const std::uint8_t* pIn, std::uint8_t* pOut,
                              std::int32_t nLength) {
  return AesDecipher(pIn, pOut, nLength).nCount;
}

}  // namespace refloq::firmware
