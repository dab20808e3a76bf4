#pragma once
// The 200 device slots: slot i belongs to Update Table row i and holds the
// worker thread of that row's job and its busy flag.  The busy flags are
// atomic: the starter sets them on the window's thread, workers clear them
// on their own, and the controls test all of them from either.
#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>

namespace refloq::update {

inline constexpr int kSlotCount = 200;

class SlotTable {
 public:
  SlotTable() = default;
  SlotTable(const SlotTable&) = delete;
  SlotTable& operator=(const SlotTable&) = delete;
  // Leaves every thread still running after WaitForWorkers detached.
  ~SlotTable();

  static bool InRange(int index) { return index >= 0 && index < kSlotCount; }

  // Marks slot `index` busy for row `index`; false when it is out of range
  // or already busy.
  bool TryClaim(int index);
  // Marks the slot idle (no effect out of range).
  void Release(int index);
  bool IsBusy(int index) const;
  // True when any of the 200 slots is busy.
  bool AnyBusy() const;

  // The rest is for the window's thread only.

  // Joins the worker still held by the slot, if any.  The starter calls it
  // before it starts the slot's next worker, so a row's old job (which may
  // free its slot just before its final text) can never write into the row
  // of its new one.
  void JoinThread(int index);
  // Stores the worker started for the slot.  `ended` is set by the worker
  // as its last act.
  void AttachThread(int index, std::thread thread,
                    std::shared_ptr<const std::atomic<bool>> ended);
  bool HasThread(int index) const;
  // For every slot with a thread: waits for it to end in waits of
  // `wait_ms`, at most `max_waits` of them, then joins it, or detaches it
  // when it still runs.  Returns the number of threads left running.
  int WaitForWorkers(int max_waits, std::uint32_t wait_ms);

 private:
  struct DeviceSlot {
    std::thread hThread;
    std::shared_ptr<const std::atomic<bool>> ended;
    std::atomic<std::int32_t> nRow{0};
    std::atomic<bool> bBusy{false};
  };
  // Waits up to wait_ms for the flag; true when it was set.
  static bool WaitForEnd(const std::atomic<bool>& ended, std::uint32_t wait_ms);

  std::array<DeviceSlot, kSlotCount> slots_;
};

}  // namespace refloq::update
