#include "update/update_job_context.h"

#include "link/command_exchange.h"
#include "link/control_pipe.h"
#include "link/trace.h"
#include "protocol/command_catalogue.h"
#include "texts/string_ids.h"

namespace refloq::update {

UpdateJobContext::UpdateJobContext(Job& job,
                                   const UpdateEnvironment& environment,
                                   WorkflowVariant variant)
    : JobConnection(job),
      job_(job),
      environment_(environment),
      variant_(variant) {}

CWIAControl& UpdateJobContext::wia() {
  return JobWia(wia_, environment_.service_control);
}

void UpdateJobContext::Trace(std::string_view line) const {
  link::AppendTraceLine(line, environment_.trace_path, 0);
}

void UpdateJobContext::ExitText(int text_id) { job_.Finish(text_id); }

void UpdateJobContext::ExitClose(int text_id) {
  link::UnlockControlPipe(connection());  // nothing without a USB device
  Close();
  job_.Finish(text_id);
}

void UpdateJobContext::ExitTextClose(int text_id) {
  job_.WriteFinal(text_id);
  link::UnlockControlPipe(connection());
  Close();
  job_.FreeSlot();
}

void UpdateJobContext::ReleaseControlPipe() {
  if (!usb()) return;
  if (connection().hUsbDevice) {
    link::UnlockControlPipe(connection());
    return;
  }
  if (Open()) link::UnlockControlPipe(connection());
  Close();
}

void UpdateJobContext::ExitPipeRelease(int text_id) {
  if (usb()) {
    Open();
    link::UnlockControlPipe(connection());
    Close();
  }
  job_.Finish(text_id);
}

bool UpdateJobContext::SendUnlock(std::string_view key_start,
                                  std::string_view key_finish) {
  const protocol::CommandBlockBytes block =
      protocol::BuildCommandBlock(protocol::kRefloqUnlockScanner);
  protocol::StatusReply reply{};
  if (!key_start.empty()) Trace("==>Send REFLOQ_UNLOCK_SCANNER cmd start");
  const bool sent =
      link::ExchangeCommand(connection(), block.data(), reply.data()) != 0;
  if (!key_start.empty()) Trace("==>Send REFLOQ_UNLOCK_SCANNER cmd finish");
  if (!sent) return false;
  if (!key_start.empty()) Trace(key_start);
  const bool key_sent =
      link::SendData(connection(), lock_key.data(), protocol::kLockKeySize,
                     environment_.trace_path, 0) != 0;
  if (!key_finish.empty()) Trace(key_finish);
  return key_sent;
}

void UpdateJobContext::ExitUnlock(int text_id) {
  if (usb()) {
    Open();
    link::UnlockControlPipe(connection());
    Close();
  }
  if (Open()) SendUnlock();  // the result changes nothing
  Close();
  job_.Finish(text_id);
}

void UpdateJobContext::ExitFirmwareUnlock(std::string_view key_start,
                                          std::string_view key_finish) {
  if (usb()) {
    Trace("==>Control pipe unlock start");
    link::UnlockControlPipe(connection());
    Trace("==>Control pipe unlock finish");
  }
  Trace("==>Close connect start");
  Close();
  Trace("==>Close connect finish");
  Trace("==>Open connect start");
  const bool opened = Open();
  Trace("==>Open connect finish");
  if (opened) SendUnlock(key_start, key_finish);
  job_.WriteFinal(texts::kTextSendFwFailed);
  link::UnlockControlPipe(connection());
  Close();
  job_.FreeSlot();
}

}  // namespace refloq::update
