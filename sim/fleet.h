#pragma once
// A fleet of simulated scanners on TCP, one engine and one listener per
// address, as scanner-sim runs them; a scanner whose setup has a timeline
// runs it from the start.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "sim/device_engine.h"
#include "sim/scenario.h"
#include "sim/tcp_front_end.h"
#include "sim/update_timeline.h"

namespace refloq::sim {

class Fleet {
 public:
  using Observer =
      std::function<void(const std::string& address, const WireEntry& entry)>;

  ~Fleet();
  // Sees every entry of every scanner's record.  Set it before Start.
  void SetObserver(Observer observer) { observer_ = std::move(observer); }
  // Starts every scanner of the scenario; on the first that cannot listen,
  // stops the others and returns false with `error` naming it.
  bool Start(const Scenario& scenario, std::string& error);
  void Stop();

  std::size_t size() const { return scanners_.size(); }
  DeviceEngine& engine(std::size_t i) { return *scanners_[i]->engine; }
  const std::string& address(std::size_t i) const {
    return scanners_[i]->address;
  }
  std::uint16_t port(std::size_t i) const {
    return scanners_[i]->front_end->port();
  }

 private:
  struct Scanner {
    std::string address;
    std::unique_ptr<DeviceEngine> engine;
    std::unique_ptr<TcpFrontEnd> front_end;
    std::unique_ptr<UpdateTimeline> timeline;  // ends before the engine
  };
  Observer observer_;
  std::vector<std::unique_ptr<Scanner>> scanners_;
};

}  // namespace refloq::sim
