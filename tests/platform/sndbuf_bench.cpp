// Measures what SO_SNDBUF does to one large send over loopback on Linux:
// the firmware image leaves in one SendData of tens of megabytes.
//   build/linux-release/tests/platform/refloq_sndbuf_bench [MiB]
// Prints, for each requested buffer size, the size the kernel reports back
// and the time and rate of the transfer.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

namespace {

double RunOnce(int requested, std::size_t bytes, int* readback) {
  const int listener = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(listener, reinterpret_cast<sockaddr*>(&local), sizeof local);
  listen(listener, 1);
  socklen_t size = sizeof local;
  getsockname(listener, reinterpret_cast<sockaddr*>(&local), &size);

  std::thread sink([listener, bytes] {
    const int peer = accept(listener, nullptr, nullptr);
    std::vector<char> buffer(1 << 16);
    std::size_t total = 0;
    while (total < bytes) {
      const ssize_t got = recv(peer, buffer.data(), buffer.size(), 0);
      if (got <= 0) break;
      total += static_cast<std::size_t>(got);
    }
    close(peer);
  });

  const int client = socket(AF_INET, SOCK_STREAM, 0);
  connect(client, reinterpret_cast<sockaddr*>(&local), sizeof local);
  const int one = 1;
  setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  if (requested >= 0) {
    setsockopt(client, SOL_SOCKET, SO_SNDBUF, &requested, sizeof requested);
  }
  size = sizeof *readback;
  getsockopt(client, SOL_SOCKET, SO_SNDBUF, readback, &size);

  std::vector<char> data(bytes, 'x');
  const auto start = std::chrono::steady_clock::now();
  std::size_t sent = 0;
  while (sent < bytes) {
    const ssize_t n = send(client, data.data() + sent, bytes - sent, 0);
    if (n <= 0) break;
    sent += static_cast<std::size_t>(n);
  }
  shutdown(client, SHUT_WR);
  sink.join();
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start)
          .count();
  close(client);
  close(listener);
  return seconds;
}

}  // namespace

int main(int argc, char** argv) {
  const std::size_t mib = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 40;
  const std::size_t bytes = mib << 20;
  std::printf("%-14s %-10s %-10s %s\n", "SO_SNDBUF", "readback", "seconds",
              "MiB/s");
  for (const int requested : {-1, 0, 4096, 65536, 1 << 20}) {
    int readback = 0;
    const double seconds = RunOnce(requested, bytes, &readback);
    char label[32];
    if (requested < 0) {
      std::snprintf(label, sizeof label, "(not set)");
    } else {
      std::snprintf(label, sizeof label, "%d", requested);
    }
    std::printf("%-14s %-10d %-10.3f %.1f\n", label, readback, seconds,
                static_cast<double>(mib) / seconds);
  }
  return 0;
}
