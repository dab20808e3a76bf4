#include "cli/move_down.h"

#include "cli/device_state.h"
#include "cli/login_step.h"
#include "protocol/command_routines.h"
#include "protocol/login_to_device.h"
#include "texts/string_ids.h"

namespace refloq::cli {
namespace {

// The USB scanner moves when it answers ready or in
// recovery mode; anything else keeps it back with the text of its state.
bool MoveUsb(Context& context, JobDisplay& display, int index) {
  protocol::StatusReply reply{};
  const bool answered = protocol::ReadDeviceStatus("USB", reply);
  const protocol::sKestoDeviceStatus status =
      protocol::DecodeDeviceStatus(reply.data());
  if (answered && status.wFWInfo == protocol::SCANNER_STATUS_RECOVERY) {
    display.Show(index, context.ui(texts::kTextRecoveryMode), "probe");
    return true;
  }
  if (answered && status.wFWInfo == protocol::SCANNER_STATUS_READY) {
    display.Show(index, context.ui(texts::kTextReady), "probe");
    return true;
  }
  display.Show(index, context.ui(JudgeDeviceState(answered, status).text_id),
               "probe");
  return false;
}

}  // namespace

std::vector<int> MoveDown(Context& context, JobDisplay& display,
                          const std::vector<std::string>& addresses,
                          const protocol::LoginPassword& password) {
  std::vector<int> moved;
  protocol::LoginContext login;
  for (std::size_t i = 0; i < addresses.size(); ++i) {
    const int index = static_cast<int>(i);
    if (addresses[i] == "USB") {
      if (MoveUsb(context, display, index)) moved.push_back(index);
      continue;
    }
    const protocol::LoginResult result =
        protocol::LoginToDevice(login, addresses[i], password);
    display.Show(index, context.ui(DescribeLogin(result).text_id), "login");
    if (result == protocol::LOGIN_RESULT_OK) moved.push_back(index);
  }
  return moved;
}

}  // namespace refloq::cli
