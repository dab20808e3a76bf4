#pragma once
// The still-image service after USB jobs.  A USB job stops and disables
// the service and starts it again only when it ends well; the window starts
// it again as it closes.  The CLI does the same as a command that ran a USB
// job ends, so a failed job never leaves the service disabled.
namespace refloq::platform {
class ServiceControl;
}

namespace refloq::cli {

// Sets the service to automatic start and starts it (as the window's
// close), over `layer` or, when it is null, the process's service layer;
// true when it runs.
bool RestartStillImageService(platform::ServiceControl* layer);

}  // namespace refloq::cli
