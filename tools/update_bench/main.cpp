// update-bench: updates a fleet of simulated network scanners at once with
// the embedded firmware image, as "Update Start" does, and reports
//   - the aggregate throughput of the image phase (from the first
//     "Send fw data start" to the last "Send fw data finish" of the jobs)
//     next to plain loopback TCP throughput measured in the same run (as
//     many streams as scanners, each sending the image once to a sink);
//   - the tool's peak memory while the jobs run, over its memory when they
//     start (the image already loaded);
//   - whether every scanner received the image intact (its SHA-256).
//
//   build/linux-release/tools/update_bench/update-bench [--scanners 50]
//       [--scale 4] [--port 0] [--image-mib 0]
//
// Linux only.  The simulated scanners run in a child process forked before
// any thread starts, so their receive buffers do not count as the tool's
// memory.  Scanner i listens on 127.0.0.(2+i).
#include <sys/wait.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "firmware/firmware_image.h"
#include "firmware/firmware_loader.h"
#include "link/device_connection.h"
#include "link/trace.h"
#include "platform/clock.h"
#include "platform/resources.h"
#include "platform/socket.h"
#include "sim/digest.h"
#include "sim/fleet.h"
#include "sim/update_timeline.h"
#include "texts/string_ids.h"
#include "update/job_board.h"
#include "update/job_starter.h"
#include "update/update_workflow.h"

