#include "platform/user_language.h"

#include <cstdlib>

namespace refloq::platform {
namespace {

// The locale glibc uses for messages: the first non-empty of LC_ALL,
// LC_MESSAGES and LANG.
std::string_view MessagesLocale() {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return value;
  }
  return {};
}

}  // namespace

std::uint16_t UserDefaultLangId() {
  return LangIdFromLocaleName(MessagesLocale());
}

std::uint16_t UserDefaultUiLanguage() {
  return LangIdFromLocaleName(MessagesLocale());
}

}  // namespace refloq::platform
