#include "app/version_text.h"

#include <cstdio>

#include "app/language.h"
#include "platform/module_path.h"
#include "platform/utf16.h"
#include "platform/version_info.h"
#include "texts/string_ids.h"

namespace refloq::app {
namespace {

constexpr std::size_t kMaxVersionChars = 255;

}  // namespace

std::string GetFileVersionText(const std::string& module_path) {
  const auto info = platform::VersionInfo::Read(module_path);
  if (!info) return {};
  const auto translation = info->FirstTranslation();
  if (!translation) return {};
  // Language high and low byte, then code page high and low byte:
  // 0x0409 and 1200 give "040904B0".
  char block[9];
  std::snprintf(block, sizeof block, "%02X%02X%02X%02X",
                translation->language >> 8, translation->language & 0xFF,
                translation->code_page >> 8, translation->code_page & 0xFF);
  const auto value = info->QueryString(std::string("\\StringFileInfo\\") +
                                       block + "\\FileVersion");
  if (!value) return {};
  const std::u16string wide = platform::Utf8ToUtf16(*value);
  if (wide.size() <= kMaxVersionChars) return *value;
  return platform::Utf16ToUtf8(wide.substr(0, kMaxVersionChars));
}

std::string FormatWindowTitle(const std::string& title,
                              const std::string& version) {
  return title + " [Ver: " + version + "]";
}

std::string WindowTitle() {
  return FormatWindowTitle(LoadUiString(texts::kTextTitle),
                           GetFileVersionText(platform::ModuleFilePath()));
}

}  // namespace refloq::app
