#include "sim/session.h"

#include <algorithm>

#include "protocol/byte_order.h"
#include "protocol/command_catalogue.h"
#include "protocol/device_status.h"
#include "sim/device_engine.h"
#include "sim/digest.h"

namespace refloq::sim {
namespace {

// Pause between the two pieces of a split phase unless the fault names one.
constexpr std::uint32_t kSplitPauseMs = 10;

std::vector<std::uint8_t> Fit(std::vector<std::uint8_t> bytes,
                              std::uint32_t size) {
  bytes.resize(size, 0);
  return bytes;
}

SessionAction SendAction(std::vector<std::uint8_t> bytes) {
  return {SessionAction::Kind::kSend, std::move(bytes), 0};
}

SessionAction PauseAction(std::uint32_t ms) {
  return {SessionAction::Kind::kPause, {}, ms};
}

}  // namespace

Session::Session(DeviceEngine& engine, std::uint64_t id, std::string transport)
    : engine_(engine), id_(id), transport_(std::move(transport)) {}

Session::~Session() {
  if (!data_recorded_) RecordData(false);
}

void Session::Receive(std::span<const std::uint8_t> bytes) {
  std::size_t at = 0;
  while (at < bytes.size()) {
    const std::size_t left = bytes.size() - at;
    if (stage_ == Stage::kBlock) {
      const std::size_t take = std::min<std::size_t>(
          protocol::kCommandBlockSize - block_bytes_.size(), left);
      block_bytes_.insert(block_bytes_.end(), bytes.begin() + at,
                          bytes.begin() + at + take);
      at += take;
      if (block_bytes_.size() == protocol::kCommandBlockSize) OnBlock();
    } else if (stage_ == Stage::kDataFromHost) {
      std::uint32_t stop = data_length_;
      if (close_data_at_) stop = std::min(stop, *close_data_at_);
      const std::size_t take = std::min<std::size_t>(stop - data_.size(), left);
      data_.insert(data_.end(), bytes.begin() + at, bytes.begin() + at + take);
      at += take;
      if (close_data_at_ && data_.size() == *close_data_at_) {
        RecordData(data_.size() == data_length_);
        QueueClose();
      } else if (data_.size() == data_length_) {
        OnDataComplete();
      }
    } else {
      return;  // silent or closed: the rest is swallowed
    }
  }
}

std::optional<SessionAction> Session::NextAction() {
  if (actions_.empty()) return std::nullopt;
  SessionAction action = std::move(actions_.front());
  actions_.pop_front();
  return action;
}

void Session::OnBlock() {
  block_ = protocol::DecodeCommandBlock(block_bytes_.data());
  WireEntry entry;
  entry.kind = WireEntry::Kind::kBlock;
  entry.session = id_;
  entry.transport = transport_;
  entry.bytes = block_bytes_;
  entry.block = block_;
  engine_.Append(std::move(entry));
  block_bytes_.clear();

  // A block without the signature or with an unknown transfer type leaves
  // the framing unknown: the scanner drops the connection.
  if (block_.dwSignature != protocol::kCommandSignature ||
      !protocol::IsKnownTransferType(block_.bTransferType)) {
    QueueClose();
    return;
  }
  const bool has_data_phase = block_.bTransferType != protocol::TRANSFER_STATUS;
  if (has_data_phase && block_.dwLength > kMaxDataLength) {
    QueueClose();
    return;
  }

  switch (block_.bTransferType) {
    case protocol::TRANSFER_STATUS: {
      const std::uint32_t size = protocol::StatusReplySize(block_.bCommand);
      Emit(Fit(engine_.Dispatch({block_, {}}).reply, size), FaultPhase::kReply);
      break;
    }
    case protocol::TRANSFER_READ: {
      Response response = engine_.Dispatch({block_, {}});
      Emit(Fit(std::move(response.reply), protocol::kStatusReplySize),
           FaultPhase::kReply);
      if (stage_ != Stage::kBlock) break;
      if (response.withhold_data) {
        QueueClose();
        break;
      }
      Emit(Fit(std::move(response.data), block_.dwLength),
           FaultPhase::kDataToHost);
      break;
    }
    case protocol::TRANSFER_WRITE:
      Emit(engine_.StatusReply(protocol::kStatusReplySize), FaultPhase::kReply);
      if (stage_ != Stage::kBlock) break;
      [[fallthrough]];
    case protocol::TRANSFER_WRITE_REPLY_AFTER: {
      data_.clear();
      data_length_ = block_.dwLength;
      close_data_at_.reset();
      stage_ = Stage::kDataFromHost;
      data_recorded_ = false;
      if (auto fault = engine_.TakeFault(block_, FaultPhase::kDataFromHost)) {
        switch (fault->action) {
          case FaultAction::kStall:
            actions_.push_back(PauseAction(fault->stall_ms));
            break;
          case FaultAction::kClose:
            close_data_at_ = std::min(fault->bytes, data_length_);
            break;
          case FaultAction::kSilent:
            data_recorded_ = true;
            stage_ = Stage::kMute;
            return;
          default:
            break;
        }
      }
      if (close_data_at_ && *close_data_at_ == 0) {
        RecordData(data_length_ == 0);
        QueueClose();
      } else if (data_length_ == 0) {
        OnDataComplete();
      }
      break;
    }
  }
}

void Session::OnDataComplete() {
  stage_ = Stage::kBlock;
  // The handler runs first, so that once the record shows the data its
  // effect is in the state (nothing follows a TRANSFER_WRITE's data).
  Response response = engine_.Dispatch({block_, data_});
  RecordData(true);
  data_.clear();
  data_.shrink_to_fit();
  if (block_.bTransferType == protocol::TRANSFER_WRITE_REPLY_AFTER) {
    Emit(Fit(std::move(response.reply), protocol::kStatusReplySize),
         FaultPhase::kReply);
  }
}

void Session::Emit(std::vector<std::uint8_t> bytes, FaultPhase phase) {
  const std::optional<Fault> fault = engine_.TakeFault(block_, phase);
  if (!fault) {
    actions_.push_back(SendAction(std::move(bytes)));
    return;
  }
  const std::size_t first = std::min<std::size_t>(fault->bytes, bytes.size());
  switch (fault->action) {
    case FaultAction::kSilent:
      stage_ = Stage::kMute;
      return;
    case FaultAction::kClose:
      if (first > 0) {
        actions_.push_back(SendAction({bytes.begin(), bytes.begin() + first}));
      }
      QueueClose();
      return;
    case FaultAction::kSplit: {
      const std::size_t cut = fault->bytes ? first : bytes.size() / 2;
      actions_.push_back(SendAction({bytes.begin(), bytes.begin() + cut}));
      actions_.push_back(
          PauseAction(fault->stall_ms ? fault->stall_ms : kSplitPauseMs));
      if (cut < bytes.size()) {
        actions_.push_back(SendAction({bytes.begin() + cut, bytes.end()}));
      }
      return;
    }
    case FaultAction::kShort:
      if (first > 0) {
        actions_.push_back(SendAction({bytes.begin(), bytes.begin() + first}));
      }
      return;
    case FaultAction::kStall:
      actions_.push_back(PauseAction(fault->stall_ms));
      actions_.push_back(SendAction(std::move(bytes)));
      return;
    case FaultAction::kErrorCode:
      if (phase == FaultPhase::kReply && bytes.size() >= 4) {
        protocol::StoreLe32(bytes.data(), fault->error_code);
      }
      actions_.push_back(SendAction(std::move(bytes)));
      return;
  }
}

void Session::QueueClose() {
  actions_.push_back({SessionAction::Kind::kClose, {}, 0});
  closed_ = true;
  stage_ = Stage::kClosed;
}

void Session::RecordData(bool complete) {
  data_recorded_ = true;
  WireEntry entry;
  entry.kind = WireEntry::Kind::kData;
  entry.session = id_;
  entry.transport = transport_;
  entry.block = block_;
  entry.length = static_cast<std::uint32_t>(data_.size());
  entry.complete = complete;
  entry.sha256 = Sha256Hex(data_);
  entry.bytes.assign(
      data_.begin(),
      data_.begin() + std::min<std::size_t>(data_.size(), kKeptDataBytes));
  engine_.Append(std::move(entry));
}

}  // namespace refloq::sim
