// The transport-free engine: phases per transfer type, the state the
// catalogue's commands change, faults per command and phase, and the record.
#include "sim/session.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "protocol/command_catalogue.h"
#include "protocol/device_status.h"
#include "protocol/lock_key.h"
#include "sim/device_engine.h"
#include "sim/digest.h"

namespace refloq::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Kind = SessionAction::Kind;
namespace p = protocol;

// What the scanner did, flattened: "send 32", "pause 500", "close".
struct Outcome {
  std::vector<std::string> steps;
  Bytes sent;  // every byte sent, in order
};

Outcome Drain(Session& session) {
  Outcome outcome;
  while (auto action = session.NextAction()) {
    switch (action->kind) {
      case Kind::kSend:
        outcome.steps.push_back("send " + std::to_string(action->bytes.size()));
        outcome.sent.insert(outcome.sent.end(), action->bytes.begin(),
                            action->bytes.end());
        break;
      case Kind::kPause:
        outcome.steps.push_back("pause " + std::to_string(action->pause_ms));
        break;
      case Kind::kClose:
        outcome.steps.push_back("close");
        break;
    }
  }
  return outcome;
}

Outcome RunCommand(Session& session, const p::CommandDefinition& definition,
                   const Bytes& data = {}) {
  const p::CommandBlockBytes block = p::BuildCommandBlock(definition);
  session.Receive(block);
  Outcome first = Drain(session);
  if (!data.empty()) {
    session.Receive(data);
    Outcome second = Drain(session);
    first.steps.insert(first.steps.end(), second.steps.begin(),
                       second.steps.end());
    first.sent.insert(first.sent.end(), second.sent.begin(), second.sent.end());
  }
  return first;
}

std::vector<std::string> Steps(std::initializer_list<const char*> steps) {
  return {steps.begin(), steps.end()};
}

TEST(Session, PhasesOfEveryCatalogueCommand) {
  struct Row {
    p::CommandDefinition definition;
    std::vector<std::string> steps;
  };
  const Row rows[] = {
      {p::kGetDeviceStatus, Steps({"send 32"})},
      {p::kGetDeviceStatusExt, Steps({"send 108"})},
      {p::kFirmwareReadinessQuery, Steps({"send 32"})},
      {p::kGetDeviceInfoRecord1, Steps({"send 32", "send 72"})},
      {p::kGetDeviceInfoRecord4, Steps({"send 32", "send 88"})},
      {p::kGetUuidFromNvram, Steps({"send 32", "send 40"})},
      {p::kGetExtendedInfo, Steps({"send 32", "send 15992"})},
      {p::kLoginFunction1, Steps({"send 32", "send 4"})},
      {p::kLoginFunction2, Steps({"send 32", "send 132"})},
      {p::kRsLockScanner, Steps({"send 32"})},
      {p::kRefloqUnlockScanner, Steps({"send 32"})},
      {p::kLockFunction2, Steps({"send 32"})},
      {p::kFirmwareTransferRecoveryImage.WithLength(64), Steps({"send 32"})},
      {p::kFirmwareTransferRecoveryMode.WithLength(64), Steps({"send 32"})},
      {p::kLockFunction9, Steps({"send 32"})},
      {p::kLoginFunction3.WithLength(305), Steps({"send 32"})},
      {p::kRunShellCommand, Steps({"send 32"})},
      {p::kFirmwareTransferUpdate.WithLength(64), Steps({"send 32"})},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(
        p::CommandName(row.definition.bCommand, row.definition.wParameter));
    DeviceEngine engine;
    auto session = engine.OpenSession("test");
    const bool writes =
        row.definition.bTransferType == p::TRANSFER_WRITE ||
        row.definition.bTransferType == p::TRANSFER_WRITE_REPLY_AFTER;
    const p::CommandBlockBytes block = p::BuildCommandBlock(row.definition);
    session->Receive(block);
    const Outcome before_data = Drain(*session);
    // Type 43 answers only after the data; the other types at once.
    EXPECT_EQ(before_data.steps.empty(),
              row.definition.bTransferType == p::TRANSFER_WRITE_REPLY_AFTER);
    Outcome all = before_data;
    if (writes) {
      session->Receive(Bytes(row.definition.dwLength, 0x5A));
      const Outcome after = Drain(*session);
      all.steps.insert(all.steps.end(), after.steps.begin(), after.steps.end());
      if (row.definition.bTransferType == p::TRANSFER_WRITE) {
        EXPECT_TRUE(after.steps.empty());
      }
    }
    EXPECT_EQ(all.steps, row.steps);

    const std::vector<WireEntry> record = engine.Record();
    ASSERT_EQ(record.size(), writes ? 2u : 1u);
    EXPECT_EQ(record[0].kind, WireEntry::Kind::kBlock);
    EXPECT_EQ(record[0].bytes, Bytes(block.begin(), block.end()));
    if (writes) {
      EXPECT_EQ(record[1].kind, WireEntry::Kind::kData);
      EXPECT_EQ(record[1].length, row.definition.dwLength);
      EXPECT_TRUE(record[1].complete);
      EXPECT_EQ(record[1].bytes, Bytes(row.definition.dwLength, 0x5A));
    }
  }
}

