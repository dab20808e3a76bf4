// scanner-sim: a fleet of simulated scanners on loopback.
//
//   scanner-sim                              one scanner on 127.0.0.2:5566
//   scanner-sim --count 5                    127.0.0.2 ... 127.0.0.6
//   scanner-sim --address 127.0.0.9 --fault 16/reply/close/10
//   scanner-sim --scenario fleet.json
//   scanner-sim --password secret --lockout 5
//   scanner-sim --count 3 --wsd --wsd-interface 10.200.1.1
//   scanner-sim --scenario fleet.json --expect-sha256 HEX
//
// Prints every block and data phase it receives; stops on SIGINT or
// SIGTERM.  With --expect-sha256 each scanner then says whether the images
// it received have that SHA-256, and the exit code is 3 unless all did.
// REFLOQ_TIME_SCALE compresses its pauses like the tool's.
#include <CLI/CLI.hpp>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "link/device_connection.h"
#include "platform/clock.h"
#include "protocol/device_records.h"
#include "sim/fleet.h"
#include "sim/image_check.h"
#include "sim/scenario.h"
#include "sim/wsd_responder.h"

namespace {

using refloq::sim::Fault;
using refloq::sim::ScannerSetup;
using refloq::sim::Scenario;

volatile std::sig_atomic_t g_stop = 0;

extern "C" void OnSignal(int) { g_stop = 1; }

struct Options {
  std::vector<std::string> addresses;
  unsigned count = 0;
  std::string first = "127.0.0.2";
  std::uint16_t port = refloq::link::kScannerTcpPort;
  std::string scenario;
  std::vector<std::string> faults;
  std::optional<std::string> password;
  unsigned lockout_limit = 0;
  bool quiet = false;
  bool wsd = false;
  std::uint32_t wsd_delay_ms = 500;
  std::vector<std::string> wsd_interfaces;
  std::string expect_sha256;
};

// Exit code when a scanner received no image or another one.
constexpr int kExitImageMismatch = 3;

// 64 hexadecimal characters, in lower case as the record writes them.
bool NormaliseSha256(std::string& text) {
  if (text.size() != 64) return false;
  for (char& c : text) {
    if (c >= 'A' && c <= 'F') c = static_cast<char>(c - 'A' + 'a');
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  }
  return true;
}

// Each scanner's verdict on the images it received; true when all are
// intact.
bool ReportImages(refloq::sim::Fleet& fleet, const std::string& expected) {
  bool all_intact = true;
  for (std::size_t i = 0; i < fleet.size(); ++i) {
    const auto verdict = refloq::sim::JudgeReceivedImages(
        fleet.address(i), fleet.engine(i).State(), expected);
    std::printf("scanner-sim: %s\n", verdict.text.c_str());
    all_intact = all_intact && verdict.intact;
  }
  std::fflush(stdout);
  return all_intact;
}

// The WS-Discovery responder for every scanner of the fleet, on the
// interfaces asked for (loopback when none is named).
bool StartResponder(const Options& options, refloq::sim::Fleet& fleet,
                    refloq::sim::WsdResponder& responder, std::string& error) {
  std::vector<refloq::platform::Ipv4Address> interfaces;
  for (const std::string& text : options.wsd_interfaces) {
    std::uint8_t bytes[4];
    if (!refloq::link::ParseIpv4Address(text, bytes)) {
      error = "--wsd-interface \"" + text + "\" is not an IPv4 address";
      return false;
    }
    interfaces.push_back({bytes[0], bytes[1], bytes[2], bytes[3]});
  }
  if (interfaces.empty())
    interfaces.push_back(refloq::platform::kLoopbackAddress);
  refloq::sim::WsdBehaviour behaviour;
  behaviour.max_delay_ms = options.wsd_delay_ms;
  for (std::size_t i = 0; i < fleet.size(); ++i) {
    refloq::sim::DeviceEngine* engine = &fleet.engine(i);
    responder.AddScanner({fleet.address(i),
                          [engine] { return engine->State().uuid_text; },
                          behaviour});
  }
  if (!responder.Start(interfaces)) {
    error = "cannot answer WS-Discovery on UDP port 3702";
    return false;
  }
  return true;
}

// The fleet the command line asks for.
bool BuildScenario(const Options& options, Scenario& scenario,
                   std::string& error) {
  if (!options.scenario.empty()) {
    auto loaded = refloq::sim::LoadScenarioFile(options.scenario, error);
    if (!loaded) return false;
    scenario = std::move(*loaded);
  } else {
    scenario.port = options.port;
    std::vector<std::string> addresses = options.addresses;
    std::uint8_t first[4];
    if (!refloq::link::ParseIpv4Address(options.first, first)) {
      error = "--first \"" + options.first + "\" is not an IPv4 address";
      return false;
    }
    for (unsigned i = 0; i < options.count; ++i) {
      const unsigned last = first[3] + i;
      if (last > 254) {
        error = "--count runs past the end of the address block";
        return false;
      }
      addresses.push_back(
          std::to_string(first[0]) + "." + std::to_string(first[1]) + "." +
          std::to_string(first[2]) + "." + std::to_string(last));
    }
    if (addresses.empty()) addresses.push_back(options.first);
    std::uint32_t n = 1;
    for (const std::string& address : addresses) {
      ScannerSetup setup;
      setup.address = address;
      setup.state.uuid_text = refloq::sim::NumberedUuidText(n++);
      scenario.scanners.push_back(std::move(setup));
    }
  }
  for (const std::string& text : options.faults) {
    const auto fault = refloq::sim::ParseFaultText(text, error);
    if (!fault) return false;
    for (ScannerSetup& setup : scenario.scanners) {
      setup.faults.push_back(*fault);
    }
  }
  for (ScannerSetup& setup : scenario.scanners) {
    if (options.password) setup.state.login.password = options.password;
    if (options.lockout_limit > 0) {
      setup.state.status_ext.bLoginLockout = 1;
      setup.state.status_ext.bLoginAttemptLimit =
          static_cast<std::uint8_t>(options.lockout_limit);
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  refloq::platform::Clock::SetScaleFromEnvironment();

  Options options;
  CLI::App app{"Simulated QLM-8800Z scanners on TCP (command port 5566)",
               "scanner-sim"};
  app.add_option("--address", options.addresses,
                 "A scanner at this address (repeatable)");
  app.add_option("--count", options.count,
                 "Scanners on consecutive addresses from --first")
      ->check(CLI::Range(1u, 253u));
  app.add_option("--first", options.first,
                 "First address for --count (default 127.0.0.2)");
  app.add_option("--port", options.port, "TCP port (default 5566)");
  app.add_option("--scenario", options.scenario,
                 "JSON file describing the fleet (see sim/README.md)")
      ->check(CLI::ExistingFile);
  app.add_option("--fault", options.faults,
                 "COMMAND/PHASE/ACTION[/NUMBER] for every scanner, e.g. "
                 "16/reply/close/10, any/data-out/stall/5000");
  app.add_option("--password", options.password,
                 "Login password of every scanner (none: any answer passes)");
  app.add_option("--lockout", options.lockout_limit,
                 "Lock the login of every scanner after this many failures")
      ->check(CLI::Range(1u, 255u));
  app.add_flag("--quiet", options.quiet, "Do not print what arrives");
  app.add_flag("--wsd", options.wsd,
               "Also answer WS-Discovery Probes (UDP 3702) for every scanner");
  app.add_option("--wsd-delay", options.wsd_delay_ms,
                 "Longest random delay of an answer in ms (default 500)");
  app.add_option("--wsd-interface", options.wsd_interfaces,
                 "Join the multicast group on this local address "
                 "(repeatable; default loopback only)");
  app.add_option("--expect-sha256", options.expect_sha256,
                 "On stopping, check every scanner's images against this "
                 "SHA-256 (exit code 3 unless each received it intact)");
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    return app.exit(e);
  }
  if (!options.expect_sha256.empty() &&
      !NormaliseSha256(options.expect_sha256)) {
    std::fprintf(stderr,
                 "scanner-sim: --expect-sha256 needs 64 hexadecimal "
                 "characters\n");
    return 2;
  }

  Scenario scenario;
  std::string error;
  if (!BuildScenario(options, scenario, error)) {
    std::fprintf(stderr, "scanner-sim: %s\n", error.c_str());
    return 2;
  }

  std::mutex print_mutex;
  refloq::sim::Fleet fleet;
  if (!options.quiet) {
    fleet.SetObserver([&print_mutex](const std::string& address,
                                     const refloq::sim::WireEntry& entry) {
      const std::string line = refloq::sim::DescribeWireEntry(entry);
      std::lock_guard lock(print_mutex);
      std::printf("%s %s\n", address.c_str(), line.c_str());
      std::fflush(stdout);
    });
  }
  if (!fleet.Start(scenario, error)) {
    std::fprintf(stderr, "scanner-sim: %s\n", error.c_str());
    return 1;
  }
  refloq::sim::WsdResponder responder;
  if (options.wsd && !StartResponder(options, fleet, responder, error)) {
    fleet.Stop();
    std::fprintf(stderr, "scanner-sim: %s\n", error.c_str());
    return 1;
  }

  {
    std::lock_guard lock(print_mutex);
    for (std::size_t i = 0; i < fleet.size(); ++i) {
      const auto state = fleet.engine(i).State();
      std::printf("scanner-sim: %s:%u uuid %s\n", fleet.address(i).c_str(),
                  static_cast<unsigned>(fleet.port(i)),
                  state.uuid_text.c_str());
    }
    std::printf("scanner-sim: ready (time scale %g)\n",
                refloq::platform::Clock::Scale());
    std::fflush(stdout);
  }

  std::signal(SIGINT, OnSignal);
  std::signal(SIGTERM, OnSignal);
  while (!g_stop) std::this_thread::sleep_for(std::chrono::milliseconds(50));

  responder.Stop();
  bool intact = true;
  {
    std::lock_guard lock(print_mutex);
    if (!options.expect_sha256.empty()) {
      intact = ReportImages(fleet, options.expect_sha256);
    }
  }
  fleet.Stop();
  std::printf("scanner-sim: stopped\n");
  return intact ? 0 : kExitImageMismatch;
}
