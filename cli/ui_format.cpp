#include "cli/ui_format.h"

#include <cstddef>

namespace refloq::cli {

std::string FormatMinutesSeconds(std::string_view format, int minutes,
                                 int seconds) {
  const int values[2] = {minutes, seconds};
  int used = 0;
  std::string text;
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%' || i + 1 >= format.size()) {
      text += format[i];
      continue;
    }
    if (format[i + 1] == '%') {
      text += '%';
      ++i;
      continue;
    }
    // "%d" or "%0Nd" with one width digit.
    std::size_t j = i + 1;
    bool zero = false;
    std::size_t width = 0;
    if (j < format.size() && format[j] == '0') {
      zero = true;
      ++j;
    }
    if (j < format.size() && format[j] >= '1' && format[j] <= '9') {
      width = static_cast<std::size_t>(format[j] - '0');
      ++j;
    }
    if (j < format.size() && format[j] == 'd' && used < 2) {
      std::string digits = std::to_string(values[used++]);
      if (digits.size() < width) {
        digits.insert(0, width - digits.size(), zero ? '0' : ' ');
      }
      text += digits;
      i = j;
    } else {
      text += format[i];
    }
  }
  return text;
}

}  // namespace refloq::cli