TEST(Session, BlocksArriveInAnyPieces) {
  DeviceEngine engine;
  auto session = engine.OpenSession("test");
  const p::CommandBlockBytes block = p::BuildCommandBlock(p::kGetDeviceStatus);
  Bytes two_blocks(block.begin(), block.end());
  two_blocks.insert(two_blocks.end(), block.begin(), block.end());
  session->Receive({two_blocks.data(), 10});
  EXPECT_TRUE(Drain(*session).steps.empty());
  session->Receive({two_blocks.data() + 10, 22});
  EXPECT_EQ(Drain(*session).steps, Steps({"send 32", "send 32"}));
}

TEST(Session, RepliesCarryTheScannerState) {
  DeviceEngine engine;
  engine.UpdateState([](ScannerState& state) {
    state.status = {0, p::SCANNER_STATUS_UPDATING, 37, 0};
    state.status_ext = {5, 4, 1};
    state.uuid_text = "{AAAA}";
    state.info_record1_value = 34;
    state.firmware_info = {p::MakeVersion(2, 26), 0x18051B09};
    state.downgrade_permission = 1;
  });
  auto session = engine.OpenSession("test");
  const Outcome status = RunCommand(*session, p::kGetDeviceStatus);
  EXPECT_EQ(p::DecodeDeviceStatus(status.sent.data()).bProgress, 37);
  const Outcome ext = RunCommand(*session, p::kGetDeviceStatusExt);
  EXPECT_EQ(p::DecodeDeviceStatusExt(ext.sent.data()),
            (p::sKestoDeviceStatusExt{5, 4, 1}));
  EXPECT_EQ(p::DecodeDeviceStatus(ext.sent.data()).wFWInfo,
            p::SCANNER_STATUS_UPDATING);
  const Outcome uuid = RunCommand(*session, p::kGetUuidFromNvram);
  EXPECT_EQ(p::DecodeUuidText(uuid.sent.data() + 32), "{AAAA}");
  const Outcome record1 = RunCommand(*session, p::kGetDeviceInfoRecord1);
  EXPECT_EQ(record1.sent[32 + 24], 34);
  const Outcome record4 = RunCommand(*session, p::kGetDeviceInfoRecord4);
  p::FirmwareInfoRecord info{};
  std::copy_n(record4.sent.begin() + 32, info.size(), info.begin());
  EXPECT_EQ(p::DecodeFirmwareInfo(info).date_stamp, 0x18051B09u);
  const Outcome extended = RunCommand(*session, p::kGetExtendedInfo);
  EXPECT_EQ(extended.sent[32 + 15976], 1);
}

