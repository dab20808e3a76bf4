#include "link/trace.h"

#include <cstdio>
#include <mutex>
#include <string>
#include <utility>

#include "platform/utf16.h"

#ifdef _WIN32
#include <cwchar>
#endif

namespace refloq::link {
namespace {

std::mutex& ObserverMutex() {
  static std::mutex mutex;
  return mutex;
}

TraceObserver& Observer() {
  static TraceObserver observer;
  return observer;
}

std::FILE* OpenForAppend(std::string_view path) {
#ifdef _WIN32
  const std::u16string wide = platform::Utf8ToUtf16(path);
  const std::wstring wpath(wide.begin(), wide.end());
  return _wfopen(wpath.c_str(), L"ab");
#else
  return std::fopen(std::string(path).c_str(), "ab");
#endif
}

}  // namespace

void SetTraceObserver(TraceObserver observer) {
  const std::lock_guard<std::mutex> lock(ObserverMutex());
  Observer() = std::move(observer);
}

void AppendTraceLine(std::string_view line, std::string_view path,
                     int trace_switch) {
  TraceObserver observer;
  {
    const std::lock_guard<std::mutex> lock(ObserverMutex());
    observer = Observer();
  }
  if (observer) observer(line);
  if (trace_switch == 0) return;
  std::FILE* file = OpenForAppend(path);
  if (!file) return;  // a trace that cannot be written is skipped
  // The line as UTF-16LE code units and CR LF, no byte-order mark.
  const std::u16string units = platform::Utf8ToUtf16(line) + u"\r\n";
  std::string bytes;
  bytes.reserve(units.size() * 2);
  for (const char16_t unit : units) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
}

}  // namespace refloq::link
