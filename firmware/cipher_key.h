#pragma once
// The firmware container's AES-256-CBC key and IV.
//
// Internal to the cipher routines of this folder and to fwpack: the values
// are computed when a cipher routine starts and wiped when it ends, so no
// plain copy of them sits in the program's data, and no caller, setting or
// container can supply others.
#include <array>
#include <cstdint>

namespace refloq::firmware {

struct CipherKey {
  std::array<std::uint8_t, 32> key;
  std::array<std::uint8_t, 16> iv;
};

// Derives the key and IV; the same values on every call.
CipherKey BuildCipherKey();

// Overwrites the key and IV in a way the compiler keeps.
void WipeCipherKey(CipherKey& cipherKey);

}  // namespace refloq::firmware
