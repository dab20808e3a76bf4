#include "update/status_format.h"

#include <cstddef>

namespace refloq::update {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Appends `value` as decimal, zero- or space-padded to `width`.
void AppendNumber(std::string& out, int value, bool zero_pad, int width) {
  std::string digits = std::to_string(value < 0 ? -static_cast<long>(value)
                                                : static_cast<long>(value));
  std::string sign = value < 0 ? "-" : "";
  const int used = static_cast<int>(digits.size() + sign.size());
  const std::string pad(
      width > used ? static_cast<std::size_t>(width - used) : 0,
      zero_pad ? '0' : ' ');
  out += zero_pad ? sign + pad + digits : pad + sign + digits;
}

}  // namespace

std::string ProgressText(int percent) { return std::to_string(percent) + "%"; }

std::string FormatTwoNumbers(std::string_view format, int first, int second) {
  std::string out;
  const int values[2] = {first, second};
  int used = 0;
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%') {
      out += format[i];
      continue;
    }
    if (i + 1 < format.size() && format[i + 1] == '%') {
      out += '%';
      ++i;
      continue;
    }
    // %[0][width]d with a width of at most two digits.
    std::size_t j = i + 1;
    const bool zero_pad = j < format.size() && format[j] == '0';
    if (zero_pad) ++j;
    int width = 0;
    const std::size_t width_start = j;
    while (j < format.size() && IsDigit(format[j]) && j - width_start < 2) {
      width = width * 10 + (format[j] - '0');
      ++j;
    }
    if (j < format.size() && format[j] == 'd' && used < 2) {
      AppendNumber(out, values[used++], zero_pad, width);
      i = j;
    } else {
      out += '%';
    }
  }
  return out;
}

}  // namespace refloq::update
