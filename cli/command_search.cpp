// refloq-cli search [ADDRESS]: "Search Network Device" (a WS-Discovery
// search from every local IPv4 address) or, with an address, "Search by IP
// Address".  Each scanner listed is one line; the window's message boxes go
// to standard error.
#include <CLI/CLI.hpp>

#include "cli/command.h"
#include "cli/command_window.h"
#include "cli/commands.h"
#include "cli/exit_code.h"
#include "cli/window_view.h"

namespace refloq::cli {
namespace {

class SearchCommand : public Command {
 public:
  CLI::App* Define(CLI::App& app) override {
    CLI::App* sub = app.add_subcommand(
        "search",
        "find scanners: without ADDRESS a WS-Discovery search of every local "
        "IPv4 network, with one a status query of that address; prints "
        "ADDRESS<TAB>Ready per scanner listed");
    address_option_ = sub->add_option(
        "ADDRESS", address_, "search this address only (no multicast)");
    return sub;
  }

  int Run(Context& context) override {
    const bool by_address = address_option_->count() > 0;
    if (by_address && !CheckAddresses({address_}, context.report)) {
      return kExitUsage;
    }
    WindowView view(context, WindowView::Mode::kSearch, {}, /*live=*/false);
    CommandWindow window(view, context.services);
    view.StartPrinting();
    if (by_address) {
      window->SetAddressField(address_);
      window->OnSearchByAddress();
    } else {
      window->OnSearchNetwork();
    }
    window.Close();
    return view.ListedCount() > 0 ? kExitDone : kExitFailed;
  }

 private:
  CLI::Option* address_option_ = nullptr;
  std::string address_;
};

}  // namespace

std::unique_ptr<Command> MakeSearchCommand() {
  return std::make_unique<SearchCommand>();
}

}  // namespace refloq::cli
