// firmware-bench: how fast the firmware body deciphers next to what
// `openssl speed` reports for AES-256-CBC decryption on this machine, and
// how much memory a load of the embedded image takes at its peak.
//
//   build/linux-release/tools/firmware_bench/firmware-bench [--rounds N]
//                                                           [--seconds S]
//
// Linux only: the peak is the process's VmHWM, reset before the load
// through /proc/self/clear_refs.  Throughput is bytes per second of the
// thread's user CPU time, the divisor `openssl speed` uses by default, so
// other work on the machine does not count against either figure.
#include <sys/resource.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "firmware/aes_decrypt.h"
#include "firmware/firmware_header.h"
#include "firmware/firmware_loader.h"
#include "platform/resources.h"

namespace {

using namespace refloq::firmware;
using Clock = std::chrono::steady_clock;

constexpr double kMiB = 1024.0 * 1024.0;

std::span<const std::uint8_t> EmbeddedContainer() {
  return refloq::platform::FindBinaryResource(
      refloq::platform::kFirmwareContainerResourceId);
}

// A field of /proc/self/status in kB ("VmHWM", "VmRSS"); -1 when absent.
long StatusKb(const std::string& field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field + ":", 0) == 0) {
      return std::stol(line.substr(field.size() + 1));
    }
  }
  return -1;
}

bool ResetPeak() {
  std::ofstream clear("/proc/self/clear_refs");
  clear << "5";
  clear.flush();
  return static_cast<bool>(clear);
}

// openssl speed's AES-256-CBC decryption figure for 16 KiB blocks, in MB/s
// (10^6 bytes); negative when the command fails.
double OpensslSpeed(int seconds) {
  const std::string command =
      "openssl speed -evp aes-256-cbc -decrypt -bytes 16384 -seconds " +
      std::to_string(seconds) + " 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return -1;
  char line[512];
  double kbPerSecond = -1;
  while (std::fgets(line, sizeof line, pipe) != nullptr) {
    const std::string text(line);
    if (text.rfind("AES-256-CBC", 0) == 0 ||
        text.rfind("aes-256-cbc", 0) == 0) {
      kbPerSecond =
          std::stod(text.substr(text.find_last_of(' ', text.size() - 3)));
    }
  }
  pclose(pipe);
  return kbPerSecond < 0 ? -1 : kbPerSecond / 1000.0;
}

// The calling thread's user CPU time in seconds.
double ThreadUserSeconds() {
  rusage usage{};
  getrusage(RUSAGE_THREAD, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec) / 1e6;
}

// Deciphers the body over and over for about `seconds` of user CPU time,
// in MB/s.
double OurSpeed(std::span<const std::uint8_t> body, FirmwareBytes& out,
                int seconds) {
  std::size_t bytes = 0;
  const double start = ThreadUserSeconds();
  double elapsed = 0;
  do {
    const DecipherResult result = AesDecipher(
        body.data(), out.data(), static_cast<std::int32_t>(body.size()));
    if (!result.bClean) return -1;
    bytes += body.size();
    elapsed = ThreadUserSeconds() - start;
  } while (elapsed < seconds);
  return static_cast<double>(bytes) / elapsed / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"Firmware deciphering throughput and load memory."};
  int rounds = 3;
  int seconds = 3;
  app.add_option("--rounds", rounds, "side-by-side rounds")
      ->check(CLI::Range(1, 20));
  app.add_option("--seconds", seconds, "seconds per measurement")
      ->check(CLI::Range(1, 60));
  CLI11_PARSE(app, argc, argv);

  const std::span<const std::uint8_t> container = EmbeddedContainer();
  std::printf("embedded container: %zu bytes\n", container.size());
  if (container.size() <= kHeaderBlockSize) return 1;

  // 1. One cold load of the embedded image, as "Update Start" does it.  The
  // cipher library is set up first so that its own tables do not count.
  std::uint8_t warm[16] = {};
  AesDecipher(warm, warm, sizeof warm);
  const bool peakReset = ResetPeak();
  const long rssBefore = StatusKb("VmRSS");
  const long peakBefore = StatusKb("VmHWM");
  FirmwareSource source;
  source.embeddedContainer = EmbeddedContainer;
  FirmwareImage image;
  const auto loadStart = Clock::now();
  const bool loaded = LoadFirmwareImage(source, image);
  const double loadSeconds =
      std::chrono::duration<double>(Clock::now() - loadStart).count();
  const long peakAfter = StatusKb("VmHWM");
  if (!loaded) {
    std::printf("the embedded image does not load\n");
    return 1;
  }
  const double peakMiB = static_cast<double>(peakAfter - peakBefore) / 1024.0;
  const double imageMiB = static_cast<double>(container.size()) / kMiB;
  std::printf(
      "load: %d bytes of payload in %.1f ms (cold: page faults included)\n"
      "load peak memory: +%.2f MiB over the %.2f MiB before it%s = %.3f x "
      "the %.2f MiB image (target <= 2: the stored image and the payload)\n",
      image.m_nFirmwareSize, loadSeconds * 1e3, peakMiB,
      static_cast<double>(rssBefore) / 1024.0,
      peakReset ? "" : " (peak not reset: figure includes start-up)",
      peakMiB / imageMiB, imageMiB);
  image.Release();

  // 2. Throughput, side by side with openssl speed.
  const std::span<const std::uint8_t> body =
      container.subspan(kHeaderBlockSize);
  FirmwareBytes out(body.size());
  OurSpeed(body, out, 1);  // warm the pages of both buffers
  double bestOpenssl = 0;
  double bestOurs = 0;
  std::printf("%-6s %18s %18s %8s\n", "round", "openssl MB/s", "refloq MB/s",
              "ratio");
  for (int round = 1; round <= rounds; ++round) {
    const double openssl = OpensslSpeed(seconds);
    const double ours = OurSpeed(body, out, seconds);
    if (openssl <= 0 || ours <= 0) {
      std::printf("measurement failed (openssl %.0f, ours %.0f)\n", openssl,
                  ours);
      return 1;
    }
    bestOpenssl = std::max(bestOpenssl, openssl);
    bestOurs = std::max(bestOurs, ours);
    std::printf("%-6d %18.0f %18.0f %7.1f%%\n", round, openssl, ours,
                100.0 * ours / openssl);
  }
  std::printf("best   %18.0f %18.0f %7.1f%% (target >= 90%%)\n", bestOpenssl,
              bestOurs, 100.0 * bestOurs / bestOpenssl);
  return 0;
}
