// refloq-cli firmware [--package FILE]: loads and deciphers the firmware
// image as "Update Start" does and prints what the scanners would receive.
#include <CLI/CLI.hpp>

#include "cli/command.h"
#include "cli/commands.h"
#include "cli/exit_code.h"
#include "cli/image_source.h"

namespace refloq::cli {
namespace {

class FirmwareCommand : public Command {
 public:
  CLI::App* Define(CLI::App& app) override {
    CLI::App* sub = app.add_subcommand(
        "firmware",
        "load and decipher the built-in firmware container (or FILE); "
        "prints the payload's length and SHA-256");
    sub->add_option("--package", package_,
                    "a firmware container file to use instead");
    return sub;
  }

  int Run(Context& context) override {
    ImageSource source;
    if (!source.Prepare(context, package_)) return kExitUsage;
    firmware::FirmwareImage image;
    if (!source.Load(context, image)) {
      const int id = ImageSource::FailureTextId(image);
      const std::string text = context.ui(id);
      context.report.Result(
          text, {{"error", image.m_bFirmwareMissing ? "missing" : "corrupted"},
                 {"text", text}});
      return kExitFailed;
    }
    const auto bytes = image.Bytes();
    const std::string sha256 = Sha256Hex(bytes.data(), bytes.size());
    context.report.Result(
        "length " + std::to_string(bytes.size()) + "\nsha256 " + sha256,
        {{"length", bytes.size()}, {"sha256", sha256}});
    return kExitDone;
  }

 private:
  std::string package_;
};

}  // namespace

std::unique_ptr<Command> MakeFirmwareCommand() {
  return std::make_unique<FirmwareCommand>();
}

}  // namespace refloq::cli
