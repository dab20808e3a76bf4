#pragma once
// The USB vendor requests that lock (1) and unlock (2) the scanner's control
// pipe.  On a connection without a USB device they send nothing and succeed.
#include "link/device_connection.h"

namespace refloq::link {

int LockControlPipe(DeviceConnection& connection);
int UnlockControlPipe(DeviceConnection& connection);

}  // namespace refloq::link
