#include "sim/fleet.h"

#include "link/device_connection.h"

namespace refloq::sim {

Fleet::~Fleet() { Stop(); }

bool Fleet::Start(const Scenario& scenario, std::string& error) {
  for (const ScannerSetup& setup : scenario.scanners) {
    platform::Ipv4Address ip{};
    std::uint8_t bytes[4];
    if (!link::ParseIpv4Address(setup.address, bytes)) {
      error = "\"" + setup.address + "\" is not an IPv4 address";
      Stop();
      return false;
    }
    std::copy(bytes, bytes + 4, ip.begin());
    auto scanner = std::make_unique<Scanner>();
    scanner->address = setup.address;
    scanner->engine = std::make_unique<DeviceEngine>(setup.state);
    for (const Fault& fault : setup.faults) scanner->engine->AddFault(fault);
    scanner->engine->SetRefuseConnections(setup.refuse_connections);
    if (observer_) {
      scanner->engine->SetObserver(
          [observer = observer_, name = setup.address](const WireEntry& entry) {
            observer(name, entry);
          });
    }
    scanner->front_end =
        std::make_unique<TcpFrontEnd>(*scanner->engine, ip, scenario.port);
    if (!scanner->front_end->Start()) {
      error = "cannot listen on " + setup.address + ":" +
              std::to_string(scenario.port);
      Stop();
      return false;
    }
    if (setup.timeline) {
      scanner->timeline =
          std::make_unique<UpdateTimeline>(*scanner->engine, *setup.timeline);
    }
    scanners_.push_back(std::move(scanner));
  }
  return true;
}

void Fleet::Stop() {
  for (auto& scanner : scanners_) {
    scanner->timeline.reset();
    scanner->front_end->Stop();
  }
  scanners_.clear();
}

}  // namespace refloq::sim
