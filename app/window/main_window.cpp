// The main window's start, its controls and its end.
#include "app/window/main_window.h"

#include <array>
#include <chrono>
#include <optional>
#include <utility>

#include "app/settings.h"
#include "app/version_text.h"
#include "app/window/control_ids.h"
#include "app/window/device_state.h"
#include "app/window/discovery_tables.h"
#include "texts/string_ids.h"
#include "update/wia_control.h"

namespace refloq::window {

// The board's controls switch: the jobs' wish to enable the controls,
// granted by the window only when nothing else runs.
class MainWindow::JobControls final : public update::ControlsSwitch {
 public:
  explicit JobControls(MainWindow& window) : window_(window) {}
  void EnableControls() override { window_.EnableControls(); }

 private:
  MainWindow& window_;
};

MainWindow::MainWindow(DialogView& view, WindowServices services)
    : view_(view),
      services_(std::move(services)),
      model_(view, services_.ui),
      discovery_(std::make_unique<DiscoveryTables>(model_, view, services_.ui)),
      update_rows_(model_, kIdUpdateTable, [this] { EnableControls(); }),
      recover_rows_(model_, kIdDeviceTable, [this] { EnableControls(); }),
      job_controls_(std::make_unique<JobControls>(*this)),
      board_(update_rows_, *job_controls_) {}

MainWindow::~MainWindow() {
  command_.Wait();
  if (!closed_) {
    board_.slots().WaitForWorkers(100, 1000);
    image_.Release();
  }
  RestartStillImageService();
}

std::string MainWindow::Ui(int id) const {
  return services_.ui ? services_.ui(id) : std::string();
}

std::string MainWindow::AboutMenuText() const {
  return Ui(texts::kTextAboutMenu);
}

MessageAnswer MainWindow::Message(int text_id, MessageButtons buttons) {
  return view_.ShowMessage(Ui(text_id), "", buttons);
}

void MainWindow::OnInitDialog() {
  model_.SetTitle(
      app::FormatWindowTitle(Ui(texts::kTextTitle), services_.version_text));
  for (int list : {kIdDeviceTable, kIdUpdateTable}) {
    model_.SetColumns(list,
                      {{Ui(texts::kTextColumnDestination), kAddressColumnWidth},
                       {Ui(texts::kTextColumnStatus), kStatusColumnWidth}});
    model_.SetListStyle(list, kListStyleAtStart);
  }
  model_.SetChecked(kIdWaitForWake, true);
  static constexpr std::array<std::pair<int, int>, 8> kControlTexts = {{
      {kIdSearchByAddress, texts::kTextSearchByAddress},
      {kIdWaitForWake, texts::kTextWaitForWake},
      {kIdRecoverFw, texts::kTextRecoverFw},
      {kIdSearchNetwork, texts::kTextSearch},
      {kIdUpdateStart, texts::kTextStartUpdate},
      {kIdCancel, texts::kTextClose},
      {kIdDeviceTableLabel, texts::kTextDeviceTableLabel},
      {kIdUpdateTableLabel, texts::kTextUpdateTableLabel},
  }};
  for (const auto& [id, text] : kControlTexts) model_.SetText(id, Ui(text));
  // The template's states: the check box stays hidden, "Recover FW" is
  // hidden and disabled, "Update Start" waits for a row.
  model_.SetVisible(kIdWaitForWake, false);
  model_.SetVisible(kIdRecoverFw, false);
  model_.SetEnabled(kIdRecoverFw, false);
  model_.SetEnabled(kIdUpdateStart, false);
  model_.SetText(kIdAddressField, "0.0.0.0");
  model_.SetVisible(kIdSearchByAddress, true);
  model_.SetVisible(kIdAddressField, true);

  if (services_.show_all_string &&
      services_.show_all_string() == app::kShowAllStringOn) {
    ShowAllStrings();
  }
  enable_downgrade_ =
      services_.enable_downgrade ? services_.enable_downgrade() : 1;
  AddUsbRow();
}

void MainWindow::ShowAllStrings() {
  // 26 rows: strings 113 to 131, 136 to 141 and 148, then six boxes.
  std::vector<int> ids;
  for (int id = texts::kTextReady; id <= texts::kTextRebootCountdown; ++id) {
    ids.push_back(id);
  }
  for (int id = texts::kTextRecoveryMode; id <= texts::kTextNotFoundAnywhere;
       ++id) {
    ids.push_back(id);
  }
  ids.push_back(texts::kTextSearch);
  for (std::size_t row = 0; row < ids.size(); ++row) {
    model_.InsertRow(kIdDeviceTable, static_cast<int>(row), "IP",
                     StatusCell::Text(ids[row]), false);
  }
  for (int id : {texts::kTextNoDeviceSelected, texts::kTextDeviceNotFound,
                 texts::kTextSearchDeviceBusy, texts::kTextAddSuccess,
                 texts::kTextBeginUpdate, texts::kTextBeginUpdateMany}) {
    Message(id, MessageButtons::kOk);
  }
}

void MainWindow::AddUsbRow() {
  // At the start "Update Start" waits for a row to be moved: the end of
  // the query must not enable it.
  RunCommand(
      [this] {
        const DeviceState state = JudgeUsbState(QueryUsbStatus());
        model_.InsertRow(kIdDeviceTable, 0, "USB",
                         StatusCell::Text(state.text_id), state.selectable);
      },
      /*enable_update_start=*/false);
}

int MainWindow::QueryUsbRow() {
  const int state = QueryUsbStatus();
  if (const auto usb = model_.FindAddress(kIdDeviceTable, "USB")) {
    model_.SetStatus(kIdDeviceTable, usb->key,
                     StatusCell::Text(JudgeUsbState(state).text_id));
  }
  return state;
}

bool MainWindow::IsEnabled(int id) const {
  const ControlState control = model_.Control(id);
  return control.enabled && control.visible;
}

bool MainWindow::IsBusy() const {
  return command_running_.load() || board_.slots().AnyBusy() ||
         update_rows_.AnyAwaited() || recover_rows_.AnyAwaited();
}

void MainWindow::DisableControls() {
  for (int id : {kIdDeviceTable, kIdUpdateTable, kIdSearchByAddress,
                 kIdSearchNetwork, kIdUpdateStart, kIdRecoverFw,
                 kIdAddressField, kIdCancel, kIdMoveDown, kIdMoveUp}) {
    model_.SetEnabled(id, false);
  }
}

void MainWindow::EnableControls() {
  {
    std::lock_guard lock(idle_mutex_);
    if (IsBusy()) return;
    for (int id :
         {kIdSearchByAddress, kIdSearchNetwork, kIdAddressField, kIdDeviceTable,
          kIdUpdateTable, kIdUpdateStart, kIdCancel, kIdMoveDown, kIdMoveUp}) {
      model_.SetEnabled(id, true);
    }
    ShowRecoverButton();
  }
  idle_cv_.notify_all();
}

void MainWindow::ShowRecoverButton() {
  // "Recover FW" is offered while the Device Table's "USB" row says that
  // its scanner is in recovery mode (the text that asks for the button).
  const auto usb = model_.FindAddress(kIdDeviceTable, "USB");
  const bool offer = usb && usb->status.text_id == texts::kTextRecoveryMode;
  model_.SetVisible(kIdRecoverFw, offer);
  model_.SetEnabled(kIdRecoverFw, offer);
}

void MainWindow::RunCommand(std::function<void()> body,
                            bool enable_update_start) {
  DisableControls();
  command_running_ = true;
  command_.Start([this, body = std::move(body), enable_update_start] {
    body();
    command_running_ = false;
    EnableControls();
    if (!enable_update_start) model_.SetEnabled(kIdUpdateStart, false);
    idle_cv_.notify_all();
  });
}

void MainWindow::WaitForCommand() { command_.Wait(); }

void MainWindow::WaitUntilIdle() {
  std::unique_lock lock(idle_mutex_);
  // The last job may free its slot after its final text: look again now
  // and then rather than rely on one more notification.
  while (IsBusy()) idle_cv_.wait_for(lock, std::chrono::milliseconds(20));
  lock.unlock();
  command_.Wait();
}

bool MainWindow::OnCloseButton() {
  if (closed_) return true;
  if (IsBusy() || !model_.Control(kIdCancel).enabled) return false;
  command_.Wait();
  // Every job has written its final text; its thread is ending.
  board_.slots().WaitForWorkers(100, 1000);
  image_.Release();
  RestartStillImageService();
  closed_ = true;
  return true;
}

void MainWindow::RestartStillImageService() {
  // Only when a USB job may have stopped it, and once.
  if (!usb_job_started_.load() || service_restarted_) return;
  service_restarted_ = true;
  std::optional<update::CWIAControl> wia;
  update::JobWia(wia, services_.service_control).StartWIA();
}

void MainWindow::OnDeviceTableChanged(int row, bool checked) {
  const auto entry = model_.RowAt(kIdDeviceTable, row);
  if (!entry) return;
  model_.SetChecked(kIdDeviceTable, entry->key, checked);
  // The "USB" row is asked for its state when the user checks it, never
  // while anything runs (a job may be writing into that row).
  if (entry->address != "USB" || !checked || IsBusy()) return;
  RunCommand([this] { QueryUsbRow(); });
}

void MainWindow::OnUpdateTableChanged(int row, bool checked) {
  if (const auto entry = model_.RowAt(kIdUpdateTable, row)) {
    model_.SetChecked(kIdUpdateTable, entry->key, checked);
  }
}

void MainWindow::SetAddressField(std::string_view text) {
  model_.SetText(kIdAddressField, text);
}

}  // namespace refloq::window
