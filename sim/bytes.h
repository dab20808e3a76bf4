#pragma once
// A byte vector of `size` bytes holding a copy of `bytes` (cut or
// zero-padded).  Copied with memcpy into a sized vector: GCC 12 at -O3
// reports a false array-bounds error for a vector built from a fixed-size
// array's iterators.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

namespace refloq::sim {

inline std::vector<std::uint8_t> CopyBytes(std::span<const std::uint8_t> bytes,
                                           std::size_t size) {
  std::vector<std::uint8_t> copy(size, 0);
  const std::size_t count = std::min(size, bytes.size());
  if (count > 0) std::memcpy(copy.data(), bytes.data(), count);
  return copy;
}

inline std::vector<std::uint8_t> CopyBytes(
    std::span<const std::uint8_t> bytes) {
  return CopyBytes(bytes, bytes.size());
}

}  // namespace refloq::sim
