#pragma once
// Whole-file reads and writes for fwpack.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace refloq::tools {

// The file's bytes; nullopt when it cannot be opened or read in full.
std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path);

// Writes bytes to path, replacing it; false on any failure.
bool WriteWholeFile(const std::string& path,
                    std::span<const std::uint8_t> bytes);

}  // namespace refloq::tools
