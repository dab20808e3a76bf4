// Byte layouts of the command block, the status records and the device
// records, the version number and the lock key.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "protocol/command_block.h"
#include "protocol/command_catalogue.h"
#include "protocol/device_records.h"
#include "protocol/device_status.h"
#include "protocol/lock_key.h"
#include "sim/digest.h"

namespace refloq::protocol {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes ToBytes(const CommandBlockBytes& block) {
  return {block.begin(), block.end()};
}

// Signature 0x230, then type, command, parameter and length little-endian.
Bytes Expected(std::uint8_t type, std::uint8_t command, std::uint16_t parameter,
               std::uint32_t length) {
  return {0x30,
          0x02,
          0,
          0,
          type,
          0,
          command,
          0,
          static_cast<std::uint8_t>(parameter),
          static_cast<std::uint8_t>(parameter >> 8),
          0,
          0,
          static_cast<std::uint8_t>(length),
          static_cast<std::uint8_t>(length >> 8),
          static_cast<std::uint8_t>(length >> 16),
          static_cast<std::uint8_t>(length >> 24)};
}

TEST(CommandBlock, EveryCatalogueRowHasItsBytes) {
  struct Row {
    CommandDefinition definition;
    Bytes bytes;
  };
  const Row rows[] = {
      {kGetDeviceStatus, Expected(18, 2, 0, 32)},
      {kGetDeviceStatusExt, Expected(18, 123, 0, 108)},
      {kGetDeviceInfoRecord1, Expected(40, 1, 1, 72)},
      {kGetDeviceInfoRecord4, Expected(40, 1, 4, 88)},
      {kGetUuidFromNvram, Expected(40, 16, 240, 40)},
      {kGetExtendedInfo, Expected(40, 154, 2, 15992)},
      {kFirmwareTransferUpdate.WithLength(0x02A1B2C3),
       Expected(43, 8, 0x0101, 0x02A1B2C3)},
      {kFirmwareTransferRecoveryImage.WithLength(1000),
       Expected(42, 8, 2, 1000)},
      {kFirmwareTransferRecoveryMode.WithLength(1000),
       Expected(42, 8, 4, 1000)},
      {kFirmwareReadinessQuery, Expected(18, 8, 32, 0)},
      {kRsLockScanner, Expected(42, 152, 7, 80)},
      {kRefloqUnlockScanner, Expected(42, 152, 8, 80)},
      {kLockFunction9, Expected(43, 152, 9, 80)},
      {kLockFunction2, Expected(42, 152, 2, 40)},
      {kLoginFunction1, Expected(40, 185, 1, 4)},
      {kLoginFunction2, Expected(40, 185, 2, 132)},
      {kLoginFunction3.WithLength(305), Expected(43, 185, 3, 305)},
      {kRunShellCommand, Expected(43, 230, 0, 256)},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(
        CommandName(row.definition.bCommand, row.definition.wParameter));
    EXPECT_EQ(ToBytes(BuildCommandBlock(row.definition)), row.bytes);
    const sKestoCommandBlock decoded = DecodeCommandBlock(row.bytes.data());
    EXPECT_EQ(decoded.dwSignature, kCommandSignature);
    EXPECT_EQ(decoded.bCommand, row.definition.bCommand);
    EXPECT_EQ(decoded.wParameter, row.definition.wParameter);
    EXPECT_EQ(decoded.bTransferType, row.definition.bTransferType);
    EXPECT_EQ(decoded.dwLength, row.definition.dwLength);
  }
  EXPECT_EQ(CommandCatalogue().size(), std::size(rows));
}

TEST(CommandBlock, BuilderOverwritesEveryByte) {
  CommandBlockBytes block;
  block.fill(0xFF);
  BuildCommandBlock(block, 2, TRANSFER_STATUS, 0, 32);
  EXPECT_EQ(ToBytes(block), Expected(18, 2, 0, 32));
}

TEST(DeviceStatus, FieldsAtTheirOffsets) {
  StatusReply reply{};
  reply.fill(0xEE);  // reserved bytes must not leak into the fields
  reply[0] = 0x01;
  reply[1] = 0x70;
  reply[2] = 0;
  reply[3] = 0;
  reply[4] = 7;
  reply[5] = 0;
  reply[10] = 42;
  reply[12] = 1;
  const sKestoDeviceStatus status = DecodeDeviceStatus(reply.data());
  EXPECT_EQ(status.dwLastErr, LAST_ERR_UPDATE_FAILED);
  EXPECT_EQ(status.wFWInfo, SCANNER_STATUS_UPDATING);
  EXPECT_EQ(status.bProgress, 42);
  EXPECT_EQ(status.bSleep, 1);
  EXPECT_EQ(DecodeDeviceStatus(EncodeDeviceStatus(status).data()), status);
}

TEST(DeviceStatus, ReadyOnlyWithoutErrorAndStateZero) {
  struct Row {
    std::uint16_t fw_info;
    std::uint32_t last_err;
    bool ready;
  };
  const Row rows[] = {{0, 0, true},  {0, 1, false}, {4, 0, false},
                      {6, 0, false}, {7, 0, false}, {0, 0x800B, false},
                      {3, 0, false}};
  for (const Row& row : rows) {
    sKestoDeviceStatus status;
    status.wFWInfo = row.fw_info;
    status.dwLastErr = row.last_err;
    EXPECT_EQ(IsReadyForUpdate(status), row.ready)
        << row.fw_info << " " << row.last_err;
  }
}

TEST(DeviceStatus, ExtendedRecordLoginFields) {
  const sKestoDeviceStatusExt ext{5, 4, 1};
  const StatusExtReply reply = EncodeDeviceStatusExt(ext);
  EXPECT_EQ(reply[28], 5);
  EXPECT_EQ(reply[29], 4);
  EXPECT_EQ(reply[92], 1);
  EXPECT_EQ(DecodeDeviceStatusExt(reply.data()), ext);
}

TEST(DeviceRecords, VersionNumberInSinglePrecision) {
  struct Row {
    std::uint16_t major, minor;
    float number;
  };
  const Row rows[] = {{2, 26, 2.26f},
                      {2, 5, 2.05f},
                      {2, 25, 2.25f},
                      {0, 0, 0.0f},
                      {1, 100, 2.0f}};
  for (const Row& row : rows) {
    EXPECT_EQ(VersionNumber(MakeVersion(row.major, row.minor)), row.number)
        << row.major << "." << row.minor;
  }
  EXPECT_LT(VersionNumber(MakeVersion(2, 25)), 2.26f);
}

TEST(DeviceRecords, RecordFieldsAtTheirOffsets) {
  const InfoRecord1 record1 = MakeInfoRecord1(35);
  EXPECT_EQ(record1[24], 35);
  EXPECT_EQ(InfoRecord1Value(record1), 35u);

  const FirmwareInfo info{MakeVersion(2, 26), 0x18051B0A};
  const FirmwareInfoRecord record4 = MakeFirmwareInfoRecord(info);
  EXPECT_EQ(record4[24], 26);
  EXPECT_EQ(record4[26], 2);
  EXPECT_EQ(record4[72], 0x0A);
  EXPECT_EQ(record4[75], 0x18);
  EXPECT_EQ(DecodeFirmwareInfo(record4).version, info.version);
  EXPECT_EQ(DecodeFirmwareInfo(record4).date_stamp, info.date_stamp);

  const ExtendedInfoRecord extended = MakeExtendedInfoRecord(1);
  EXPECT_EQ(extended.size(), kExtendedInfoSize);
  EXPECT_EQ(extended[15976], 1);
  EXPECT_EQ(DowngradePermission(extended), 1);
  EXPECT_EQ(DowngradePermission(ExtendedInfoRecord(100, 1)), 0);
}

TEST(DeviceRecords, UuidText) {
  struct Row {
    std::string name;
    Bytes data;
    std::string text;
  };
  Bytes forty(40, 'A');
  Bytes first_zero(40, 'B');
  first_zero[0] = 0;
  Bytes braced(40, 0);
  const std::string uuid = "{01234567-89AB-CDEF-0123-456789ABCDEF}";
  std::memcpy(braced.data(), uuid.data(), uuid.size());
  Bytes high(40, 0);
  high[0] = 'x';
  high[1] = 0xE9;
  const Row rows[] = {
      {"no zero byte: all 40", forty, std::string(40, 'A')},
      {"first byte zero: empty", first_zero, ""},
      {"braced uuid", braced, uuid},
      {"a byte above 0x7F as Latin-1", high, "x\xC3\xA9"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(DecodeUuidText(row.data.data()), row.text) << row.name;
  }
  const auto encoded = EncodeUuidText(uuid);
  EXPECT_EQ(Bytes(encoded.begin(), encoded.end()), braced);
}

// The scanner's own command text, pinned by the digest of the 256 bytes on
// the wire (the 44 characters and their zero padding).
TEST(DeviceRecords, ShellCommandText) {
  const ShellCommandData data = MakeShellCommandData();
  const std::string text(kShellCommandText);
  EXPECT_EQ(text.size(), 44u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(data.data())), text);
  for (std::size_t i = text.size(); i < data.size(); ++i) {
    ASSERT_EQ(data[i], 0) << i;
  }
  EXPECT_EQ(sim::Sha256Hex(data),
            "b62ac36e6d8b2c0aee5a77e48218151c58608bad283c4b5e6c3d4cd5a53fb8cf");
}

TEST(LockKey, Utf16LeOfTheUuidTextPaddedTo80) {
  const std::string text = "0123ABCD-4567-89EF-0011-223344556677";
  const LockKey key = MakeLockKey(text);
  for (std::size_t i = 0; i < text.size(); ++i) {
    ASSERT_EQ(key[2 * i], static_cast<std::uint8_t>(text[i]));
    ASSERT_EQ(key[2 * i + 1], 0);
  }
  for (std::size_t i = 72; i < 80; ++i) ASSERT_EQ(key[i], 0);
}

TEST(LockKey, FreshKeysAreFormattedUuidsAndDiffer) {
  const LockKey first = NewLockKey();
  const LockKey second = NewLockKey();
  EXPECT_NE(first, second);
  std::string text;
  for (std::size_t i = 0; i < 72; i += 2) {
    text.push_back(static_cast<char>(first[i]));
  }
  ASSERT_EQ(text.size(), 36u);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (i == 8 || i == 13 || i == 18 || i == 23) {
      EXPECT_EQ(text[i], '-');
    } else {
      EXPECT_TRUE(std::isxdigit(static_cast<unsigned char>(text[i])) &&
                  !std::islower(static_cast<unsigned char>(text[i])))
          << text;
    }
  }
}

}  // namespace
}  // namespace refloq::protocol
