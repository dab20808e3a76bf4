#pragma once
// The downgrade guard: refuses an update of a scanner whose firmware is at
// version 2.26 or above with a date stamp of 0x18051B0A or later, unless
// the scanner's extended information permits it.
#include <cstdint>
#include <string_view>

#include "protocol/device_records.h"

namespace refloq::update {

inline constexpr float kGuardedVersion = 2.26f;
inline constexpr std::uint32_t kGuardedDateStamp = 0x18051B0A;

// True when the update may go on, judged from the two records.
bool DowngradePermitted(const protocol::FirmwareInfoRecord& info,
                        const protocol::ExtendedInfoRecord& extended);

// Reads both records from the scanner at `address`; false (refused) when
// either read fails or the records refuse the update.
bool PassesDowngradeGuard(std::string_view address);

}  // namespace refloq::update
