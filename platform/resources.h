#pragma once
// The program's own resources: BINARY blobs by id, the string table and the
// version block.
//
// Windows reads them from the executable (FindResourceW and friends, built
// from app/win32/refloq.rc).  Linux has no resource section: the same blobs,
// texts and version are linked into the binary and announce themselves
// through the registry below.  The registry is consulted first on both
// targets, so a test can put a small firmware container or probe template
// in place of the real one, and a blob library can provide a BINARY
// resource without this layer knowing it.
//
// A blob library registers its bytes from a static object:
//
//   static const refloq::platform::BinaryResourceRegistrar kReg(139, bytes);
//
// Nothing references such an object, so a plain static library would drop
// it at link time: build it with refloq_linked_objects() (cmake), which
// hands the object files themselves to every program that links it.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace refloq::platform {

// Ids of the program's BINARY resources.
inline constexpr std::uint16_t kProbeTemplateResourceId = 136;
inline constexpr std::uint16_t kFirmwareContainerResourceId = 139;

// The bytes of BINARY resource `id`; empty when the program has none.  The
// bytes stay valid until the resource is unregistered (registered ones) or
// for the life of the program (Windows resources).
std::span<const std::uint8_t> FindBinaryResource(std::uint16_t id);

// String `id` of the program's own string table, UTF-8; nullopt when the
// table has no such id.  (LoadStringW cannot tell an empty string from a
// missing one; neither can this.)
std::optional<std::string> LoadOwnString(std::uint16_t id);

// --- Registration -------------------------------------------------------

// Makes `bytes` BINARY resource `id`, replacing any earlier registration.
// The caller keeps the bytes alive while registered.
void RegisterBinaryResource(std::uint16_t id,
                            std::span<const std::uint8_t> bytes);
void UnregisterBinaryResource(std::uint16_t id);

// One entry of a string table.
struct StringResource {
  std::uint16_t id;
  const char* text;  // UTF-8, static storage
};
// Adds entries to the program's string table (later ones replace earlier
// ones with the same id).
void RegisterOwnStrings(std::span<const StringResource> strings);
void UnregisterOwnStrings(std::span<const StringResource> strings);

// The version block of the running program where the executable has no
// version resource of its own (Linux): one translation and its string
// values ("FileVersion", ...).
struct OwnVersionInfo {
  std::uint16_t language = 0;
  std::uint16_t code_page = 0;
  std::vector<std::pair<std::string, std::string>> strings;
};
void RegisterOwnVersionInfo(OwnVersionInfo info);
std::optional<OwnVersionInfo> RegisteredOwnVersionInfo();

// Registers a BINARY resource for the life of the program.
class BinaryResourceRegistrar {
 public:
  BinaryResourceRegistrar(std::uint16_t id,
                          std::span<const std::uint8_t> bytes) {
    RegisterBinaryResource(id, bytes);
  }
};

// Puts a BINARY resource in place for one scope and restores what was
// there before (tests).
class ScopedBinaryResource {
 public:
  ScopedBinaryResource(std::uint16_t id, std::span<const std::uint8_t> bytes);
  ~ScopedBinaryResource();
  ScopedBinaryResource(const ScopedBinaryResource&) = delete;
  ScopedBinaryResource& operator=(const ScopedBinaryResource&) = delete;

 private:
  std::uint16_t id_;
  std::optional<std::span<const std::uint8_t>> previous_;
};

}  // namespace refloq::platform
