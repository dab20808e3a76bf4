// Steps 1 to 9 of UpdateThreadProc: from the start of the job to the
// scanner locked for it, checked and permitted to take the image.
#include "link/command_exchange.h"
#include "link/control_pipe.h"
#include "platform/clock.h"
#include "protocol/command_catalogue.h"
#include "protocol/command_routines.h"
#include "texts/string_ids.h"
#include "update/downgrade_guard.h"
#include "update/update_job_context.h"

namespace refloq::update {
namespace {

using platform::Clock;

inline constexpr std::uint32_t kWakeLimitMs = 60000;
inline constexpr std::uint32_t kWakePollPauseMs = 1000;

// Step 2 (USB): stop the still-image service.
bool StopStillImageService(UpdateJobContext& c) {
  c.Trace("==>Device is usb mode");
  c.Trace("==>WIAstop function start");
  const bool stopped = c.wia().StopWIA();
  c.Trace("==>WIAstop function finish");
  if (!stopped) {
    c.Trace("==>WIAstop fail return");
    c.ExitText(texts::kTextStopWiaFailed);
    return false;
  }
  if (c.wia().IsWIARunning()) {
    c.Trace("==>WIA is running");
    c.Trace("==>WIAstop function start");
    c.wia().StopWIA();
    c.Trace("==>WIAstop function finish");
  }
  return true;
}

// Step 3: the scanner can be reached at all.
bool CheckReachable(UpdateJobContext& c) {
  c.Trace("==>Open connect start");
  if (!c.Open()) {
    c.Trace("==>Open connect fail return");
    c.job().WriteFinal(texts::kTextFailedAborted);
    c.Close();
    c.job().FreeSlot();
    return false;
  }
  c.Trace("==>Close connect start");
  c.Close();
  return true;
}

// Step 4: status check, with the USB control pipe locked; the judgement
// of the reply sets `asleep` for a sleeping network scanner.
bool CheckStatus(UpdateJobContext& c) {
  c.Trace("==>Check device status start");
  c.Trace("==>Open connect start");
  if (!c.Open()) {
    c.Trace("==>Open connect fail return");
    c.ExitClose(texts::kTextConnectionFailed);
    return false;
  }
  c.Trace("==>Open connect success");
  if (c.usb()) {
    c.Trace("==>Device is usb mode");
    c.Trace("==>Control pipe lock start");
    const bool locked = link::LockControlPipe(c.connection()) != 0;
    c.Trace("==>Control pipe lock finish");
    if (!locked) {
      c.Trace("==>Control pipe lock fail return");
      c.job().WriteFinal(texts::kTextBusyAborted);
      c.Close();
      c.job().FreeSlot();
      return false;
    }
  }
  c.Trace("==>Send get device status cmd start");
  const bool exchanged = c.ExchangeStatus();
  c.Trace("==>Send get device status cmd finish");
  if (!exchanged) {
    c.Trace("==>Send get device status cmd fail return");
    c.ExitClose(texts::kTextConnectionFailed);
    return false;
  }

  const protocol::sKestoDeviceStatus status = c.Status();
  if (status.wFWInfo != protocol::SCANNER_STATUS_READY ||
      status.dwLastErr != 0) {
    c.Trace(
        "==>wFWInfo != SCANNER_STATUS_READY || "
        "sKestoDeviceStatus.dwLastErr != 0 return");
    // Busy and in error: both texts, the error's as the final report.
    const bool error = status.dwLastErr != 0;
    if (error && status.wFWInfo != protocol::SCANNER_STATUS_READY) {
      c.job().WriteString(texts::kTextBusyAborted);
    }
    c.job().WriteFinal(error ? texts::kTextDeviceError
                             : texts::kTextBusyAborted);
    link::UnlockControlPipe(c.connection());
    c.Close();
    c.job().FreeSlot();
    return false;
  }
  if (status.bSleep == 1 && !c.usb()) {
    c.Trace("==>Device is sleep");
    if (c.environment().wait_for_wake) {
      c.asleep = true;
      return true;
    }
    c.Trace("==>Wait device wake up not select return");
    c.job().WriteFinal(texts::kTextDeviceError);
    c.Close();
    c.job().FreeSlot();
    return false;
  }
  c.Trace("==>Device is ready");
  c.job().WriteString(texts::kTextReady);
  return true;
}

// Step 5: lock the scanner with a fresh key on a connection of its own.
bool LockScanner(UpdateJobContext& c) {
  c.Trace("==>Lock scanner start");
  c.Trace("==>Open connect start");
  const bool opened = c.Open();
  c.Trace("==>Open connect finish");
  if (!opened) {
    c.Trace("==>Open connect fail return");
    c.ExitClose(texts::kTextConnectionFailed);
    return false;
  }
  c.Trace("==>Open connect success");
  c.lock_key = protocol::NewLockKey();
  const protocol::CommandBlockBytes block =
      protocol::BuildCommandBlock(protocol::kRsLockScanner);
  protocol::StatusReply reply{};
  c.Trace("==>Send RS_LOCK_SCANNER cmd start");
  const bool exchanged =
      link::ExchangeCommand(c.connection(), block.data(), reply.data()) != 0;
  c.Trace("==>Send RS_LOCK_SCANNER cmd finish");
  if (!exchanged) {
    c.Trace("==>Send RS_LOCK_SCANNER cmd fail return");
    c.ExitClose(texts::kTextConnectionFailed);
    return false;
  }
  c.Trace("==>Send RS_LOCK_SCANNER data start");
  const bool key_sent =
      link::SendData(c.connection(), c.lock_key.data(), protocol::kLockKeySize,
                     c.environment().trace_path, 0) != 0;
  c.Trace("==>Send RS_LOCK_SCANNER data finish");
  if (!key_sent) {
    c.Trace("==>Send RS_LOCK_SCANNER data fail return");
    c.ExitClose(texts::kTextConnectionFailed);
    return false;
  }
  c.Close();
  return true;
}

std::string ReadUuid(UpdateJobContext& c) {
  c.Trace("==>Get uuid from nvram start");
  std::string uuid = protocol::ReadDeviceUuid(c.address());
  c.Trace("==>Get uuid from nvram finish");
  return uuid;
}

// Step 7: polls a sleeping scanner until it is awake, at most 60 s.
bool WaitForWake(UpdateJobContext& c) {
  c.Trace("==>Wait scanner wake start");
  c.Trace("==>Into wait scanner wake loop, timeout 60sec");
  const std::uint32_t start = Clock::TickCount();
  bool awake = false;
  while (!awake && !Clock::HasPassed(start, kWakeLimitMs)) {
    c.Trace("==>Open connect start");
    // A scanner that refuses or drops the connection is asked again after
    // the loop's pause, never at once.
    if (!c.Open()) {
      Clock::Sleep(kWakePollPauseMs);
      continue;
    }
    c.Trace("==>Open connect finish");
    c.Trace("==>Send get device status cmd start");
    bool exchanged = c.ExchangeStatus();
    c.Trace("==>Send get device status cmd finish");
    c.Trace("==>Close connect start");
    if (!c.Close()) {
      c.Trace("==>Close connect fail");
      exchanged = false;
    }
    c.Trace("==>Close connect finish");
    if (!exchanged) {
      Clock::Sleep(kWakePollPauseMs);
      continue;
    }
    const protocol::sKestoDeviceStatus status = c.Status();
    if (status.wFWInfo != protocol::SCANNER_STATUS_READY ||
        status.bSleep != 0) {
      c.Trace("==>Wait device wake up, sleep 1sec ");
      Clock::Sleep(kWakePollPauseMs);
      continue;
    }
    c.Trace("==>Device is wake up");
    awake = true;
  }
  if (!awake) {
    c.Trace("==>Into wait scanner wake loop, timeout return");
    c.ExitUnlock(texts::kTextDeviceError);
    return false;
  }
  c.Trace("==>Wait scanner wake finish");
  return true;
}

}  // namespace

bool RunUpdateChecks(UpdateJobContext& c) {
  c.Trace("==>UpdateFw function start");
  if (c.usb() && !StopStillImageService(c)) return false;
  if (!CheckReachable(c)) return false;
  if (!CheckStatus(c)) return false;
  if (!LockScanner(c)) return false;

  c.uuid_before = ReadUuid(c);
  if (c.uuid_before.empty()) {
    c.Trace("==>Get uuid from nvram faile return");
    c.ExitPipeRelease(texts::kTextGetUuidFailed);
    return false;
  }
  if (c.asleep && !WaitForWake(c)) return false;

  c.Trace("==>Compare uuid string start");
  const std::string uuid_again = ReadUuid(c);
  c.Trace("==>Compare uuid string finish");
  if (uuid_again.empty() || uuid_again != c.uuid_before) {
    c.Trace("==>UUID compare fail return");
    c.ExitPipeRelease(texts::kTextGetUuidFailed);
    return false;
  }

  if (!c.post_recovery() && c.environment().enable_downgrade != 0 &&
      !PassesDowngradeGuard(c.address())) {
    c.ExitUnlock(texts::kTextCannotDowngrade);
    return false;
  }
  if (!c.usb() && !protocol::SendShellCommand(c.address())) {
    c.ExitText(texts::kTextFailedAborted);
    return false;
  }
  return true;
}

}  // namespace refloq::update
