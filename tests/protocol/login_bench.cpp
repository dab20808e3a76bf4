// Benchmark, not a test: how long one LoginToDevice takes against a
// simulated scanner on loopback, accepted and rejected, and how much of it
// is the key derivation (PBKDF2-HMAC-SHA256, 10000 iterations).
//   refloq_login_bench [rounds]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "link/device_connection.h"
#include "platform/console.h"
#include "platform/socket.h"
#include "protocol/login_salted_text.h"
#include "protocol/login_to_device.h"
#include "sim/device_engine.h"
#include "sim/tcp_front_end.h"

namespace {

using Clock = std::chrono::steady_clock;
using refloq::protocol::LoginPassword;

double MsSince(Clock::time_point start, int rounds) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start)
             .count() /
         rounds;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
  refloq::sim::DeviceEngine engine;
  engine.UpdateState(
      [](refloq::sim::ScannerState& s) { s.login.password = "secret"; });
  refloq::sim::TcpFrontEnd tcp(engine, refloq::platform::kLoopbackAddress, 0);
  if (!tcp.Start()) {
    std::fprintf(stderr, "cannot listen on loopback\n");
    return 1;
  }
  refloq::link::SetScannerTcpPort(tcp.port());
  refloq::platform::SetConsoleCapture([](std::string_view) {});

  const LoginPassword right("secret");
  const LoginPassword wrong("wrong");
  const std::vector<std::uint8_t> plain(64, 'c');

  auto start = Clock::now();
  for (int i = 0; i < rounds; ++i) {
    (void)refloq::protocol::EncryptSaltedText(plain, right);
  }
  const double derive_ms = MsSince(start, rounds);

  start = Clock::now();
  for (int i = 0; i < rounds; ++i) {
    refloq::protocol::LoginContext context;
    if (refloq::protocol::LoginToDevice(context, "127.0.0.1", right) !=
        refloq::protocol::LOGIN_RESULT_OK) {
      std::fprintf(stderr, "login refused\n");
      return 1;
    }
  }
  const double accepted_ms = MsSince(start, rounds);

  start = Clock::now();
  for (int i = 0; i < rounds; ++i) {
    refloq::protocol::LoginContext context;
    (void)refloq::protocol::LoginToDevice(context, "127.0.0.1", wrong);
  }
  const double rejected_ms = MsSince(start, rounds);

  tcp.Stop();
  std::printf("rounds %d\n", rounds);
  std::printf("one salted text (key derivation + AES): %.1f ms\n", derive_ms);
  std::printf("accepted login (5 connections):  %.1f ms\n", accepted_ms);
  std::printf("rejected login (7 connections):  %.1f ms\n", rejected_ms);
  return 0;
}
