#include "sim/image_check.h"

namespace refloq::sim {

ImageVerdict JudgeReceivedImages(std::string_view address,
                                 const ScannerState& state,
                                 std::string_view expected_sha256) {
  ImageVerdict verdict;
  verdict.text = std::string(address) + ":";
  if (state.images.empty()) {
    verdict.text += " no image received";
    return verdict;
  }
  verdict.intact = true;
  for (std::size_t i = 0; i < state.images.size(); ++i) {
    const ReceivedImage& image = state.images[i];
    const bool matches = image.sha256 == expected_sha256;
    verdict.intact = verdict.intact && matches;
    if (i > 0) verdict.text += ";";
    verdict.text +=
        " image " + std::to_string(image.length) + " bytes, SHA-256 " +
        image.sha256 +
        (matches ? " matches"
                 : " does not match " + std::string(expected_sha256));
  }
  return verdict;
}

}  // namespace refloq::sim
