#include "firmware/firmware_image.h"

#include <limits>
#include <new>

#include "firmware/aes_decrypt.h"
#include "firmware/firmware_header.h"

namespace refloq::firmware {

std::span<const std::uint8_t> FirmwareImage::Bytes() const noexcept {
  if (!m_pFirmwareData) return {};
  return {m_pFirmwareData->data(), m_pFirmwareData->size()};
}

void FirmwareImage::Release() noexcept {
  m_pFirmwareData.reset();
  m_nFirmwareSize = 0;
  m_bFirmwareMissing = false;
  m_bFirmwareCorrupted = false;
}

bool DecryptFirmwareImage(std::span<const std::uint8_t> stored,
                          std::int32_t& nFirmwareSize,
                          std::unique_ptr<FirmwareBytes>& pFirmwareData) {
  nFirmwareSize = 0;
  if (stored.data() == nullptr || pFirmwareData != nullptr ||
      stored.size() <= kHeaderBlockSize ||
      stored.size() >
          static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()) ||
      !CheckFirmwareHeader(stored.data())) {
    return false;
  }
  const std::size_t bodySize = stored.size() - kHeaderBlockSize;
  // The body deciphers straight into the buffer that is handed out; its
  // few padding bytes are then cut off without a copy.
  std::unique_ptr<FirmwareBytes> plain(new (std::nothrow) FirmwareBytes);
  if (!plain) return false;
  try {
    plain->resize(bodySize);
  } catch (const std::bad_alloc&) {
    return false;
  }
  const DecipherResult result =
      AesDecipher(stored.data() + kHeaderBlockSize, plain->data(),
                  static_cast<std::int32_t>(bodySize));
  if (!result.bClean || result.nCount <= 0) return false;
  plain->resize(static_cast<std::size_t>(result.nCount));
  nFirmwareSize = result.nCount;
  pFirmwareData = std::move(plain);
  return true;
}

}  // namespace refloq::firmware
