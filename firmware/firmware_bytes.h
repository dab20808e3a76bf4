#pragma once
// The byte buffer that holds a deciphered firmware payload.
//
// Its allocator leaves new elements uninitialised: the payload buffer is
// 40 MiB and is written in full by the cipher right after it is allocated,
// so zero-filling it first would only cost a second pass over memory.
#include <cstdint>
#include <memory>
#include <vector>

namespace refloq::firmware {

template <typename T>
class DefaultInitAllocator : public std::allocator<T> {
 public:
  using value_type = T;
  template <typename U>
  struct rebind {
    using other = DefaultInitAllocator<U>;
  };
  DefaultInitAllocator() noexcept = default;
  template <typename U>
  explicit DefaultInitAllocator(const DefaultInitAllocator<U>&) noexcept {}

  // Value-initialisation (vector(n), resize(n)) becomes default-init.
  template <typename U>
  void construct(U* p) noexcept {
    ::new (static_cast<void*>(p)) U;
  }
  template <typename U, typename... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
};

using FirmwareBytes =
    std::vector<std::uint8_t, DefaultInitAllocator<std::uint8_t>>;

}  // namespace refloq::firmware
