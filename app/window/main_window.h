#pragma once
// The behaviour of the main window (CRefloqDlg) and of its password
// dialog, below any toolkit: the Win32 window and refloq-cli are views of
// it (DialogView) and call its handlers; it owns what the window shows
// (WindowModel), the 200 device slots and the firmware image.
//
// Threads: the handlers are called on the window's thread and return
// quickly.  Those that wait on scanners disable the controls and run on
// the command thread (WaitForCommand waits for it); update jobs run on
// workers of their own.  Both write only into the model, which tells the
// view to redraw without blocking, so no handler ever waits for a worker
// and no worker for the window.  The controls come back when no command
// runs and every job has written its final text.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>

#include "app/window/command_thread.h"
#include "app/window/dialog_view.h"
#include "app/window/job_rows.h"
#include "app/window/window_model.h"
#include "app/window/window_services.h"
#include "discovery/discovery_window.h"
#include "firmware/firmware_image.h"
#include "update/job_board.h"
#include "update/update_environment.h"

namespace refloq::window {

class MainWindow {
 public:
  MainWindow(DialogView& view, WindowServices services);
  // The window's destruction: waits for the command and, as at close, for
  // the workers; starts the still-image service again if a job stopped it
  // and the close did not.
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  WindowModel& model() { return model_; }
  const WindowModel& model() const { return model_; }

  // The window's start: texts, title, columns, the hidden controls, the
  // string test mode, "EnableDowngrade", then the "USB" row after a USB
  // status query (on the command thread).
  void OnInitDialog();
  // The system menu's about item (string 101); empty: none.
  std::string AboutMenuText() const;

  // Enter: the search by address when the field holds an address.
  void OnEnterKey();
  void OnSearchByAddress();
  void OnSearchNetwork();
  // "↓" and "↑".
  void OnMoveDown();
  void OnMoveUp();
  void OnUpdateStart();
  void OnRecoverFw();
  // Shows and enables the hidden "Recover FW" button whatever the "USB"
  // row says, while nothing runs: a view's way to reach it on purpose
  // (refloq-cli recover).  The next enabling of the controls hides it
  // again unless the scanner is in recovery mode.
  void OfferRecoverFw();
  // The user changed the check box of a row.
  void OnDeviceTableChanged(int row, bool checked);
  void OnUpdateTableChanged(int row, bool checked);
  // The user typed into the IP address field ("0.0.0.0" when empty).
  void SetAddressField(std::string_view text);
  // Close, Escape, Alt+F4: false (nothing happens) while a command or a
  // job runs; else the window ends and this returns true.
  bool OnCloseButton();

  // Whether a command or a job runs.
  bool IsBusy() const;
  // Returns when the command thread is idle.
  void WaitForCommand();
  // Returns when no command and no job runs.
  void WaitUntilIdle();
  bool closed() const { return closed_; }

 private:
  class DiscoveryTables;

  void EnableControls();
  void DisableControls();
  void ShowRecoverButton();
  bool IsEnabled(int id) const;
  // Disables the controls and runs `body` on the command thread; the
  // controls come back after it unless a job still runs.
  void RunCommand(std::function<void()> body, bool enable_update_start = true);
  void ShowAllStrings();
  void AddUsbRow();
  // QueryUsbStatus, its text written into the Device Table's "USB" row.
  int QueryUsbRow();
  MessageAnswer Message(int text_id, MessageButtons buttons);
  std::string Ui(int id) const;

  void MoveDown();
  void UpdateStart();
  void RecoverFw();
  update::UpdateEnvironment JobEnvironment() const;
  void RestartStillImageService();

  DialogView& view_;
  WindowServices services_;
  WindowModel model_;
  std::unique_ptr<DiscoveryTables> discovery_;
  JobRows update_rows_;
  JobRows recover_rows_;
  class JobControls;
  std::unique_ptr<JobControls> job_controls_;
  update::JobBoard board_;
  CommandThread command_;

  firmware::FirmwareImage image_;  // m_pFirmwareData and its flags
  std::int32_t enable_downgrade_ = 1;

  mutable std::mutex idle_mutex_;
  std::condition_variable idle_cv_;
  std::atomic<bool> command_running_{false};
  std::atomic<bool> usb_job_started_{false};
  bool service_restarted_ = false;
  bool closed_ = false;
};

}  // namespace refloq::window
