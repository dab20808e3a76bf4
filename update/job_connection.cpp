#include "update/job_connection.h"

#include "link/command_exchange.h"
#include "protocol/command_catalogue.h"

namespace refloq::update {

JobConnection::JobConnection(const Job& job) : job_(job) {
  link::InitConnection(connection_);
}

JobConnection::~JobConnection() {
  link::CloseConnection(connection_);
  link::CleanupSockets(connection_);
}

bool JobConnection::Open() {
  return link::OpenConnection(connection_, job_.address()) != 0;
}

bool JobConnection::Close() { return link::CloseConnection(connection_) != 0; }

bool JobConnection::ExchangeStatus() {
  const protocol::CommandBlockBytes block =
      protocol::BuildCommandBlock(protocol::kGetDeviceStatus);
  return link::ExchangeCommand(connection_, block.data(),
                               status_reply.data()) != 0;
}

protocol::sKestoDeviceStatus JobConnection::Status() const {
  return protocol::DecodeDeviceStatus(status_reply.data());
}

}  // namespace refloq::update
