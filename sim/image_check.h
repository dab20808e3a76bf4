#pragma once
// What a simulated scanner says, as it stops, of the firmware images it
// received: whether each matches the SHA-256 it was told to expect.
#include <string>
#include <string_view>

#include "sim/scanner_state.h"

namespace refloq::sim {

struct ImageVerdict {
  // At least one image arrived, and every image that arrived has the
  // expected SHA-256.
  bool intact = false;
  // "ADDRESS: image 4096 bytes, SHA-256 <hex> matches", "... does not
  // match <hex>", or "ADDRESS: no image received".
  std::string text;
};

ImageVerdict JudgeReceivedImages(std::string_view address,
                                 const ScannerState& state,
                                 std::string_view expected_sha256);

}  // namespace refloq::sim