TEST(Session, LockKeysShellCommandsAndImagesChangeTheState) {
  DeviceEngine engine;
  auto session = engine.OpenSession("test");
  const p::LockKey key = p::MakeLockKey("KEY-ONE");
  const p::LockKey other = p::MakeLockKey("KEY-TWO");
  const Bytes key_bytes(key.begin(), key.end());
  const Bytes other_bytes(other.begin(), other.end());

  RunCommand(*session, p::kRsLockScanner, key_bytes);
  EXPECT_EQ(engine.State().lock_key, key);
  RunCommand(*session, p::kRsLockScanner, other_bytes);  // held by another key
  RunCommand(*session, p::kRefloqUnlockScanner, other_bytes);
  EXPECT_EQ(engine.State().lock_key, key);
  EXPECT_EQ(engine.State().refused_locks, 1u);
  EXPECT_EQ(engine.State().refused_unlocks, 1u);
  RunCommand(*session, p::kRefloqUnlockScanner, key_bytes);
  EXPECT_FALSE(engine.State().lock_key.has_value());

  const p::ShellCommandData shell = p::MakeShellCommandData();
  RunCommand(*session, p::kRunShellCommand, Bytes(shell.begin(), shell.end()));
  EXPECT_EQ(engine.State().shell_commands,
            std::vector<std::string>{p::kShellCommandText});

  const Bytes image(1000, 0xA5);
  RunCommand(*session, p::kFirmwareTransferUpdate.WithLength(1000), image);
  ASSERT_EQ(engine.State().images.size(), 1u);
  EXPECT_EQ(engine.State().images[0].length, 1000u);
  EXPECT_EQ(engine.State().images[0].wParameter, p::FIRMWARE_TRANSFER_UPDATE);
  EXPECT_EQ(engine.State().images[0].sha256, Sha256Hex(image));
}

TEST(Session, BadInputClosesOrIsRefused) {
  struct Row {
    std::string name;
    p::CommandBlockBytes block;
    std::vector<std::string> steps;
    std::uint32_t last_err;
  };
  p::CommandBlockBytes bad_signature =
      p::BuildCommandBlock(p::kGetDeviceStatus);
  bad_signature[0] = 0x31;
  p::CommandBlockBytes bad_type{};
  p::BuildCommandBlock(bad_type, p::GET_DEVICE_STATUS, 19, 0, 32);
  const Row rows[] = {
      {"bad signature", bad_signature, Steps({"close"}), 0},
      {"unknown transfer type", bad_type, Steps({"close"}), 0},
      {"longer than any data phase",
       p::BuildCommandBlock(p::kFirmwareTransferUpdate.WithLength(0xFFFFFFFF)),
       Steps({"close"}), 0},
      {"unknown command", p::BuildCommandBlock({77, 0, p::TRANSFER_READ, 8}),
       Steps({"send 32", "send 8"}), kErrUnknownCommand},
      {"unknown parameter",
       p::BuildCommandBlock({p::GET_DEVICE_INFO, 9, p::TRANSFER_READ, 8}),
       Steps({"send 32", "send 8"}), kErrUnknownCommand},
  };
  for (const Row& row : rows) {
    DeviceEngine engine;
    auto session = engine.OpenSession("test");
    session->Receive(row.block);
    const Outcome outcome = Drain(*session);
    EXPECT_EQ(outcome.steps, row.steps) << row.name;
    if (!outcome.sent.empty()) {
      EXPECT_EQ(p::DecodeDeviceStatus(outcome.sent.data()).dwLastErr,
                row.last_err)
          << row.name;
    }
  }
}

