#include "app/window/command_thread.h"

#include <utility>

namespace refloq::window {

void CommandThread::Start(std::function<void()> body) {
  Wait();
  thread_ = std::thread(std::move(body));
}

void CommandThread::Wait() {
  if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) {
    thread_.join();
  }
}

}  // namespace refloq::window
