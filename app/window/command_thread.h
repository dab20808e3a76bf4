#pragma once
// The window logic's one thread for the handlers that wait on scanners
// (searches, status queries, logins, the pauses of "Update Start"), so the
// window's thread keeps painting while they run.  One command at a time:
// the controls are disabled while it runs, so no second one can start.
#include <functional>
#include <thread>

namespace refloq::window {

class CommandThread {
 public:
  CommandThread() = default;
  CommandThread(const CommandThread&) = delete;
  CommandThread& operator=(const CommandThread&) = delete;
  ~CommandThread() { Wait(); }

  // Runs `body` on a new thread, after the previous command has ended.
  void Start(std::function<void()> body);
  // Returns when the last command started has ended.
  void Wait();

 private:
  std::thread thread_;
};

}  // namespace refloq::window
