#pragma once
// The bytes of discovery/probe_template.xml, compiled into the library
// (resource BINARY 136; see probe_template.rc for its content).
#include <cstdint>
#include <span>

namespace refloq::discovery {

std::span<const std::uint8_t> ProbeTemplateBlob();

}  // namespace refloq::discovery
