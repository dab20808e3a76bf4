// "Update Start" and "Recover FW": the firmware image, the confirmation,
// and the jobs with their rows.
#include <algorithm>
#include <memory>
#include <vector>

#include "app/window/control_ids.h"
#include "app/window/device_state.h"
#include "app/window/discovery_tables.h"
#include "app/window/main_window.h"
#include "discovery/rediscovery.h"
#include "texts/string_ids.h"
#include "update/job_starter.h"
#include "update/recovery_workflow.h"
#include "update/slot_table.h"
#include "update/update_workflow.h"

namespace refloq::window {
namespace {

update::ThreadLauncher& LauncherOf(const WindowServices& services) {
  return services.launcher != nullptr ? *services.launcher
                                      : update::DefaultThreadLauncher();
}

}  // namespace

update::UpdateEnvironment MainWindow::JobEnvironment() const {
  update::UpdateEnvironment environment;
  environment.firmware = image_.Bytes();
  environment.firmware_owner = image_.m_pFirmwareData;
  environment.wait_for_wake = model_.Control(kIdWaitForWake).checked;
  environment.enable_downgrade = enable_downgrade_;
  environment.service_control = services_.service_control;
  // The rediscovery reads only the trace path and may show the
  // missing-template message; the tables outlive every worker.
  DiscoveryTables* tables = discovery_.get();
  environment.rediscover = [tables](std::string_view wanted_id) {
    return discovery::RediscoverDevice(tables->window(), wanted_id);
  };
  return environment;
}

void MainWindow::OnUpdateStart() {
  if (!IsEnabled(kIdUpdateStart)) return;
  RunCommand([this] { UpdateStart(); });
}

void MainWindow::UpdateStart() {
  // An image held from an earlier start stays alive for any worker still
  // reading it (the environment holds a reference).
  image_.Release();
  image_ = firmware::FirmwareImage();
  std::vector<TableRow> checked;
  for (const TableRow& row : model_.Rows(kIdUpdateTable)) {
    if (row.checked) checked.push_back(row);
  }
  if (!services_.load_firmware || !services_.load_firmware(image_)) {
    const int text = image_.m_bFirmwareMissing ? texts::kTextFwFileMissing
                                               : texts::kTextFirmwareCorrupted;
    for (const TableRow& row : checked) {
      model_.SetStatus(kIdUpdateTable, row.key, StatusCell::Text(text));
    }
    image_.Release();
    return;
  }
  if (checked.empty()) {
    Message(texts::kTextNoDeviceSelected, MessageButtons::kOk);
    return;
  }
  const int question = checked.size() == 1 ? texts::kTextBeginUpdate
                                           : texts::kTextBeginUpdateMany;
  if (Message(question, MessageButtons::kOkCancel) != MessageAnswer::kOk) {
    return;
  }

  // Rows keep their index as their slot: take the indices now, while the
  // list cannot change (the controls are disabled).
  std::vector<update::CheckedRow> rows;
  const std::vector<TableRow> all = model_.Rows(kIdUpdateTable);
  for (std::size_t i = 0; i < all.size(); ++i) {
    if (!all[i].checked) continue;
    const int index = static_cast<int>(i);
    const bool job =
        update::SlotTable::InRange(index) && !board_.slots().IsBusy(index);
    update_rows_.Bind(index, all[i].key, job);
    if (job && all[i].address == "USB") usb_job_started_ = true;
    rows.push_back({index, all[i].address});
  }

  const update::UpdateEnvironment environment = JobEnvironment();
  update::JobWorkers workers;
  workers.update = update::MakeUpdateWorker(environment);
  workers.usb_recovery = update::MakeRecoveryUsbWorker(environment);
  // The starter gives the recovery-mode worker to the "USB" row when
  // this query finds the scanner in recovery mode (m_bUsbRecoveryMode).
  workers.query_usb_status = [this] { return QueryUsbRow(); };
  update::StartJobs(board_, rows, workers, LauncherOf(services_));
}

void MainWindow::OnRecoverFw() {
  if (!IsEnabled(kIdRecoverFw)) return;
  RunCommand([this] { RecoverFw(); });
}

void MainWindow::OfferRecoverFw() {
  if (IsBusy()) return;
  model_.SetVisible(kIdRecoverFw, true);
  model_.SetEnabled(kIdRecoverFw, true);
}

void MainWindow::RecoverFw() {
  // The job writes into the "USB" row of the Device Table, wherever it
  // stands; slot 0 is its slot.
  const auto usb = model_.FindAddress(kIdDeviceTable, "USB");
  if (!usb) return;
  const bool job = !board_.slots().IsBusy(0);
  recover_rows_.Bind(0, usb->key, job);
  if (job) usb_job_started_ = true;
  update::UpdateEnvironment environment;
  environment.service_control = services_.service_control;
  update::StartRecoverFw(board_, recover_rows_, environment,
                         LauncherOf(services_));
}

}  // namespace refloq::window
