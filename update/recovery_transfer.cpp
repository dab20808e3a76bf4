// The recovery transfer shared by both recovery jobs: from the presence
// test to "100%" after the image.  The jobs pass no trace lines.
#include <array>

#include "firmware/firmware_image.h"
#include "firmware/firmware_sum.h"
#include "link/command_exchange.h"
#include "platform/clock.h"
#include "platform/console.h"
#include "platform/resources.h"
#include "protocol/command_catalogue.h"
#include "texts/string_ids.h"
#include "update/recovery_job_context.h"

namespace refloq::update {
namespace {

using platform::Clock;

// The scanner is there at all; the connection is closed again at once.
bool CheckPresence(RecoveryJobContext& c) {
  const bool opened = c.Open();
  c.Close();
  if (!opened) c.job().Finish(texts::kTextFailedAborted);
  return opened;
}

// Deciphers the program's own container into the job's copy.
bool LoadImageCopy(RecoveryJobContext& c) {
  const std::span<const std::uint8_t> stored =
      platform::FindBinaryResource(platform::kFirmwareContainerResourceId);
  if (stored.empty()) {
    c.job().Finish(texts::kTextFwFileMissing);
    return false;
  }
  std::int32_t size = 0;
  std::unique_ptr<firmware::FirmwareBytes> copy;
  if (!firmware::DecryptFirmwareImage(stored, size, copy)) {
    copy.reset();
    c.job().Finish(texts::kTextFirmwareCorrupted);
    return false;
  }
  c.image = std::move(copy);
  return true;
}

// Fills in an unset checksum word.  A wrong checksum changes nothing in the
// job's course (the scanner's recovery firmware judges the image), but it
// is said on the console so that whoever watches the job learns of it.
void ApplyChecksum(RecoveryJobContext& c) {
  if (firmware::CheckFirmwareSum(*c.image) == firmware::FIRMWARE_SUM_ERROR) {
    platform::WriteConsoleText("check sum error\n");
  }
}

// The scanner must report recovery mode; anything else ends the job and
// nothing is sent.
bool CheckRecoveryMode(RecoveryJobContext& c) {
  if (!c.Open() || !c.ExchangeStatus()) {
    c.image.reset();
    c.UnlockAndClose();
    c.job().Finish(texts::kTextConnectionFailed);
    return false;
  }
  const protocol::sKestoDeviceStatus status = c.Status();
  if (status.wFWInfo == protocol::SCANNER_STATUS_RECOVERY) return true;
  // With an error as well: both texts, the error's as the final report.
  const bool error = status.dwLastErr != 0;
  if (error) c.job().WriteString(texts::kTextNotInRecoveryMode);
  c.job().WriteFinal(error ? texts::kTextDeviceError
                           : texts::kTextNotInRecoveryMode);
  c.image.reset();
  c.UnlockAndClose();
  c.job().FreeSlot();
  return false;
}

// The firmware command and the image in its data phase.
bool SendImage(RecoveryJobContext& c, std::uint16_t parameter) {
  // The status check's connection is closed before the transfer opens its
  // own, so the scanner never holds two of the job's connections.
  c.Close();
  if (!c.Open()) {
    c.image.reset();
    c.UnlockAndClose();
    c.job().Finish(texts::kTextConnectionFailed);
    return false;
  }
  const auto length = static_cast<std::uint32_t>(c.image->size());
  const protocol::CommandBlockBytes block =
      protocol::BuildCommandBlock({protocol::FIRMWARE_TRANSFER, parameter,
                                   protocol::TRANSFER_WRITE, length});
  protocol::StatusReply reply{};  // only its arrival counts
  if (link::ExchangeCommand(c.connection(), block.data(), reply.data()) == 0) {
    c.image.reset();
    c.job().WriteFinal(texts::kTextSendFwFailed);
    c.UnlockAndClose();
    c.job().FreeSlot();
    return false;
  }
  c.job().WriteString(texts::kTextSendingData);
  if (link::SendData(c.connection(), c.image->data(), length,
                     c.environment().trace_path, 0) == 0) {
    c.image.reset();
    c.UnlockAndClose();
    c.Open();  // its result changes nothing
    c.job().WriteFinal(texts::kTextSendFwFailed);
    c.UnlockAndClose();
    c.job().FreeSlot();
    return false;
  }
  return true;
}

// A percentage that reads nothing from the scanner: a report every pause
// until the time is up.
void RunSimulatedProgress(Job& job, const RecoveryValues& values) {
  int counter = 0;
  const std::uint32_t start = Clock::TickCount();
  while (!Clock::HasPassed(start, values.progress_ms)) {
    job.WriteProgress(counter);
    ++counter;
    if (values.progress_cap && counter > *values.progress_cap) {
      counter = *values.progress_cap;
    }
    Clock::Sleep(values.progress_pause_ms);
  }
}

}  // namespace

bool RecoveryTransfer(RecoveryJobContext& c, const RecoveryValues& values) {
  if (!CheckPresence(c)) return false;
  if (!LoadImageCopy(c)) return false;
  if (values.check_sum) ApplyChecksum(c);
  if (!CheckRecoveryMode(c)) return false;
  c.job().WriteString(texts::kTextReady);
  if (!SendImage(c, values.parameter)) return false;

  c.image.reset();
  c.job().WriteString(texts::kTextStartingUpdate);
  RunSimulatedProgress(c.job(), values);
  c.job().WriteProgress(100);
  if (values.closing_text_id != 0) {
    Clock::Sleep(values.closing_pause_ms);
    c.job().WriteString(values.closing_text_id);
  }
  c.Close();
  return true;
}

}  // namespace refloq::update
