// Steps 10 to 15 of UpdateThreadProc: the firmware command and image, the
// following of the update, the wait for the restart and the final text.
#include <algorithm>

#include "link/command_exchange.h"
#include "link/control_pipe.h"
#include "platform/clock.h"
#include "protocol/command_catalogue.h"
#include "protocol/command_routines.h"
#include "texts/string_ids.h"
#include "update/update_job_context.h"

namespace refloq::update {
namespace {

using platform::Clock;

inline constexpr std::uint32_t kNoInfoRecordPauseMs = 20000;
inline constexpr std::uint32_t kProgressStartPauseMs = 3000;
inline constexpr std::uint32_t kProgressLimitMs = 900000;
inline constexpr std::uint32_t kProgressTextPauseMs = 1000;
inline constexpr std::uint32_t kFailedPollPauseMs = 500;
inline constexpr int kFailedPollsTolerated = 10;  // the 12th failure ends
inline constexpr int kCountdownSeconds = 80;
inline constexpr std::uint32_t kCountdownStepMs = 1000;
inline constexpr std::uint32_t kRestartPauseMs = 10000;
inline constexpr std::uint32_t kRestartLimitMs = 120000;
inline constexpr std::uint32_t kNotReadyPauseMs = 1000;
inline constexpr int kMaxShownProgress = 99;

// Steps 10 to 12: the update connection, the firmware command and the
// image; true when the scanner accepted the image.
bool SendFirmware(UpdateJobContext& c) {
  c.Trace("==>Start update fw function");
  c.Trace("==>Open connect start");
  const bool opened = c.Open();
  c.Trace("==>Open connect finish");
  if (!opened) {
    c.Trace("==>Open connect fail return");
    c.ExitClose(texts::kTextConnectionFailed);
    return false;
  }
  if (!c.post_recovery() && !protocol::CheckUsbInfoRecord()) {
    Clock::Sleep(kNoInfoRecordPauseMs);
  }

  const std::span<const std::uint8_t> image = c.environment().firmware;
  const auto length = static_cast<std::uint32_t>(image.size());
  const protocol::CommandBlockBytes block = protocol::BuildCommandBlock(
      protocol::kFirmwareTransferUpdate.WithLength(length));
  c.Trace("==>Send cmd no data start");
  const bool block_sent =
      link::SendCommandOnly(c.connection(), block.data()) != 0;
  c.Trace("==>Send cmd no data finish");
  if (!block_sent) {
    c.Trace("==>Send cmd no data fail return");
    c.ExitTextClose(texts::kTextSendFwFailed);
    return false;
  }
  c.Trace("==>Send cmd no data success");
  c.job().WriteString(texts::kTextSendingData);

  c.Trace("==>Send fw data start");
  const bool image_sent = link::SendData(c.connection(), image.data(), length,
                                         c.environment().trace_path, 0) != 0;
  c.Trace("==>Send fw data finish");
  if (!image_sent) {
    c.Trace("==>Send fw data fail return");
    c.ExitFirmwareUnlock("==>Send uuis data start", "==>Send uuis data finish");
    return false;
  }
  c.Trace("==>Send fw data success");
  c.Trace("==>Get device status start");
  const bool replied = link::ReceiveData(c.connection(), c.status_reply.data(),
                                         protocol::kStatusReplySize,
                                         c.environment().trace_path, 0) != 0;
  c.Trace("==>Get device status finish");
  c.job().WriteString(texts::kTextStartingUpdate);
  if (!replied || c.Status().dwLastErr != 0) {
    c.Trace("==>Get device status fail return");
    c.ExitFirmwareUnlock("==>Send uuid data start", "==>Send uuid data finsh");
    return false;
  }
  c.Trace("==>Release fw data buffer");
  c.Trace("==>Close connect start");
  c.Close();
  c.Trace("==>Close connect finish");
  c.Trace("==>Send fw data finish, check update percentage start");
  return true;
}

// Step 13 (USB): follows bProgress until the scanner reports it done.
bool FollowProgress(UpdateJobContext& c) {
  c.Trace("==>Device is usb mode");
  Clock::Sleep(kProgressStartPauseMs);
  c.Trace("==>check update percentage timeout is 300sec");
  const std::uint32_t start = Clock::TickCount();
  c.Trace("==>Into get update percentage loop start");
  int failed_polls = 0;
  while (!Clock::HasPassed(start, kProgressLimitMs)) {
    if (c.Open()) {
      bool polled = c.ExchangeStatus();
      if (!c.Close()) polled = false;
      if (!polled) {
        if (failed_polls > kFailedPollsTolerated) {
          if (!c.post_recovery()) {
            c.Trace("==>Send get device status cmd fail return");
          }
          c.ReleaseControlPipe();
          c.job().Finish(texts::kTextUpdateFailed);
          return false;
        }
        ++failed_polls;
        Clock::Sleep(kFailedPollPauseMs);
        continue;
      }
    }
    // A scanner that could not be opened is judged by its last reply.
    const protocol::sKestoDeviceStatus status = c.Status();
    if (status.dwLastErr == protocol::LAST_ERR_UPDATE_FAILED) {
      c.ReleaseControlPipe();
      c.Close();
      c.job().Finish(texts::kTextUpdateFailed);
      return false;
    }
    if (status.wFWInfo == protocol::SCANNER_STATUS_UPDATING) {
      // Progress 0 (or a scanner that could not be opened) is asked again
      // after the loop's pause, never at once.
      if (status.bProgress == 0) {
        Clock::Sleep(kProgressTextPauseMs);
        continue;
      }
      const int shown = std::min<int>(status.bProgress, kMaxShownProgress);
      c.job().WriteProgress(shown);
      Clock::Sleep(kProgressTextPauseMs);
      continue;
    }
    if (status.wFWInfo == protocol::SCANNER_STATUS_READY &&
        status.bProgress == 0) {
      c.job().WriteProgress(100);
      if (!c.post_recovery()) c.Trace("==>get update percentage = 100%");
      c.Trace("==>Into get update percentage loop finish");
      c.Trace("==>Control pipe unlock start");
      c.ReleaseControlPipe();
      c.Trace("==>Control pipe unlock finish");
      c.Trace("==>Close connect start");
      c.Close();
      c.Trace("==>Close connect finish");
      return true;
    }
    // Any other state: asked again after the pause.
    Clock::Sleep(kProgressTextPauseMs);
  }
  c.Trace("==>check update percentage timeout return");
  c.ReleaseControlPipe();
  c.Close();
  c.job().Finish(texts::kTextUpdateFailed);
  return false;
}

// Step 13 (network): the fixed restart countdown, 1:20 down to 0:01.
void CountDownRestart(UpdateJobContext& c) {
  c.Trace("==>Device is net mode");
  for (int left = kCountdownSeconds; left >= 1; --left) {
    c.job().WriteCountdown(left / 60, left % 60);
    Clock::Sleep(kCountdownStepMs);
  }
}

// Step 14: polls the old address until the scanner answers ready, looking
// for it by its UUID while it answers not ready.
bool WaitForRestart(UpdateJobContext& c) {
  c.Trace("==>Wait device reboot, check device status again.");
  c.job().WriteString(texts::kTextChecking);
  Clock::Sleep(kRestartPauseMs);
  const std::uint32_t start = Clock::TickCount();
  c.Trace("==>Get device status loop start");
  while (!Clock::HasPassed(start, kRestartLimitMs)) {
    c.Trace("==>Open connect start");
    // A scanner still restarting refuses or drops the connection: it is
    // asked again after the loop's pause, never at once.
    if (!c.Open()) {
      Clock::Sleep(kNotReadyPauseMs);
      continue;
    }
    c.Trace("==>Open connect finish");
    c.Trace("==>Send get status cmd start");
    bool exchanged = c.ExchangeStatus();
    c.Trace("==>Send get status cmd finish");
    c.Trace("==>Close connect start");
    if (!c.Close()) exchanged = false;
    c.Trace("==>Close connect finish");
    if (!exchanged) {
      Clock::Sleep(kNotReadyPauseMs);
      continue;
    }
    c.Trace("==>Open connect success");
    if (c.Status().wFWInfo == protocol::SCANNER_STATUS_READY) {
      c.Trace("==>Get device status is ready break");
      c.job().FreeSlot();
      return true;
    }
    c.Trace("==>Get device status is ready, sleep 1sec");
    Clock::Sleep(kNotReadyPauseMs);
    const Rediscoverer& rediscover = c.environment().rediscover;
    if (!c.usb() && rediscover && rediscover(c.uuid_before) != 0) {
      c.Trace("==>UUID_Before is");
      c.Trace(c.uuid_before);
      c.Trace("==>update fw success");
      return true;
    }
  }
  c.Trace("==>Get device status timeout return");
  c.Close();
  c.job().Finish(texts::kTextUpdateFailed);
  return false;
}

}  // namespace

void RunTransferAndFinish(UpdateJobContext& c) {
  if (!SendFirmware(c)) return;
  if (c.usb()) {
    if (!FollowProgress(c)) return;
  } else {
    CountDownRestart(c);
  }
  if (!WaitForRestart(c)) return;

  c.Trace("==>Get device status loop finish");
  if (c.usb()) {
    c.Trace("==>WIAStart start");
    const bool started = c.wia().StartWIA();
    c.Trace("==>WIAStart finish");
    if (!started) {
      c.Trace("==>WIAStart start fail return");
      c.ExitText(texts::kTextStartWiaFailed);
      return;
    }
  }
  c.job().Finish(texts::kTextSuccess);
  c.Trace("==>Update fw success");
}

}  // namespace refloq::update
