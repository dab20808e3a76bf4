#include "protocol/login_commands.h"

#include <array>

#include "protocol/byte_order.h"
#include "protocol/command_catalogue.h"
#include "protocol/command_routines.h"

namespace refloq::protocol {

std::uint32_t ReadLoginMode(std::string_view address) {
  std::array<std::uint8_t, 4> mode{};
  if (!RunCommandOnce(address, BuildCommandBlock(kLoginFunction1),
                      {.data_in = mode.data()})) {
    return 0;
  }
  return LoadLe32(mode.data());
}

bool ReadLoginChallenge(std::string_view address, LoginChallenge& challenge) {
  return RunCommandOnce(address, BuildCommandBlock(kLoginFunction2),
                        {.data_in = challenge.data()});
}

bool SendLoginAnswer(const LoginContext& /*context*/, std::string_view address,
                     std::string_view answer_text, StatusReply& reply) {
  const auto length = static_cast<std::uint32_t>(answer_text.size());
  return RunCommandOnce(
      address, BuildCommandBlock(kLoginFunction3.WithLength(length)),
      {.reply = reply.data(),
       .data_out = reinterpret_cast<const std::uint8_t*>(answer_text.data())});
}

bool SendLockRecord(LoginContext& context, std::string_view address,
                    const LoginPassword& password, StatusReply& reply) {
  NewAttemptId(context);
  LockRecord record{};
  ScopedWipe wipe(record);  // holds the password
  FillLockRecord(context, password, record);
  return RunCommandOnce(address, BuildCommandBlock(kLockFunction9),
                        {.reply = reply.data(), .data_out = record.data()});
}

bool SendAttemptId(const LoginContext& context, std::string_view address) {
  return RunCommandOnce(address, BuildCommandBlock(kLockFunction2),
                        {.data_out = context.szAttemptId.data()});
}

bool SetLockFunctionData(LoginContext& context, std::string_view address,
                         const LoginPassword& password) {
  StatusReply reply{};
  SendLockRecord(context, address, password, reply);
  SendAttemptId(context, address);
  return DecodeDeviceStatus(reply.data()).dwLastErr == LOGIN_REJECTED;
}

}  // namespace refloq::protocol
