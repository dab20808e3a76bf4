#include "protocol/command_routines.h"

#include <array>

#include "link/device_connection.h"
#include "protocol/command_catalogue.h"

namespace refloq::protocol {
namespace {

constexpr std::size_t kAddressCharacters = 19;
constexpr std::string_view kUsbAddress = "USB";

}  // namespace

std::string_view RoutineAddress(std::string_view address) {
  return address.substr(0, kAddressCharacters);
}

bool RunCommandOnce(std::string_view address, const CommandBlockBytes& block,
                    const CommandBuffers& buffers) {
  link::DeviceConnection connection;
  link::InitConnection(connection);
  link::ConnectionScope scope(connection);
  if (link::OpenConnection(connection, RoutineAddress(address)) != 1) {
    return false;
  }
  return RunCommand(connection, block, buffers);
}

std::string ReadDeviceUuid(std::string_view address) {
  std::array<std::uint8_t, kUuidTextSize> text{};
  if (!RunCommandOnce(address, BuildCommandBlock(kGetUuidFromNvram),
                      {.data_in = text.data()})) {
    return {};
  }
  return DecodeUuidText(text.data());
}

bool ReadFirmwareInfo(std::string_view address, FirmwareInfoRecord& record) {
  return RunCommandOnce(address, BuildCommandBlock(kGetDeviceInfoRecord4),
                        {.data_in = record.data()});
}

bool ReadExtendedInfo(std::string_view address, ExtendedInfoRecord& record) {
  record.resize(kExtendedInfoSize, 0);
  return RunCommandOnce(address, BuildCommandBlock(kGetExtendedInfo),
                        {.data_in = record.data()});
}

bool CheckUsbInfoRecord() {
  InfoRecord1 record{};
  if (!RunCommandOnce(kUsbAddress, BuildCommandBlock(kGetDeviceInfoRecord1),
                      {.data_in = record.data()})) {
    return false;
  }
  return InfoRecord1Value(record) >= kInfoRecord1MinimumValue;
}

bool IsUsbInfoReadable() {
  InfoRecord1 record{};
  return RunCommandOnce(kUsbAddress, BuildCommandBlock(kGetDeviceInfoRecord1),
                        {.data_in = record.data()});
}

bool SendShellCommand(std::string_view address) {
  const ShellCommandData text = MakeShellCommandData();
  return RunCommandOnce(address, BuildCommandBlock(kRunShellCommand),
                        {.data_out = text.data()});
}

bool ReadDeviceStatus(std::string_view address, StatusReply& reply) {
  return RunCommandOnce(address, BuildCommandBlock(kGetDeviceStatus),
                        {.reply = reply.data()});
}

bool ReadDeviceStatusExt(std::string_view address, StatusExtReply& reply) {
  return RunCommandOnce(address, BuildCommandBlock(kGetDeviceStatusExt),
                        {.reply = reply.data()});
}

}  // namespace refloq::protocol
