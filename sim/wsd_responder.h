#pragma once
// The simulated scanners' WS-Discovery front end: one UDP socket on port
// 3702, member of 239.255.255.250 on the chosen interfaces, answering every
// Probe for each scanner registered with it as a scanner of the model
// would: after a random delay of up to 500 ms (APP_MAX_DELAY), to the
// Probe's source address and port, with a ProbeMatch that relates to the
// Probe's MessageID, names the model in ModuleName, carries XAddrs
// "http://ADDRESS:80/" and the scanner's UUID without braces as its
// endpoint address.  Behaviours on demand per scanner.
//
// The delays follow platform::Clock, so a compressed clock compresses them.
// All members are thread-safe.
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/socket.h"

namespace refloq::sim {

struct WsdBehaviour {
  std::string model = "QLM-8800Z";
  // Longest random delay before an answer; 0 answers at once.
  std::uint32_t max_delay_ms = 500;
  // When set, every answer waits exactly this long instead.
  std::optional<std::uint32_t> fixed_delay_ms;
  bool silent = false;
  // Copies of each answer (duplicates arrive back to back).
  int copies = 1;
  // Answer as if to another probe (a RelatesTo that is not the Probe's).
  bool other_message_id = false;
  // Extra datagrams sent just before the answer: a ProbeMatch cut short in
  // the middle of its tags, and one padded past 2500 bytes.
  bool malformed_before = false;
  bool oversized_before = false;
};

struct WsdScanner {
  // The address announced in XAddrs; answers are sent from it when it is
  // a local address.
  std::string address;
  // The scanner's UUID text, braced as the scanner reports it (read at
  // every answer, so a device engine's UUID can stand behind it).
  std::function<std::string()> uuid_text;
  WsdBehaviour behaviour;
};

// A Probe as the responder saw it.
struct ReceivedProbe {
  platform::Ipv4Address from{};
  std::uint16_t from_port = 0;
  std::string message_id;
};

class WsdResponder {
 public:
  WsdResponder();
  ~WsdResponder();
  WsdResponder(const WsdResponder&) = delete;
  WsdResponder& operator=(const WsdResponder&) = delete;

  // Registers a scanner; returns its index.  May be called while running.
  int AddScanner(WsdScanner scanner);
  void SetBehaviour(int index, const WsdBehaviour& behaviour);
  // A new address, as after a restart that moved the scanner.
  void SetAddress(int index, const std::string& address);

  // Opens the socket and joins the group on each of `interfaces` (empty:
  // every local IPv4 address that is up, loopback included), then answers
  // on a thread of its own.  False when the socket cannot be set up.
  bool Start(const std::vector<platform::Ipv4Address>& interfaces = {});
  void Stop();

  std::vector<ReceivedProbe> Probes() const;
  void ClearProbes();

 private:
  struct Pending {
    std::uint32_t due = 0;
    std::string source;
    platform::Ipv4Address to{};
    std::uint16_t to_port = 0;
    std::string payload;
  };

  void Run();
  void Answer(const ReceivedProbe& probe);
  void SendDue(bool all);

  mutable std::mutex mutex_;
  std::vector<WsdScanner> scanners_;
  std::vector<ReceivedProbe> probes_;
  std::vector<Pending> pending_;
  platform::SocketHandle socket_ = platform::kInvalidSocket;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace refloq::sim
