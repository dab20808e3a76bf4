#include "platform/resource_registry.h"

#include <map>
#include <mutex>

#include "platform/resources.h"

namespace refloq::platform {
namespace {

struct Registry {
  std::mutex mutex;
  std::map<std::uint16_t, std::span<const std::uint8_t>> binaries;
  std::map<std::uint16_t, const char*> strings;
  std::optional<OwnVersionInfo> version;
};

// Built on first use: registrars run during static initialisation, in no
// particular order across files.
Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

}  // namespace

void RegisterBinaryResource(std::uint16_t id,
                            std::span<const std::uint8_t> bytes) {
  Registry& r = TheRegistry();
  std::lock_guard lock(r.mutex);
  r.binaries[id] = bytes;
}

void UnregisterBinaryResource(std::uint16_t id) {
  Registry& r = TheRegistry();
  std::lock_guard lock(r.mutex);
  r.binaries.erase(id);
}

void RegisterOwnStrings(std::span<const StringResource> strings) {
  Registry& r = TheRegistry();
  std::lock_guard lock(r.mutex);
  for (const StringResource& s : strings) r.strings[s.id] = s.text;
}

void UnregisterOwnStrings(std::span<const StringResource> strings) {
  Registry& r = TheRegistry();
  std::lock_guard lock(r.mutex);
  for (const StringResource& s : strings) r.strings.erase(s.id);
}

void RegisterOwnVersionInfo(OwnVersionInfo info) {
  Registry& r = TheRegistry();
  std::lock_guard lock(r.mutex);
  r.version = std::move(info);
}

std::optional<OwnVersionInfo> RegisteredOwnVersionInfo() {
  Registry& r = TheRegistry();
  std::lock_guard lock(r.mutex);
  return r.version;
}

ScopedBinaryResource::ScopedBinaryResource(std::uint16_t id,
                                           std::span<const std::uint8_t> bytes)
    : id_(id), previous_(detail::RegisteredBinaryResource(id)) {
  RegisterBinaryResource(id, bytes);
}

ScopedBinaryResource::~ScopedBinaryResource() {
  if (previous_) {
    RegisterBinaryResource(id_, *previous_);
  } else {
    UnregisterBinaryResource(id_);
  }
}

namespace detail {

std::optional<std::span<const std::uint8_t>> RegisteredBinaryResource(
    std::uint16_t id) {
  Registry& r = TheRegistry();
  std::lock_guard lock(r.mutex);
  auto it = r.binaries.find(id);
  if (it == r.binaries.end()) return std::nullopt;
  return it->second;
}

std::optional<std::string> RegisteredOwnString(std::uint16_t id) {
  Registry& r = TheRegistry();
  std::lock_guard lock(r.mutex);
  auto it = r.strings.find(id);
  if (it == r.strings.end()) return std::nullopt;
  return std::string(it->second);
}

}  // namespace detail
}  // namespace refloq::platform
