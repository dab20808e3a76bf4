#pragma once
// The word-sum checksum of a deciphered firmware payload.
//
// The checksum region is the first 13 MiB of the payload, read as unsigned
// 32-bit little-endian words that sum to zero modulo 2^32 when the image
// is intact.  Its last word is the checksum word; when both of that word's
// high-order bytes are zero the checksum counts as not yet filled in.
#include <cstddef>
#include <cstdint>
#include <span>

namespace refloq::firmware {

inline constexpr std::size_t kSumRegionSize = 13 * 1024 * 1024;
inline constexpr std::size_t kSumWordOffset = kSumRegionSize - 4;

inline constexpr int FIRMWARE_SUM_ERROR = 0;
inline constexpr int FIRMWARE_SUM_FILLED = 1;
inline constexpr int FIRMWARE_SUM_VALID = 2;

// Checks the payload's checksum, filling in an unset checksum word:
//  - FIRMWARE_SUM_VALID: the word's high half is set and the region sums
//    to zero; nothing is written.
//  - FIRMWARE_SUM_FILLED: the word's high half was zero; the word now holds
//    the negated sum of the region and the region sums to zero (only when
//    the whole word was zero before).
//  - FIRMWARE_SUM_ERROR: the sum is wrong, or the word's high half was zero
//    but its low half was not (the word is rewritten all the same), or the
//    payload is shorter than the region (nothing is read or written).
int CheckFirmwareSum(std::span<std::uint8_t> payload);

// The 32-bit wrapping sum of the region's words; the payload must hold at
// least kSumRegionSize bytes.
std::uint32_t SumRegion(std::span<const std::uint8_t> payload);

}  // namespace refloq::firmware
