// The commands that find scanners and move rows between the tables.
#include <string>

#include "app/window/control_ids.h"
#include "app/window/device_state.h"
#include "app/window/discovery_tables.h"
#include "app/window/login_outcome.h"
#include "app/window/main_window.h"
#include "discovery/address_search.h"
#include "discovery/network_search.h"
#include "platform/ansi_text.h"
#include "protocol/login_to_device.h"
#include "texts/string_ids.h"
#include "update/job.h"

namespace refloq::window {
namespace {

// The text of an empty IP address field.
constexpr char kEmptyAddressField[] = "0.0.0.0";

// Shown when the typed password cannot be sent as single-byte text; no
// login is tried, since each wrong one counts toward the lock-out.
constexpr char kPasswordNotSendable[] =
    "The password holds a character that cannot be sent to the scanner. "
    "No login was tried.";

}  // namespace

void MainWindow::OnEnterKey() {
  // The window never closes on Enter; nothing happens while busy.
  const std::string typed = model_.Control(kIdAddressField).text;
  if (typed.empty() || typed == kEmptyAddressField) return;
  OnSearchByAddress();
}

void MainWindow::OnSearchByAddress() {
  if (!IsEnabled(kIdSearchByAddress)) return;
  const std::string typed = model_.Control(kIdAddressField).text;
  RunCommand([this, typed] {
    discovery::SearchByAddress(discovery_->window(), typed);
  });
}

void MainWindow::OnSearchNetwork() {
  if (!IsEnabled(kIdSearchNetwork)) return;
  RunCommand([this] { discovery::SearchNetworkDevices(discovery_->window()); });
}

void MainWindow::OnMoveDown() {
  if (!IsEnabled(kIdMoveDown)) return;
  RunCommand([this] { MoveDown(); });
}

namespace {

// Wipes a text that held a password (LoginPassword::Take wipes its source).
void Wipe(std::string& text) { protocol::LoginPassword::Take(text); }

// The password dialog of one "↓" click: asked at the first checked network
// row, its answer serving every later one; wiped when the click ends.
class ClickPassword {
 public:
  ClickPassword(DialogView& view, PasswordDialogTexts texts)
      : view_(view), texts_(std::move(texts)) {}

  // Null when the dialog was cancelled or the text cannot be sent.
  const protocol::LoginPassword* Get() {
    if (!asked_) Ask();
    return usable_ ? &password_ : nullptr;
  }

 private:
  void Ask() {
    asked_ = true;
    PasswordAnswer answer = view_.AskPassword(texts_);
    if (!answer.login) {
      Wipe(answer.text);
      return;
    }
    std::string bytes;
    if (answer.single_byte) {
      bytes.swap(answer.text);
    } else if (!platform::ToAnsiCodePage(answer.text, bytes)) {
      Wipe(answer.text);
      view_.ShowMessage(kPasswordNotSendable, "", MessageButtons::kOk);
      return;
    }
    Wipe(answer.text);
    password_ = protocol::LoginPassword::Take(bytes);
    usable_ = true;
  }

  DialogView& view_;
  const PasswordDialogTexts texts_;
  bool asked_ = false;
  bool usable_ = false;
  protocol::LoginPassword password_;
};

}  // namespace

void MainWindow::MoveDown() {
  ClickPassword password(view_,
                         {Ui(texts::kTextPassword), Ui(texts::kTextLogin),
                          Ui(texts::kTextCancel)});
  protocol::LoginContext login;
  for (const TableRow& row : model_.Rows(kIdDeviceTable)) {
    if (!row.checked) continue;
    if (row.address != "USB") {
      const protocol::LoginPassword* typed = password.Get();
      if (typed == nullptr) {
        model_.SetChecked(kIdDeviceTable, row.key, false);
        continue;
      }
      const std::string address =
          row.address.substr(0, update::kJobAddressLength);
      const protocol::LoginResult result =
          protocol::LoginToDevice(login, address, *typed);
      if (result == protocol::LOGIN_RESULT_OK) {
        model_.AppendRow(kIdUpdateTable, row.address,
                         StatusCell::Text(texts::kTextReady), true);
        continue;
      }
      model_.SetStatus(kIdDeviceTable, row.key,
                       StatusCell::Text(DescribeLogin(result).text_id));
      model_.SetChecked(kIdDeviceTable, row.key, false);
      continue;
    }
    // ProbeUsbForMove: ready or recovery mode moves; any other state
    // stays, unchecked, and says what kept it.
    const int state = QueryUsbStatus();
    const DeviceState judged = JudgeUsbState(state);
    if (judged.selectable) {
      model_.AppendRow(kIdUpdateTable, "USB", StatusCell::Text(judged.text_id),
                       true);
    } else {
      model_.SetStatus(kIdDeviceTable, row.key,
                       StatusCell::Text(judged.text_id));
      model_.SetChecked(kIdDeviceTable, row.key, false);
    }
  }
  model_.DeleteCheckedRows(kIdDeviceTable);
}

void MainWindow::OnMoveUp() {
  if (!IsEnabled(kIdMoveUp)) return;
  for (const TableRow& row : model_.Rows(kIdUpdateTable)) {
    if (row.checked) {
      model_.AppendRow(kIdDeviceTable, row.address, StatusCell::Cleared(),
                       false);
    }
  }
  model_.DeleteCheckedRows(kIdUpdateTable);
  model_.SetEnabled(kIdUpdateStart, true);
  ShowRecoverButton();
}

}  // namespace refloq::window
