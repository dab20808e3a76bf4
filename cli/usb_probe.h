#pragma once
// The window's status queries of the USB scanner.
namespace refloq::cli {

// The USB status probe of "Update Start": wFWInfo of the USB scanner's
// status reply, or -1 when it did not answer.
int QueryUsbStatus();

}  // namespace refloq::cli
