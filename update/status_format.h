#pragma once
// Status texts built from numbers.  The countdown's format comes from the
// string table or a language library, so it is never handed to printf:
// only its integer conversions are filled in.
#include <string>
#include <string_view>

namespace refloq::update {

// "%d%%" of a progress value.
std::string ProgressText(int percent);

// Fills the integer conversions of `format` ("%d", "%02d", "%2d") with
// `first` and then `second`; "%%" becomes "%"; any other conversion, and
// any after the second, is kept as written.
std::string FormatTwoNumbers(std::string_view format, int first, int second);

}  // namespace refloq::update
