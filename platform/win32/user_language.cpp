#include "platform/user_language.h"

#include <windows.h>

namespace refloq::platform {

std::uint16_t UserDefaultLangId() { return GetUserDefaultLangID(); }

std::uint16_t UserDefaultUiLanguage() { return GetUserDefaultUILanguage(); }

}  // namespace refloq::platform
