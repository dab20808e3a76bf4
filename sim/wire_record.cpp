#include "sim/wire_record.h"

#include "protocol/command_catalogue.h"

namespace refloq::sim {

std::string DescribeWireEntry(const WireEntry& entry) {
  std::string line =
      entry.transport + "#" + std::to_string(entry.session) + " <- ";
  switch (entry.kind) {
    case WireEntry::Kind::kBlock:
      line +=
          protocol::CommandName(entry.block.bCommand, entry.block.wParameter) +
          " type " + std::to_string(entry.block.bTransferType) + " length " +
          std::to_string(entry.block.dwLength);
      if (entry.block.dwSignature != protocol::kCommandSignature) {
        line +=
            " (bad signature " + std::to_string(entry.block.dwSignature) + ")";
      }
      break;
    case WireEntry::Kind::kData:
      line += "data " + std::to_string(entry.length) + " of " +
              std::to_string(entry.block.dwLength) + " bytes" +
              (entry.complete ? "" : " (cut short)") + " sha256 " +
              entry.sha256;
      break;
    case WireEntry::Kind::kVendorRequest:
      line += "vendor request " +
              std::to_string(entry.bytes.size() > 1 ? entry.bytes[1] : 0);
      break;
  }
  return line;
}

}  // namespace refloq::sim
