#pragma once
// One job's connection to its scanner, opened again for each step, and the
// status reply that its status exchanges fill.  Closed, and the job's use
// of the sockets ended, when it goes.
#include "link/device_connection.h"
#include "protocol/device_status.h"
#include "update/job.h"

namespace refloq::update {

class JobConnection {
 public:
  explicit JobConnection(const Job& job);
  ~JobConnection();
  JobConnection(const JobConnection&) = delete;
  JobConnection& operator=(const JobConnection&) = delete;

  link::DeviceConnection& connection() { return connection_; }
  // Opens the connection to the job's address, replacing the last one.
  bool Open();
  bool Close();
  // GET_DEVICE_STATUS on the open connection into the status reply.
  bool ExchangeStatus();
  protocol::sKestoDeviceStatus Status() const;

  protocol::StatusReply status_reply{};

 private:
  const Job& job_;
  link::DeviceConnection connection_;
};

}  // namespace refloq::update
