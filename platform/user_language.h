#pragma once
// The user's language as a Windows language id (LANGID).
//
// Windows asks the system (GetUserDefaultLangID, GetUserDefaultUILanguage).
// Linux has no language ids: the locale in effect for messages (LC_ALL, then
// LC_MESSAGES, then LANG) is mapped to the id Windows gives that locale, so
// the same language table and the same link texts apply on both targets.
#include <cstdint>
#include <string_view>

namespace refloq::platform {

inline constexpr std::uint16_t kLangIdEnglishUs = 0x0409;

// GetUserDefaultLangID: the id of the user's formatting locale.
std::uint16_t UserDefaultLangId();
// GetUserDefaultUILanguage: the id of the user's display language.
std::uint16_t UserDefaultUiLanguage();

// Maps a POSIX locale name ("de_DE.UTF-8", "zh_TW", "fr", "C") to its
// Windows language id; English (US) for "C", "POSIX", empty or unknown text.
std::uint16_t LangIdFromLocaleName(std::string_view locale);

}  // namespace refloq::platform
