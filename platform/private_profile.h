#pragma once
// Reading INI ("private profile") files, never writing them.
//
// Windows uses GetPrivateProfileIntW and GetPrivateProfileStringW.  Linux
// has our own reader that keeps their rules, so that the same file gives the
// same answers on both targets:
//  - a file in UTF-16 (with its byte-order mark) or UTF-8 (with or without
//    one; Windows reads a file without a mark in the ANSI code page, so
//    only ASCII files read alike everywhere);
//  - "[name]" lines open sections, "key=value" lines hold values; blanks
//    around names (also inside the brackets) and values are ignored; a
//    line without "=" is a key without a value (its reads give the
//    default);
//  - section and key names are compared without regard to case; the first
//    section with the name is searched, and the first key in it decides;
//  - a value enclosed in one pair of matching quotes (' or ") loses them;
//  - a missing file, section or key gives the default.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace refloq::platform {

// GetPrivateProfileStringW with a buffer of `buffer_chars` UTF-16 units:
// the value (or the default, trailing blanks removed) cut to
// buffer_chars - 1 units.
std::string ReadProfileString(std::string_view section, std::string_view key,
                              std::string_view default_value,
                              std::size_t buffer_chars,
                              const std::string& path);

// GetPrivateProfileIntW: the default for a missing or empty value;
// otherwise the value's first 29 characters as Windows reads a number:
// leading blanks, an optional sign, "0x", "0o" or "0b" for base 16, 8 or 2,
// then digits up to the first character that is not one ("12abc" is 12,
// "abc" is 0), wrapping modulo 2^32 ("-1" is 4294967295).
std::uint32_t ReadProfileInt(std::string_view section, std::string_view key,
                             std::int32_t default_value,
                             const std::string& path);

}  // namespace refloq::platform
