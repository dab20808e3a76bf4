#pragma once
// The UDP port from which a probe leaves and on which its answers arrive:
// 52515 to 52614, drawn from a generator of the calling thread's own, seeded
// when the thread first draws.  Threads that probe at the same time (a
// search and the rediscoveries of several update jobs) therefore draw
// different sequences and rarely meet on one port.
#include <cstdint>

namespace refloq::discovery {

inline constexpr std::uint16_t kFirstProbePort = 52515;
inline constexpr std::uint16_t kProbePortCount = 100;

std::uint16_t DrawProbePort();

}  // namespace refloq::discovery
