#include "app/window/window_services.h"

#include "app/language.h"
#include "app/settings.h"
#include "app/version_text.h"
#include "firmware/firmware_loader.h"
#include "platform/module_path.h"
#include "platform/resources.h"

namespace refloq::window {

WindowServices WindowServicesOfProgram() {
  WindowServices services;
  services.ui = [](int id) {
    return app::LoadUiString(static_cast<std::uint16_t>(id));
  };
  services.version_text = app::GetFileVersionText(platform::ModuleFilePath());
  services.enable_downgrade = [] { return app::Settings().EnableDowngrade(); };
  services.show_all_string = [] { return app::Settings().ShowAllString(); };
  services.load_firmware = [](firmware::FirmwareImage& image) {
    const app::Settings settings;
    firmware::FirmwareSource source;
    source.nLoadFw = settings.LoadFw();
    source.strFwVer = settings.FwVersion();
    source.strProgramFolder = platform::ModuleFolder();
    source.embeddedContainer = [] {
      return platform::FindBinaryResource(
          platform::kFirmwareContainerResourceId);
    };
    return firmware::LoadFirmwareImage(source, image);
  };
  return services;
}

}  // namespace refloq::window
