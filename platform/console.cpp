#include "platform/console.h"

#include <mutex>
#include <utility>

#include "platform/console_internal.h"

namespace refloq::platform {
namespace {

std::mutex& CaptureMutex() {
  static std::mutex mutex;
  return mutex;
}

ConsoleCapture& Capture() {
  static ConsoleCapture capture;
  return capture;
}

}  // namespace

void SetConsoleCapture(ConsoleCapture capture) {
  const std::lock_guard<std::mutex> lock(CaptureMutex());
  Capture() = std::move(capture);
}

void WriteConsoleText(std::string_view text) {
  ConsoleCapture capture;
  {
    const std::lock_guard<std::mutex> lock(CaptureMutex());
    capture = Capture();
  }
  if (capture) {
    capture(text);
    return;
  }
  internal::WriteStandardOutput(text);
}

}  // namespace refloq::platform
