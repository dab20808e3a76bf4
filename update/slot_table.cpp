#include "update/slot_table.h"

#include <algorithm>

#include "platform/clock.h"

namespace refloq::update {

SlotTable::~SlotTable() {
  for (DeviceSlot& slot : slots_) {
    if (slot.hThread.joinable()) slot.hThread.detach();
  }
}

bool SlotTable::TryClaim(int index) {
  if (!InRange(index)) return false;
  DeviceSlot& slot = slots_[static_cast<std::size_t>(index)];
  bool idle = false;
  if (!slot.bBusy.compare_exchange_strong(idle, true)) return false;
  slot.nRow.store(index);
  return true;
}

void SlotTable::Release(int index) {
  if (InRange(index)) slots_[static_cast<std::size_t>(index)].bBusy = false;
}

bool SlotTable::IsBusy(int index) const {
  return InRange(index) && slots_[static_cast<std::size_t>(index)].bBusy;
}

bool SlotTable::AnyBusy() const {
  return std::any_of(slots_.begin(), slots_.end(),
                     [](const DeviceSlot& slot) { return slot.bBusy.load(); });
}

void SlotTable::AttachThread(int index, std::thread thread,
                             std::shared_ptr<const std::atomic<bool>> ended) {
  if (!InRange(index)) {
    if (thread.joinable()) thread.detach();
    return;
  }
  JoinThread(index);
  DeviceSlot& slot = slots_[static_cast<std::size_t>(index)];
  slot.hThread = std::move(thread);
  slot.ended = std::move(ended);
}

void SlotTable::JoinThread(int index) {
  if (!InRange(index)) return;
  DeviceSlot& slot = slots_[static_cast<std::size_t>(index)];
  if (slot.hThread.joinable()) slot.hThread.join();
  slot.ended.reset();
}

bool SlotTable::HasThread(int index) const {
  return InRange(index) &&
         slots_[static_cast<std::size_t>(index)].hThread.joinable();
}

bool SlotTable::WaitForEnd(const std::atomic<bool>& ended,
                           std::uint32_t wait_ms) {
  // Polls in short steps so that a worker that ends early is seen early.
  const std::uint32_t start = platform::Clock::TickCount();
  const std::uint32_t step = std::min<std::uint32_t>(wait_ms, 20);
  while (!ended.load()) {
    if (platform::Clock::HasPassed(start, wait_ms)) return false;
    platform::Clock::Sleep(step);
  }
  return true;
}

int SlotTable::WaitForWorkers(int max_waits, std::uint32_t wait_ms) {
  int left_running = 0;
  for (DeviceSlot& slot : slots_) {
    if (!slot.hThread.joinable()) continue;
    bool ended = slot.ended == nullptr;
    for (int wait = 0; !ended && wait < max_waits; ++wait) {
      ended = WaitForEnd(*slot.ended, wait_ms);
    }
    if (ended) {
      slot.hThread.join();
    } else {
      slot.hThread.detach();
      ++left_running;
    }
    slot.ended.reset();
  }
  return left_running;
}

}  // namespace refloq::update
