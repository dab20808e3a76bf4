#include "platform/resources.h"

#include <windows.h>

#include "platform/resource_registry.h"
#include "platform/win32/wide_text.h"

namespace refloq::platform {

std::span<const std::uint8_t> FindBinaryResource(std::uint16_t id) {
  if (auto registered = detail::RegisteredBinaryResource(id)) {
    return *registered;
  }
  HMODULE self = GetModuleHandleW(nullptr);
  HRSRC found = FindResourceW(self, MAKEINTRESOURCEW(id), L"BINARY");
  if (found == nullptr) return {};
  HGLOBAL loaded = LoadResource(self, found);
  const DWORD size = SizeofResource(self, found);
  const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (data == nullptr) return {};
  return {static_cast<const std::uint8_t*>(data), size};
}

std::optional<std::string> LoadOwnString(std::uint16_t id) {
  if (auto registered = detail::RegisteredOwnString(id)) return registered;
  // With a zero buffer size LoadStringW hands back a pointer into the
  // resource itself and the string's length.
  const wchar_t* text = nullptr;
  const int length = LoadStringW(GetModuleHandleW(nullptr), id,
                                 reinterpret_cast<LPWSTR>(&text), 0);
  if (length <= 0 || text == nullptr) return std::nullopt;
  return win32::FromWide({text, static_cast<std::size_t>(length)});
}

}  // namespace refloq::platform
