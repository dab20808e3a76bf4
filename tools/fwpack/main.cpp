// fwpack: builds and inspects firmware containers with the tool's own key
// and IV.  The build runs "fwpack synth --pack" to make the embedded default.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <string>

#include "firmware/container_writer.h"
#include "firmware/firmware_sum.h"
#include "firmware/synthetic_payload.h"
#include "tools/fwpack/container_report.h"
#include "tools/fwpack/file_io.h"

namespace {

using namespace refloq;

int Fail(const std::string& message) {
  std::fprintf(stderr, "fwpack: %s\n", message.c_str());
  return 1;
}

int WriteOrFail(const std::string& path, std::span<const std::uint8_t> bytes) {
  if (!tools::WriteWholeFile(path, bytes)) {
    return Fail("cannot write " + path);
  }
  return 0;
}

int Pack(const std::string& payloadPath, const std::string& outPath) {
  const auto payload = tools::ReadWholeFile(payloadPath);
  if (!payload) return Fail("cannot read " + payloadPath);
  const auto container = firmware::PackFirmwareContainer(*payload);
  if (container.empty()) {
    return Fail("the payload must hold 1 byte to 2 GiB minus 49 bytes");
  }
  return WriteOrFail(outPath, container);
}

int Sum(const std::string& payloadPath, std::string outPath) {
  auto payload = tools::ReadWholeFile(payloadPath);
  if (!payload) return Fail("cannot read " + payloadPath);
  if (payload->size() < firmware::kSumRegionSize) {
    return Fail("the payload is shorter than the 13 MiB checksum region");
  }
  std::uint8_t* word = payload->data() + firmware::kSumWordOffset;
  for (int i = 0; i < 4; ++i) word[i] = 0;
  firmware::CheckFirmwareSum(*payload);
  std::printf(
      "checksum word: %02x%02x%02x%02x (little-endian %02x %02x %02x %02x)\n",
      word[3], word[2], word[1], word[0], word[0], word[1], word[2], word[3]);
  if (word[2] == 0 && word[3] == 0) {
    std::fprintf(stderr,
                 "fwpack: warning: the checksum word's high half is zero; the "
                 "recovery check will take it for unset\n");
  }
  if (outPath.empty()) outPath = payloadPath;
  return WriteOrFail(outPath, *payload);
}

int Info(const std::string& containerPath) {
  const auto container = tools::ReadWholeFile(containerPath);
  if (!container) return Fail("cannot read " + containerPath);
  const tools::ContainerReport report = tools::DescribeContainer(*container);
  std::fputs(tools::FormatReport(report).c_str(), stdout);
  return report.bLoads ? 0 : 1;
}

int Synth(const std::string& outPath, bool pack) {
  const firmware::FirmwareBytes payload = firmware::MakeSyntheticPayload();
  if (!pack) return WriteOrFail(outPath, payload);
  const auto container = firmware::PackFirmwareContainer(payload);
  if (container.empty()) return Fail("packing failed");
  return WriteOrFail(outPath, container);
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"Builds and inspects Refloq firmware containers."};
  app.require_subcommand(1);

  std::string payloadPath;
  std::string outPath;
  std::string containerPath;
  bool pack = false;

  CLI::App* packCmd =
      app.add_subcommand("pack", "Encipher a payload into a container.");
  packCmd->add_option("payload", payloadPath, "payload file")->required();
  packCmd->add_option("-o,--output", outPath, "container file")->required();

  CLI::App* sumCmd = app.add_subcommand(
      "sum", "Fill in the checksum word of a payload (in place by default).");
  sumCmd->add_option("payload", payloadPath, "payload file")->required();
  sumCmd->add_option("-o,--output", outPath, "write the result here instead");

  CLI::App* infoCmd = app.add_subcommand(
      "info",
      "Report a container's length, header, payload SHA-256 and checksum; "
      "exits 1 when it would not load.");
  infoCmd->add_option("container", containerPath, "container file")->required();

  CLI::App* synthCmd = app.add_subcommand(
      "synth",
      "Write the synthetic 40 MiB payload (valid checksum), or with --pack "
      "its container.");
  synthCmd->add_option("-o,--output", outPath, "output file")->required();
  synthCmd->add_flag("--pack", pack, "write the container instead");

  CLI11_PARSE(app, argc, argv);

  if (*packCmd) return Pack(payloadPath, outPath);
  if (*sumCmd) return Sum(payloadPath, outPath);
  if (*infoCmd) return Info(containerPath);
  return Synth(outPath, pack);
}
