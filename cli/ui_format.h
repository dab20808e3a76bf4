#pragma once
// Fills the "%d:%02d" of a countdown text from the string table.
#include <string>
#include <string_view>

namespace refloq::cli {

// Replaces the first integer conversion with `minutes` and the second with
// `seconds`, honouring a zero-padded width ("%02d"); "%%" gives "%".  Any
// other conversion is copied as it stands, so a text from a language
// library can never make the formatting read what is not there.
std::string FormatMinutesSeconds(std::string_view format, int minutes,
                                 int seconds);

}  // namespace refloq::cli
