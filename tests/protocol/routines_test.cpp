// The command routines and RunCommand against the simulated scanner, over
// TCP and over the in-process USB device.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "link/device_connection.h"
#include "protocol/command_catalogue.h"
#include "protocol/command_routines.h"
#include "protocol/lock_key.h"
#include "protocol/run_command.h"
#include "tests/sim/simulated_scanner.h"

namespace refloq::protocol {
namespace {

using Bytes = std::vector<std::uint8_t>;
using sim::Fault;
using sim::FaultAction;
using sim::FaultPhase;
using sim::WireEntry;

// Scaled; the data of a TRANSFER_WRITE command may still be on its way
// when the host's last phase returns.
constexpr std::uint32_t kWait = 100000;

class Routines : public ::testing::TestWithParam<bool> {
 protected:
  bool usb() const { return GetParam(); }
  std::string address() const {
    return usb() ? "USB" : sim::testing::SimulatedScanner::TcpAddress();
  }
  sim::DeviceEngine& engine() { return scanner_.engine(); }

  sim::testing::SimulatedScanner scanner_;
};

INSTANTIATE_TEST_SUITE_P(Transports, Routines, ::testing::Values(false, true),
                         [](const auto& param_info) {
                           return param_info.param ? "Usb" : "Tcp";
                         });

// Every catalogue command runs through its phases on one connection, the
// scanner receives the block byte for byte, and then the data.
TEST_P(Routines, EveryCatalogueCommandInItsPhaseOrder) {
  link::DeviceConnection connection;
  link::InitConnection(connection);
  link::ConnectionScope scope(connection);
  ASSERT_EQ(link::OpenConnection(connection, address()), 1);
  for (const CatalogueEntry& entry : CommandCatalogue()) {
    SCOPED_TRACE(std::string(entry.name));
    CommandDefinition definition = entry.definition;
    if (definition == kFirmwareTransferUpdate ||
        definition == kFirmwareTransferRecoveryImage ||
        definition == kFirmwareTransferRecoveryMode ||
        definition == kLoginFunction3) {
      definition = definition.WithLength(305);
    }
    engine().ClearRecord();
    const CommandBlockBytes block = BuildCommandBlock(definition);
    Bytes reply(108), data_in(definition.dwLength),
        data_out(definition.dwLength, 0x3C);
    ASSERT_TRUE(RunCommand(connection, block,
                           {reply.data(), data_out.data(), data_in.data()}));

    const bool writes = definition.bTransferType == TRANSFER_WRITE ||
                        definition.bTransferType == TRANSFER_WRITE_REPLY_AFTER;
    ASSERT_TRUE(engine().WaitForRecord(writes ? 2 : 1, kWait));
    const std::vector<WireEntry> record = engine().Record();
    ASSERT_EQ(record.size(), writes ? 2u : 1u);
    EXPECT_EQ(record[0].bytes, Bytes(block.begin(), block.end()));
    if (writes) {
      EXPECT_EQ(record[1].bytes, data_out);
      EXPECT_TRUE(record[1].complete);
    }
  }
}

TEST_P(Routines, RecordsArriveIntoTheCallersBuffers) {
  engine().UpdateState([](sim::ScannerState& state) {
    state.firmware_info = {MakeVersion(2, 26), 0x18051B0A};
    state.downgrade_permission = 1;
    state.uuid_text = "{0123ABCD-0000-4000-8000-00000000CAFE}";
  });
  FirmwareInfoRecord info{};
  ASSERT_TRUE(ReadFirmwareInfo(address(), info));
  EXPECT_EQ(VersionNumber(DecodeFirmwareInfo(info).version), 2.26f);
  EXPECT_EQ(DecodeFirmwareInfo(info).date_stamp, 0x18051B0Au);

  ExtendedInfoRecord extended = NewExtendedInfoRecord();
  ASSERT_TRUE(ReadExtendedInfo(address(), extended));
  EXPECT_EQ(DowngradePermission(extended), 1);

  EXPECT_EQ(ReadDeviceUuid(address()),
            "{0123ABCD-0000-4000-8000-00000000CAFE}");
}

TEST_P(Routines, StatusRepliesAreDecodedNotJudged) {
  struct Row {
    sKestoDeviceStatus status;
    bool ready;
  };
  const Row rows[] = {
      {{0, SCANNER_STATUS_READY, 0, 0}, true},
      {{1, SCANNER_STATUS_READY, 0, 0}, false},
      {{0, SCANNER_STATUS_UPDATING, 37, 0}, false},
      {{0, SCANNER_STATUS_READY, 0, 1}, true},
  };
  for (const Row& row : rows) {
    engine().UpdateState(
        [&](sim::ScannerState& state) { state.status = row.status; });
    StatusReply reply{};
    ASSERT_TRUE(ReadDeviceStatus(address(), reply));
    EXPECT_EQ(DecodeDeviceStatus(reply.data()), row.status);
    EXPECT_EQ(IsReadyForUpdate(DecodeDeviceStatus(reply.data())), row.ready);
  }
  engine().UpdateState([](sim::ScannerState& state) {
    state.status_ext = {5, 4, 1};
  });
  StatusExtReply ext{};
  ASSERT_TRUE(ReadDeviceStatusExt(address(), ext));
  EXPECT_EQ(DecodeDeviceStatusExt(ext.data()),
            (sKestoDeviceStatusExt{5, 4, 1}));
}

TEST_P(Routines, ShellCommandTextReachesTheScanner) {
  ASSERT_TRUE(SendShellCommand(address()));
  EXPECT_EQ(engine().State().shell_commands,
            std::vector<std::string>{kShellCommandText});
  const std::vector<WireEntry> record = engine().Record();
  ASSERT_EQ(record.size(), 2u);
  const ShellCommandData expected = MakeShellCommandData();
  EXPECT_EQ(record[1].bytes, Bytes(expected.begin(), expected.end()));
}

// The unlock carries the very key the lock sent.
TEST_P(Routines, LockAndUnlockWithOneKey) {
  const LockKey key = NewLockKey();
  ASSERT_TRUE(RunCommandOnce(address(), BuildCommandBlock(kRsLockScanner),
                             {.data_out = key.data()}));
  ASSERT_TRUE(engine().WaitForRecord(2, kWait));
  EXPECT_EQ(engine().State().lock_key, key);
  ASSERT_TRUE(RunCommandOnce(address(), BuildCommandBlock(kRefloqUnlockScanner),
                             {.data_out = key.data()}));
  ASSERT_TRUE(engine().WaitForRecord(4, kWait));
  EXPECT_FALSE(engine().State().lock_key.has_value());
  EXPECT_EQ(engine().State().refused_unlocks, 0u);
  const std::vector<WireEntry> record = engine().Record();
  ASSERT_EQ(record.size(), 4u);
  EXPECT_EQ(record[1].bytes, record[3].bytes);
}

TEST_P(Routines, UsbInfoRecordThreshold) {
  struct Row {
    std::uint32_t value;
    bool passes;
  };
  for (const Row& row : {Row{34, false}, Row{35, true}, Row{36, true}}) {
    engine().UpdateState([&](sim::ScannerState& state) {
      state.info_record1_value = row.value;
    });
    EXPECT_EQ(CheckUsbInfoRecord(), row.passes) << row.value;
  }
  // Always over USB, whatever the caller works with.
  const std::vector<WireEntry> record = engine().Record();
  ASSERT_FALSE(record.empty());
  EXPECT_EQ(record.back().transport, "usb");

  scanner_.usb().Attach(0, nullptr);
  EXPECT_FALSE(CheckUsbInfoRecord());
}

// UUID texts over TCP, where a phase cut short ends in a time-out.
TEST(RoutinesTcp, UuidTexts) {
  struct Row {
    std::string name;
    std::string uuid;
    std::optional<Fault> fault;
    std::string expected;
  };
  const std::string forty(40, '7');
  const Row rows[] = {
      {"braced",
       "{5CA77E55-0000-4000-8000-000000000009}",
       {},
       "{5CA77E55-0000-4000-8000-000000000009}"},
      {"40 bytes without a zero", forty + "extra", {}, forty},
      {"first byte zero", "", {}, ""},
      {"data phase cut short", forty,
       Fault{{}, {}, FaultPhase::kDataToHost, FaultAction::kClose, 20}, ""},
      {"data phase short then silent", forty,
       Fault{{}, {}, FaultPhase::kDataToHost, FaultAction::kShort, 39}, ""},
      {"reply closed midway", forty,
       Fault{{}, {}, FaultPhase::kReply, FaultAction::kClose, 16}, ""},
      {"reply in two pieces", forty,
       Fault{{}, {}, FaultPhase::kReply, FaultAction::kSplit, 5}, forty},
  };
  for (const Row& row : rows) {
    sim::testing::SimulatedScanner scanner;
    scanner.engine().UpdateState(
        [&](sim::ScannerState& state) { state.uuid_text = row.uuid; });
    if (row.fault) scanner.engine().AddFault(*row.fault);
    EXPECT_EQ(ReadDeviceUuid(scanner.TcpAddress()), row.expected) << row.name;
  }
}

// Each failing phase fails the routine; none retries.
TEST(RoutinesTcp, FailuresOfAnyPhase) {
  struct Row {
    std::string name;
    std::optional<Fault> fault;
    bool refuse;
    bool result;
  };
  const Row rows[] = {
      {"connection refused", {}, true, false},
      {"silent after the block",
       Fault{{}, {}, FaultPhase::kReply, FaultAction::kSilent}, false, false},
      {"reply short",
       Fault{{}, {}, FaultPhase::kReply, FaultAction::kShort, 31}, false,
       false},
      {"data out cut short",
       Fault{{}, {}, FaultPhase::kDataFromHost, FaultAction::kClose, 100},
       false, false},
      {"data out stalled within the limit",
       Fault{{}, {}, FaultPhase::kDataFromHost, FaultAction::kStall, 0, 5000},
       false, true},
      {"reply after the data stalled past the limit",
       Fault{{}, {}, FaultPhase::kReply, FaultAction::kStall, 0, 200000}, false,
       false},
      {"reply carries an error code",
       Fault{{}, {}, FaultPhase::kReply, FaultAction::kErrorCode, 0, 0, 0x7001},
       false, true},
  };
  for (const Row& row : rows) {
    sim::testing::SimulatedScanner scanner;
    scanner.engine().SetRefuseConnections(row.refuse);
    if (row.fault) scanner.engine().AddFault(*row.fault);
    EXPECT_EQ(SendShellCommand(scanner.TcpAddress()), row.result) << row.name;
    if (row.refuse) {
      StatusReply reply{};
      EXPECT_FALSE(ReadDeviceStatus(scanner.TcpAddress(), reply));
      EXPECT_EQ(ReadDeviceUuid(scanner.TcpAddress()), "");
    }
  }
}

// Over USB a fixed reply must come in one read.
TEST(RoutinesUsb, SplitReplyFails) {
  sim::testing::SimulatedScanner scanner;
  scanner.engine().AddFault({GET_DEVICE_STATUS,
                             {},
                             FaultPhase::kReply,
                             FaultAction::kSplit,
                             10,
                             0,
                             0,
                             /*count=*/1});
  StatusReply reply{};
  EXPECT_FALSE(ReadDeviceStatus("USB", reply));
  EXPECT_TRUE(ReadDeviceStatus("USB", reply));  // the fault was used up
}

}  // namespace
}  // namespace refloq::protocol