namespace {

using namespace refloq;
using SteadyClock = std::chrono::steady_clock;

constexpr double kMiB = 1024.0 * 1024.0;

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

std::string ScannerAddress(int i) { return "127.0.0." + std::to_string(2 + i); }

platform::Ipv4Address Loopback(int last) {
  return {127, 0, 0, static_cast<std::uint8_t>(last)};
}

// --- the child: the fleet and the sink --------------------------------------

// Reads and discards until the peer closes.
void Drain(platform::SocketHandle socket) {
  std::vector<std::uint8_t> buffer(1 << 20);
  while (platform::Receive(socket, buffer.data(), buffer.size()) > 0) {
  }
  platform::CloseSocket(socket);
}

int RunFleet(int scanners, std::uint16_t port, int status_fd, int control_fd) {
  sim::Scenario scenario;
  scenario.port = port;
  for (int i = 0; i < scanners; ++i) {
    sim::ScannerSetup setup;
    setup.address = ScannerAddress(i);
    setup.state.uuid_text =
        sim::NumberedUuidText(static_cast<std::uint32_t>(i + 1));
    setup.state.downgrade_permission = 1;
    scenario.scanners.push_back(setup);
  }
  sim::Fleet fleet;
  std::string error;
  if (!platform::StartSockets() || !fleet.Start(scenario, error)) {
    std::fprintf(stderr, "update-bench: %s\n", error.c_str());
    return 1;
  }
  std::vector<std::unique_ptr<sim::UpdateTimeline>> timelines;
  for (int i = 0; i < scanners; ++i) {
    sim::UpdateTimelineOptions options;
    options.progress_step = 25;
    options.done_ms = 2000;
    options.restart_ms = 5000;
    timelines.push_back(std::make_unique<sim::UpdateTimeline>(
        fleet.engine(static_cast<std::size_t>(i)), options));
  }
  // The sink of the plain TCP streams, on 127.0.0.1.
  const platform::SocketHandle listener =
      platform::ListenTcp(Loopback(1), port, 128);
  if (listener == platform::kInvalidSocket) {
    std::fprintf(stderr, "update-bench: cannot listen on 127.0.0.1:%u\n", port);
    return 1;
  }
  std::vector<std::thread> drains;
  std::thread acceptor([&] {
    for (int i = 0; i < scanners; ++i) {
      const platform::SocketHandle socket =
          platform::AcceptTcp(listener, 600000);
      if (socket == platform::kInvalidSocket) break;
      drains.emplace_back(Drain, socket);
    }
  });

  const char ready[] = "ready\n";
  if (write(status_fd, ready, sizeof ready - 1) < 0) return 1;
  char byte;
  while (read(control_fd, &byte, 1) > 0) {
  }
  acceptor.join();
  for (std::thread& drain : drains) drain.join();
  platform::CloseSocket(listener);
  timelines.clear();

  std::ostringstream report;
  for (int i = 0; i < scanners; ++i) {
    const sim::ScannerState state =
        fleet.engine(static_cast<std::size_t>(i)).State();
    report << ScannerAddress(i) << " " << state.images.size();
    for (const sim::ReceivedImage& image : state.images) {
      report << " " << image.length << " " << image.sha256;
    }
    report << "\n";
  }
  const std::string text = report.str();
  if (write(status_fd, text.data(), text.size()) < 0) return 1;
  fleet.Stop();
  return 0;
}

// --- the parent: the tool
// -----------------------------------------------------

// Sends the image once over each of `streams` connections at once.
double PlainTcpSeconds(std::span<const std::uint8_t> image, int streams,
                       std::uint16_t port) {
  const auto start = SteadyClock::now();
  std::vector<std::thread> senders;
  for (int i = 0; i < streams; ++i) {
    senders.emplace_back([&] {
      const platform::SocketHandle socket = platform::CreateTcpSocket();
      platform::StartConnect(socket, Loopback(1), port);
      if (!platform::WaitConnected(socket, 10000)) return;
      std::size_t sent = 0;
      while (sent < image.size()) {
        const std::int64_t count =
            platform::Send(socket, image.data() + sent, image.size() - sent);
        if (count <= 0) break;
        sent += static_cast<std::size_t>(count);
      }
      platform::ShutdownBoth(socket);
      platform::CloseSocket(socket);
    });
  }
  for (std::thread& sender : senders) sender.join();
  return std::chrono::duration<double>(SteadyClock::now() - start).count();
}

// The last report of every row, counted by its text ("Success." or the
// string id of any other).
class FinalTexts final : public update::RowWriter {
 public:
  explicit FinalTexts(int rows) : reports_(static_cast<std::size_t>(rows)) {}
  void WriteRowReport(int row, const update::JobReport& report) override {
    std::lock_guard lock(mutex_);
    reports_[static_cast<std::size_t>(row)] = report;
  }
  std::map<std::string, int> Counts() const {
    const update::UiStringLoader text_of = [](int id) {
      return id == texts::kTextSuccess ? std::string("Success.")
                                       : "text " + std::to_string(id);
    };
    std::lock_guard lock(mutex_);
    std::map<std::string, int> counts;
    for (const update::JobReport& report : reports_) {
      ++counts[update::StatusText(report, text_of)];
    }
    return counts;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<update::JobReport> reports_;
};

class DoneSignal final : public update::ControlsSwitch {
 public:
  void EnableControls() override {
    std::lock_guard lock(mutex_);
    done_ = true;
    cv_.notify_all();
  }
  void Wait() {
    std::unique_lock lock(mutex_);
    cv_.wait(lock, [&] { return done_; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable cv_;
  bool done_ = false;
};

// When each job's image phase started and ended.
class ImagePhases {
 public:
  void OnLine(std::string_view line) {
    if (line != "==>Send fw data start" && line != "==>Send fw data finish") {
      return;
    }
    const auto now = SteadyClock::now();
    std::lock_guard lock(mutex_);
    auto& phase = phases_[std::this_thread::get_id()];
    (line == "==>Send fw data start" ? phase.first : phase.second) = now;
  }
  // Seconds during which at least one job was in its image phase (the
  // jobs start 1000 scaled ms apart, so the gaps between them do not count).
  double BusySeconds() const {
    std::vector<std::pair<SteadyClock::time_point, SteadyClock::time_point>>
        spans;
    {
      std::lock_guard lock(mutex_);
      for (const auto& [thread, phase] : phases_) spans.push_back(phase);
    }
    std::sort(spans.begin(), spans.end());
    double seconds = 0;
    SteadyClock::time_point covered = SteadyClock::time_point::min();
    for (const auto& [start, end] : spans) {
      const auto from = std::max(start, covered);
      if (end > from)
        seconds += std::chrono::duration<double>(end - from).count();
      covered = std::max(covered, end);
    }
    return seconds;
  }
  // The mean of each job's own image phase, in seconds.
  double MeanJobSeconds() const {
    std::lock_guard lock(mutex_);
    double total = 0;
    for (const auto& [thread, phase] : phases_) {
      total +=
          std::chrono::duration<double>(phase.second - phase.first).count();
    }
    return phases_.empty() ? 0 : total / static_cast<double>(phases_.size());
  }

 private:
  mutable std::mutex mutex_;
  std::map<std::thread::id,
           std::pair<SteadyClock::time_point, SteadyClock::time_point>>
      phases_;
};

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"Updates a fleet of simulated scanners and measures it"};
  int scanners = 50;
  double scale = 20.0;
  int port_option = 0;
  int image_mib = 0;
  app.add_option("--scanners", scanners, "simulated scanners (1 to 200)")
      ->check(CLI::Range(1, 200));
  app.add_option("--scale", scale,
                 "time scale; the image phase must fit in 120 s / scale");
  app.add_option("--port", port_option, "scanner port (0: one of our own)");
  app.add_option("--image-mib", image_mib,
                 "a synthetic image of this size instead of the embedded one");
  CLI11_PARSE(app, argc, argv);
  const auto port = static_cast<std::uint16_t>(
      port_option != 0 ? port_option : 20000 + getpid() % 20000);

  int status_pipe[2];
  int control_pipe[2];
  if (pipe(status_pipe) != 0 || pipe(control_pipe) != 0) return 1;
  // Fork before any thread exists.
  const pid_t child = fork();
  if (child < 0) return 1;
  if (child == 0) {
    close(status_pipe[0]);
    close(control_pipe[1]);
    platform::Clock::SetScale(scale);
    _exit(RunFleet(scanners, port, status_pipe[1], control_pipe[0]));
  }
  close(status_pipe[1]);
  close(control_pipe[0]);
  FILE* status = fdopen(status_pipe[0], "r");
  char line[512];
  if (std::fgets(line, sizeof line, status) == nullptr) {
    std::fprintf(stderr, "update-bench: the fleet did not start\n");
    return 1;
  }

  // The image, as "Update Start" loads it.
  firmware::FirmwareImage loaded;
  std::vector<std::uint8_t> synthetic;
  std::span<const std::uint8_t> image;
  if (image_mib > 0) {
    synthetic.resize(static_cast<std::size_t>(image_mib) << 20);
    for (std::size_t i = 0; i < synthetic.size(); ++i) {
      synthetic[i] = static_cast<std::uint8_t>(i * 2654435761u >> 24);
    }
    image = synthetic;
  } else {
    firmware::FirmwareSource source;
    source.embeddedContainer = [] {
      return platform::FindBinaryResource(
          platform::kFirmwareContainerResourceId);
    };
    if (!firmware::LoadFirmwareImage(source, loaded)) {
      std::fprintf(stderr, "update-bench: the embedded image did not load\n");
      return 1;
    }
    image = loaded.Bytes();
  }
  const std::string image_sha = sim::Sha256Hex(image);
  platform::StartSockets();

  std::printf("scanners: %d on 127.0.0.2 ... port %u, time scale %g\n",
              scanners, port, scale);
  std::printf("image: %zu bytes (%s), SHA-256 %s\n", image.size(),
              image_mib > 0 ? "synthetic" : "embedded", image_sha.c_str());

  const double plain_seconds = PlainTcpSeconds(image, scanners, port);
  const double total_mib = static_cast<double>(image.size()) * scanners / kMiB;
  std::printf(
      "plain loopback TCP, %d streams: %.0f MiB in %.2f s = %.0f MiB/s\n",
      scanners, total_mib, plain_seconds, total_mib / plain_seconds);

  platform::Clock::SetScale(scale);
  link::SetScannerTcpPort(port);
  ImagePhases phases;
  link::SetTraceObserver([&](std::string_view text) { phases.OnLine(text); });
  FinalTexts texts(scanners);
  DoneSignal done;
  update::JobBoard board(texts, done);
  update::UpdateEnvironment environment;
  environment.firmware = image;
  update::JobWorkers workers;
  workers.update = update::MakeUpdateWorker(environment);
  std::vector<update::CheckedRow> rows;
  for (int i = 0; i < scanners; ++i) rows.push_back({i, ScannerAddress(i)});

  const long rss_before_kb = StatusKb("VmRSS");
  const bool peak_reset = ResetPeak();
  const auto jobs_start = SteadyClock::now();
  update::StartJobs(board, rows, workers);
  done.Wait();
  board.slots().WaitForWorkers(100, 1000);
  const double jobs_seconds =
      std::chrono::duration<double>(SteadyClock::now() - jobs_start).count();
  const long peak_kb = StatusKb("VmHWM");
  link::SetTraceObserver({});

  const double image_seconds = phases.BusySeconds();
  std::printf(
      "update image phase, %d jobs: %.0f MiB in %.2f s of image phases = %.0f "
      "MiB/s (%.0f%% of plain TCP); one job's image phase %.2f s on average\n",
      scanners, total_mib, image_seconds, total_mib / image_seconds,
      100.0 * plain_seconds / image_seconds, phases.MeanJobSeconds());
  std::printf("all jobs: %.1f s real\n", jobs_seconds);
  for (const auto& [text, count] : texts.Counts()) {
    std::printf("final text \"%s\": %d\n", text.c_str(), count);
  }
  const double image_mib_size = static_cast<double>(image.size()) / kMiB;
  if (peak_reset) {
    const auto before_mib = static_cast<double>(rss_before_kb) / 1024.0;
    const auto peak_mib = static_cast<double>(peak_kb) / 1024.0;
    std::printf(
        "memory: %.1f MiB when the jobs started (image %.1f MiB loaded), "
        "peak %.1f MiB: +%.1f MiB, %.0f KiB per job\n",
        before_mib, image_mib_size, peak_mib, peak_mib - before_mib,
        (peak_mib - before_mib) * 1024.0 / scanners);
  }

  close(control_pipe[1]);  // the fleet reports what it received
  int intact = 0;
  while (std::fgets(line, sizeof line, status) != nullptr) {
    std::istringstream fields(line);
    std::string address, length, sha;
    int count = 0;
    fields >> address >> count >> length >> sha;
    if (count == 1 && length == std::to_string(image.size()) &&
        sha == image_sha) {
      ++intact;
    } else {
      std::printf("%s: %d images, last %s bytes %s\n", address.c_str(), count,
                  length.c_str(), sha.c_str());
    }
  }
  std::printf("images intact: %d of %d\n", intact, scanners);
  int child_status = 0;
  waitpid(child, &child_status, 0);
  return intact == scanners ? 0 : 1;
}
