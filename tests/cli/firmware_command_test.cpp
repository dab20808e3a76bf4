// `firmware`: the payload's length and SHA-256, the window's failure texts
// with exit code 1, and an unreadable package file as a usage error.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "cli/exit_code.h"
#include "cli/image_source.h"
#include "cli_runner.h"
#include "firmware/container_writer.h"
#include "platform/resources.h"

namespace refloq::cli {
namespace {

using testing::RunCli;

std::vector<std::uint8_t> Payload() {
  std::vector<std::uint8_t> payload(4096 + 7);
  for (std::size_t i = 0; i < payload.size(); ++i) {
    payload[i] = static_cast<std::uint8_t>(i * 31 + 5);
  }
  return payload;
}

class FirmwareCommand : public ::testing::Test {
 protected:
  FirmwareCommand()
      : payload_(Payload()),
        container_(firmware::PackFirmwareContainer(payload_)),
        folder_(std::filesystem::temp_directory_path() /
                ("refloq-cli-fw-" +
                 std::to_string(
                     ::testing::UnitTest::GetInstance()->random_seed()))) {
    std::filesystem::create_directories(folder_);
  }
  ~FirmwareCommand() override { std::filesystem::remove_all(folder_); }

  std::string WriteFile(const std::string& name,
                        const std::vector<std::uint8_t>& bytes) {
    const auto path = folder_ / name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path.string();
  }

  std::string Sha256() const {
    return Sha256Hex(payload_.data(), payload_.size());
  }

  std::vector<std::uint8_t> Corrupted() const {
    auto bytes = container_;
    bytes.back() ^= 0x5A;  // the final block's padding no longer checks
    return bytes;
  }

  const std::vector<std::uint8_t> payload_;
  const std::vector<std::uint8_t> container_;
  const std::filesystem::path folder_;
};

TEST_F(FirmwareCommand, PrintsTheLengthAndDigestOfTheBuiltInImage) {
  platform::ScopedBinaryResource resource(
      platform::kFirmwareContainerResourceId, container_);
  const auto text = RunCli({"firmware"});
  EXPECT_EQ(text.code, kExitDone) << text.err;
  EXPECT_EQ(text.out, "length 4103\nsha256 " + Sha256() + "\n");

  const auto json = RunCli({"--json", "firmware"});
  EXPECT_EQ(json.code, kExitDone);
  const auto object = nlohmann::json::parse(json.out);
  EXPECT_EQ(object.at("length"), 4103);
  EXPECT_EQ(object.at("sha256"), Sha256());
}

TEST_F(FirmwareCommand, FailuresShowTheWindowsTexts) {
  const auto corrupted_bytes = Corrupted();
  const std::string good = WriteFile("good.bin", container_);
  const std::string bad = WriteFile("bad.bin", corrupted_bytes);
  const std::string empty = WriteFile("empty.bin", {});
  const std::string missing = (folder_ / "none.bin").string();
  const std::vector<std::uint8_t> no_container;
  const struct {
    const char* name;
    std::vector<std::string> args;
    const std::vector<std::uint8_t>* resource;
    int code;
    std::string out;
  } cases[] = {
      {"no built-in container",
       {"firmware"},
       &no_container,
       kExitFailed,
       "FW File is Missing, FW Update Aborted.\n"},
      {"corrupted built-in container",
       {"firmware"},
       &corrupted_bytes,
       kExitFailed,
       "Firmware in Firmware Update Tool is corrupted.\n"},
      {"package file",
       {"firmware", "--package", good},
       &no_container,
       kExitDone,
       "length 4103\nsha256 " + Sha256() + "\n"},
      {"corrupted package file",
       {"firmware", "--package", bad},
       &container_,
       kExitFailed,
       "Firmware in Firmware Update Tool is corrupted.\n"},
      {"empty package file",
       {"firmware", "--package", empty},
       &container_,
       kExitFailed,
       "FW File is Missing, FW Update Aborted.\n"},
      {"package file that is not there",
       {"firmware", "--package", missing},
       &container_,
       kExitUsage,
       ""},
      {"package file that is a folder",
       {"firmware", "--package", folder_.string()},
       &container_,
       kExitUsage,
       ""},
  };
  for (const auto& c : cases) {
    platform::ScopedBinaryResource resource(
        platform::kFirmwareContainerResourceId, *c.resource);
    const auto result = RunCli(c.args);
    EXPECT_EQ(result.code, c.code) << c.name << ": " << result.err;
    EXPECT_EQ(result.out, c.out) << c.name;
  }
}

}  // namespace
}  // namespace refloq::cli
