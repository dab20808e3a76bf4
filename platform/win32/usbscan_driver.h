#pragma once
// The still-image device through the usbscan kernel driver: the device file
// "\\.\usbscan<index>", its two control codes and overlapped-style transfers
// on a synchronous handle.  The Win32 calls go through UsbscanApi so a test
// can play the driver.
#include <windows.h>

#include "platform/still_image_driver.h"

namespace refloq::platform {

inline constexpr DWORD kIoctlGetDeviceDescriptor = 0x80002018;
inline constexpr DWORD kIoctlSendUsbRequest = 0x80002024;

// The driver's request record for IOCTL_SEND_USB_REQUEST (usbscan.h).  20
// bytes in a 32-bit program; the pointer makes it 24 in ours.
struct IoBlockEx {
  unsigned uOffset;  // wValue
  unsigned uLength;  // wLength
  PUCHAR pbyData;
  unsigned uIndex;  // wIndex
  UCHAR bRequest;
  UCHAR bmRequestType;
  UCHAR fTransferDirectionIn;
};

struct UsbscanApi {
  HANDLE(WINAPI* create_file)
  (LPCWSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE);
  BOOL(WINAPI* device_io_control)
  (HANDLE, DWORD, LPVOID, DWORD, LPVOID, DWORD, LPDWORD, LPOVERLAPPED);
  BOOL(WINAPI* write_file)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED);
  BOOL(WINAPI* read_file)(HANDLE, LPVOID, DWORD, LPDWORD, LPOVERLAPPED);
  HANDLE(WINAPI* create_event)(LPSECURITY_ATTRIBUTES, BOOL, BOOL, LPCWSTR);
  DWORD(WINAPI* wait_for_single_object)(HANDLE, DWORD);
  BOOL(WINAPI* get_overlapped_result)(HANDLE, LPOVERLAPPED, LPDWORD, BOOL);
  BOOL(WINAPI* close_handle)(HANDLE);
  DWORD(WINAPI* get_last_error)();
};

// The real kernel32 functions.
const UsbscanApi& SystemUsbscanApi();

class UsbscanDriver final : public StillImageDriver {
 public:
  explicit UsbscanDriver(const UsbscanApi& api = SystemUsbscanApi())
      : api_(api) {}
  std::unique_ptr<StillImageDevice> Open(int index) override;

 private:
  const UsbscanApi& api_;
};

}  // namespace refloq::platform
