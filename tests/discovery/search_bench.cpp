// Benchmark: multicast searches against fleets of 2, 5 and 20 simulated
// scanners that answer after their default random delay (0 to 500 ms),
// twenty searches per fleet, in real time.  Prints, per search, how many
// scanners it listed and how long it took, and a summary per fleet.  Runs
// only inside a private network namespace with one local address:
//
//   scripts/netns-run --veth 1 --
//       build/linux-release/tests/discovery/refloq_discovery_bench [count]
// (one line; count is the searches per fleet, 20 by default)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "discovery/network_search.h"
#include "fake_window.h"
#include "sim_fleet.h"

namespace refloq::discovery {
namespace {

struct Result {
  int listed = 0;
  double seconds = 0;
};

Result OneSearch() {
  testing::FakeWindow fake;
  const auto start = std::chrono::steady_clock::now();
  SearchNetworkDevices(fake.window);
  const std::chrono::duration<double> took =
      std::chrono::steady_clock::now() - start;
  return {fake.device_table.RowCount(), took.count()};
}

// Returns the number of searches that missed a scanner.
int RunFleet(int size, int searches) {
  testing::SimFleet fleet(size, sim::WsdBehaviour{});
  std::vector<Result> results;
  for (int i = 0; i < searches; ++i) {
    results.push_back(OneSearch());
    std::printf("fleet %2d  search %2d  found %2d  %.3f s\n", size, i + 1,
                results.back().listed, results.back().seconds);
  }
  int missed = 0;
  double total = 0, slowest = 0, fastest = 1e9;
  for (const Result& r : results) {
    missed += r.listed == size ? 0 : 1;
    total += r.seconds;
    slowest = std::max(slowest, r.seconds);
    fastest = std::min(fastest, r.seconds);
  }
  std::printf(
      "fleet %2d: %d/%d searches found all %d; time min %.3f s, mean %.3f s, "
      "max %.3f s\n\n",
      size, searches - missed, searches, size, fastest, total / searches,
      slowest);
  return missed;
}

}  // namespace
}  // namespace refloq::discovery

int main(int argc, char** argv) {
  const char* inside = std::getenv("REFLOQ_NETNS");
  if (inside == nullptr || std::string(inside) != "1") {
    std::fprintf(stderr,
                 "run through scripts/netns-run --veth 1: it multicasts\n");
    return 2;
  }
  const int searches = argc > 1 ? std::atoi(argv[1]) : 20;
  int missed = 0;
  for (const int size : {2, 5, 20}) {
    missed += refloq::discovery::RunFleet(size, searches);
  }
  return missed == 0 ? 0 : 1;
}
