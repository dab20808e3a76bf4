#pragma once
// The deciphered firmware image and the routine that deciphers a container.
#include <cstdint>
#include <memory>
#include <span>

#include "firmware/firmware_bytes.h"

namespace refloq::firmware {

// The image the main window holds for its update jobs.  The window owns
// it and replaces or releases it only while no job runs; a job keeps a copy
// of the shared pointer (never of the bytes) and only reads through it.
struct FirmwareImage {
  // The deciphered payload, exactly m_nFirmwareSize bytes; null when none.
  std::shared_ptr<const FirmwareBytes> m_pFirmwareData;
  std::int32_t m_nFirmwareSize = 0;
  // The stored image could not be found or read, or is empty.
  bool m_bFirmwareMissing = false;
  // The stored image failed the header check or did not decipher cleanly.
  bool m_bFirmwareCorrupted = false;

  // The payload as a read-only view; empty when none is loaded.
  std::span<const std::uint8_t> Bytes() const noexcept;
  // Drops this holder's reference and clears all four fields.
  void Release() noexcept;
};

// Deciphers a stored container (header block + body) into a new buffer.
//
// pFirmwareData must be null on entry, else the call fails and leaves it
// untouched.  nFirmwareSize is set to 0 first.  Fails when the container is
// 32 bytes or shorter or longer than a signed 32-bit count, when the header
// check fails, when memory is short, and when the body does not decipher
// cleanly (not a whole number of blocks, bad final padding) or deciphers to
// nothing: a damaged body is never handed on as a shorter image.  On
// success the buffer holds exactly nFirmwareSize bytes, and the whole image
// exists at most twice (stored bytes and this buffer) during the call.
bool DecryptFirmwareImage(std::span<const std::uint8_t> stored,
                          std::int32_t& nFirmwareSize,
                          std::unique_ptr<FirmwareBytes>& pFirmwareData);

}  // namespace refloq::firmware
