// Links the firmware container file into the binary's read-only data and
// announces it as BINARY resource 139.  The assembler copies the file byte
// for byte (.incbin), so nothing is converted at build time, and its pages
// are only read in when a load touches them.
#include <cstdint>
#include <span>

#include "platform/resources.h"

#ifndef REFLOQ_FIRMWARE_CONTAINER_FILE
#error "REFLOQ_FIRMWARE_CONTAINER_FILE must name the container to embed"
#endif

__asm__(
    ".pushsection .rodata.refloq_firmware_container, \"a\"\n"
    ".balign 64\n"
    ".globl refloq_firmware_container_begin\n"
    ".hidden refloq_firmware_container_begin\n"
    "refloq_firmware_container_begin:\n"
    ".incbin \"" REFLOQ_FIRMWARE_CONTAINER_FILE
    "\"\n"
    ".globl refloq_firmware_container_end\n"
    ".hidden refloq_firmware_container_end\n"
    "refloq_firmware_container_end:\n"
    ".popsection\n");

extern "C" const std::uint8_t refloq_firmware_container_begin[];
extern "C" const std::uint8_t refloq_firmware_container_end[];

namespace {

const refloq::platform::BinaryResourceRegistrar kFirmwareContainer(
    refloq::platform::kFirmwareContainerResourceId,
    std::span<const std::uint8_t>(refloq_firmware_container_begin,
                                  refloq_firmware_container_end));

}  // namespace
