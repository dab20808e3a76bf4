#pragma once
// Simulated scanners for the discovery tests: scanner i answers the command
// protocol on 127.0.0.(2 + i):5566 and WS-Discovery through one responder
// shared by the fleet.  Runs only inside a private network namespace.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/socket.h"
#include "sim/device_engine.h"
#include "sim/scanner_state.h"
#include "sim/tcp_front_end.h"
#include "sim/wsd_responder.h"

namespace refloq::discovery::testing {

class SimFleet {
 public:
  struct Scanner {
    std::string address;
    std::unique_ptr<sim::DeviceEngine> engine;
    std::unique_ptr<sim::TcpFrontEnd> front_end;
    int responder_index = 0;
  };

  // count scanners, each answering probes after `behaviour`; the
  // responder joins the group on `interfaces` (empty: every local address).
  SimFleet(int count, const sim::WsdBehaviour& behaviour,
           const std::vector<platform::Ipv4Address>& interfaces = {}) {
    for (int i = 0; i < count; ++i) {
      auto scanner = std::make_unique<Scanner>();
      const auto host = static_cast<std::uint8_t>(2 + i);
      scanner->address = "127.0.0." + std::to_string(host);
      sim::ScannerState state;
      state.uuid_text =
          sim::NumberedUuidText(static_cast<std::uint32_t>(i + 1));
      scanner->engine = std::make_unique<sim::DeviceEngine>(state);
      scanner->front_end = std::make_unique<sim::TcpFrontEnd>(
          *scanner->engine, platform::Ipv4Address{127, 0, 0, host}, 5566);
      EXPECT_TRUE(scanner->front_end->Start()) << scanner->address;
      sim::DeviceEngine* engine = scanner->engine.get();
      scanner->responder_index = responder.AddScanner(
          {scanner->address, [engine] { return engine->State().uuid_text; },
           behaviour});
      scanners.push_back(std::move(scanner));
    }
    EXPECT_TRUE(responder.Start(interfaces));
  }
  ~SimFleet() {
    responder.Stop();
    for (auto& scanner : scanners) scanner->front_end->Stop();
  }

  Scanner& operator[](std::size_t i) { return *scanners[i]; }

  // Makes scanner i refuse connections (its listener closes before this
  // returns).
  void Refuse(std::size_t i) {
    scanners[i]->engine->SetRefuseConnections(true);
  }

  void SetBehaviour(std::size_t i, const sim::WsdBehaviour& behaviour) {
    responder.SetBehaviour(scanners[i]->responder_index, behaviour);
  }

  sim::WsdResponder responder;
  std::vector<std::unique_ptr<Scanner>> scanners;
};

// Answers at once: the tests that need a delay say so.
inline sim::WsdBehaviour Prompt() {
  sim::WsdBehaviour behaviour;
  behaviour.max_delay_ms = 0;
  return behaviour;
}

}  // namespace refloq::discovery::testing
