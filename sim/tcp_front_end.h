#pragma once
// The TCP front end: one simulated scanner listening on ADDRESS:PORT
// (5566 unless told otherwise), one thread per accepted connection, each
// running a session of the engine.  While the engine refuses connections
// the listener is closed, so a connect is refused as by an absent host.
#include <atomic>
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/socket.h"
#include "sim/device_engine.h"

namespace refloq::sim {

class TcpFrontEnd {
 public:
  TcpFrontEnd(DeviceEngine& engine, platform::Ipv4Address address,
              std::uint16_t port);
  // Stops.
  ~TcpFrontEnd();
  TcpFrontEnd(const TcpFrontEnd&) = delete;
  TcpFrontEnd& operator=(const TcpFrontEnd&) = delete;

  // Binds and starts accepting.  False when the address and port cannot be
  // bound (another scanner there, or an address the machine lacks).
  bool Start();
  // Closes the listener and every connection and waits for their threads.
  void Stop();

  // The bound port (the chosen one when 0 was asked for).
  std::uint16_t port() const { return port_; }
  // "a.b.c.d".
  std::string AddressText() const;

 private:
  struct Connection {
    std::thread thread;
    std::atomic<bool> done{false};
  };

  void AcceptLoop();
  void Serve(platform::SocketHandle socket);
  // Sleeps ms scaled milliseconds in short slices; false when stopping.
  bool Pause(std::uint32_t ms);
  void ReapFinished(bool all);

  DeviceEngine& engine_;
  const platform::Ipv4Address address_;
  std::uint16_t port_;
  platform::SocketHandle listener_ = platform::kInvalidSocket;
  bool sockets_started_ = false;
  int registration_ = 0;
  std::atomic<bool> stop_{false};
  std::thread acceptor_;
  std::mutex connections_mutex_;
  std::list<std::unique_ptr<Connection>> connections_;
};

}  // namespace refloq::sim