TEST(Session, FaultsPerCommandAndPhase) {
  struct Row {
    std::string name;
    Fault fault;
    p::CommandDefinition definition;
    std::vector<std::string> steps;
  };
  const auto uuid = p::kGetUuidFromNvram;
  const auto shell = p::kRunShellCommand;
  const auto lock = p::kRsLockScanner;
  const Row rows[] = {
      {"silent reply",
       {p::GET_UUID_FROM_NVRAM, {}, FaultPhase::kReply, FaultAction::kSilent},
       uuid,
       {}},
      {"close before the reply",
       {{}, {}, FaultPhase::kReply, FaultAction::kClose},
       uuid,
       Steps({"close"})},
      {"close mid-reply",
       {{}, {}, FaultPhase::kReply, FaultAction::kClose, 10},
       uuid,
       Steps({"send 10", "close"})},
      {"split reply",
       {{}, {}, FaultPhase::kReply, FaultAction::kSplit, 10, 7},
       uuid,
       Steps({"send 10", "pause 7", "send 22", "send 40"})},
      {"short reply",
       {{}, {}, FaultPhase::kReply, FaultAction::kShort, 20},
       uuid,
       Steps({"send 20", "send 40"})},
      {"stalled reply",
       {{}, {}, FaultPhase::kReply, FaultAction::kStall, 0, 500},
       uuid,
       Steps({"pause 500", "send 32", "send 40"})},
      {"data in cut short",
       {{}, {}, FaultPhase::kDataToHost, FaultAction::kClose, 20},
       uuid,
       Steps({"send 32", "send 20", "close"})},
      {"data in split",
       {{}, {}, FaultPhase::kDataToHost, FaultAction::kSplit},
       uuid,
       Steps({"send 32", "send 20", "pause 10", "send 20"})},
      {"other command unaffected",
       {p::GET_DEVICE_STATUS, {}, FaultPhase::kReply, FaultAction::kSilent},
       uuid,
       Steps({"send 32", "send 40"})},
      {"other parameter unaffected",
       {p::GET_UUID_FROM_NVRAM, 1, FaultPhase::kReply, FaultAction::kSilent},
       uuid,
       Steps({"send 32", "send 40"})},
      {"data out stalled",
       {{}, {}, FaultPhase::kDataFromHost, FaultAction::kStall, 0, 900},
       shell,
       Steps({"pause 900", "send 32"})},
      {"data out cut short",
       {{}, {}, FaultPhase::kDataFromHost, FaultAction::kClose, 100},
       shell,
       Steps({"close"})},
      {"silent after the data",
       {{}, {}, FaultPhase::kDataFromHost, FaultAction::kSilent},
       shell,
       {}},
      {"reply before write data silent",
       {p::LOCK_FUNCTION, p::RS_LOCK_SCANNER, FaultPhase::kReply,
        FaultAction::kSilent},
       lock,
       {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    DeviceEngine engine;
    engine.AddFault(row.fault);
    auto session = engine.OpenSession("test");
    const bool writes = row.definition.bTransferType != p::TRANSFER_READ;
    const Outcome outcome =
        RunCommand(*session, row.definition,
                   writes ? Bytes(row.definition.dwLength, 1) : Bytes{});
    EXPECT_EQ(outcome.steps, row.steps);
  }
}

TEST(Session, ErrorCodeFaultAndFaultCount) {
  DeviceEngine engine;
  engine.AddFault({p::FIRMWARE_TRANSFER,
                   {},
                   FaultPhase::kReply,
                   FaultAction::kErrorCode,
                   0,
                   0,
                   p::LAST_ERR_UPDATE_FAILED,
                   1});
  auto session = engine.OpenSession("test");
  const Bytes image(16, 1);
  const auto definition = p::kFirmwareTransferUpdate.WithLength(16);
  EXPECT_EQ(
      p::DecodeDeviceStatus(RunCommand(*session, definition, image).sent.data())
          .dwLastErr,
      p::LAST_ERR_UPDATE_FAILED);
  // Used up after one reply.
  EXPECT_EQ(
      p::DecodeDeviceStatus(RunCommand(*session, definition, image).sent.data())
          .dwLastErr,
      0u);
}

TEST(Session, DataCutShortIsRecordedAsIncomplete) {
  DeviceEngine engine;
  {
    auto session = engine.OpenSession("test");
    session->Receive(
        p::BuildCommandBlock(p::kFirmwareTransferUpdate.WithLength(100)));
    session->Receive(Bytes(30, 7));
  }  // the host went away
  const std::vector<WireEntry> record = engine.Record();
  ASSERT_EQ(record.size(), 2u);
  EXPECT_FALSE(record[1].complete);
  EXPECT_EQ(record[1].length, 30u);
  EXPECT_EQ(record[1].sha256, Sha256Hex(Bytes(30, 7)));
  EXPECT_TRUE(engine.State().images.empty());
}

TEST(Session, HandlersCanBeReplaced) {
  DeviceEngine engine;
  engine.SetHandler(
      p::GET_DEVICE_STATUS, [](ScannerState& state, const Request&) {
        state.status.bProgress =
            static_cast<std::uint8_t>(state.status.bProgress + 10);
        return Response{};
      });
  auto session = engine.OpenSession("test");
  RunCommand(*session, p::kGetDeviceStatus);
  const Outcome second = RunCommand(*session, p::kGetDeviceStatus);
  EXPECT_EQ(p::DecodeDeviceStatus(second.sent.data()).bProgress, 20);
}

}  // namespace
}  // namespace refloq::sim
