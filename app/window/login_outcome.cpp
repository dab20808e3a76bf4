#include "app/window/login_outcome.h"

#include "texts/string_ids.h"

namespace refloq::window {

LoginOutcome DescribeLogin(protocol::LoginResult result) {
  switch (result) {
    case protocol::LOGIN_RESULT_OK:
      return {"ok", texts::kTextReady};
    case protocol::LOGIN_RESULT_WRONG_PASSWORD:
      return {"wrong_password", texts::kTextPasswordIncorrect};
    case protocol::LOGIN_RESULT_LOCKED_OUT:
      return {"locked_out", texts::kTextLockedOut};
    case protocol::LOGIN_RESULT_USB:
      return {"usb", texts::kTextDeviceHasError};
    case protocol::LOGIN_RESULT_NOT_READY:
    default:
      return {"not_ready", texts::kTextDeviceBusy};
  }
}

}  // namespace refloq::window
