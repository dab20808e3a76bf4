// The usbscan driver against a played kernel32: the device path, the
// control codes and records, and how each transfer's end is read.
#include "platform/win32/usbscan_driver.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace refloq::platform {
namespace {

// What the played driver does and what it saw.  One test at a time.
struct Played {
  std::set<int> present;  // still-image indices that open
  std::vector<std::wstring> paths;
  DWORD create_access = 0, create_share = 0, create_disposition = 0,
        create_flags = 0;
  std::vector<DWORD> codes;
  std::vector<DWORD> in_sizes;
  std::vector<DWORD> out_sizes;
  IoBlockEx block{};
  BOOL ioctl_ok = TRUE;
  BOOL write_ok = TRUE;
  DWORD write_count = ~0u;  // ~0: the length asked
  BOOL read_ok = TRUE;
  DWORD read_count = 0;
  DWORD last_error = 0;
  bool event_ok = true;
  DWORD wait_result = WAIT_OBJECT_0;
  std::vector<DWORD> waits;
  BOOL overlapped_ok = TRUE;
  bool overlapped_had_event = false;
  int events_open = 0;
  std::vector<HANDLE> closed;
};
Played* g = nullptr;

HANDLE FakeHandle(int index) {
  return reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(0x1000 + index));
}
const HANDLE kEvent = reinterpret_cast<HANDLE>(std::uintptr_t{0x77});

HANDLE WINAPI PlayCreateFile(LPCWSTR path, DWORD access, DWORD share,
                             LPSECURITY_ATTRIBUTES, DWORD disposition,
                             DWORD flags, HANDLE) {
  g->paths.emplace_back(path);
  g->create_access = access;
  g->create_share = share;
  g->create_disposition = disposition;
  g->create_flags = flags;
  int index = -1;
  if (std::swscanf(path, L"\\\\.\\usbscan%d", &index) == 1 &&
      g->present.count(index)) {
    return FakeHandle(index);
  }
  return INVALID_HANDLE_VALUE;
}

BOOL WINAPI PlayIoctl(HANDLE, DWORD code, LPVOID in, DWORD in_size, LPVOID out,
                      DWORD out_size, LPDWORD returned, LPOVERLAPPED) {
  g->codes.push_back(code);
  g->in_sizes.push_back(in_size);
  g->out_sizes.push_back(out_size);
  if (!g->ioctl_ok) return FALSE;
  if (code == kIoctlGetDeviceDescriptor) {
    EXPECT_EQ(in, out);  // one buffer for both
    const std::uint16_t fields[4] = {0x2F4E, 0x8800, 0x0102, 0x0409};
    std::memcpy(out, fields, sizeof fields);
    *returned = sizeof fields;
  } else if (code == kIoctlSendUsbRequest) {
    std::memcpy(&g->block, in, sizeof g->block);
    EXPECT_EQ(g->block.pbyData, out);
    static_cast<UCHAR*>(out)[4] = 0x5A;
    *returned = out_size;
  }
  return TRUE;
}

BOOL WINAPI PlayWrite(HANDLE, LPCVOID, DWORD length, LPDWORD written,
                      LPOVERLAPPED overlapped) {
  g->overlapped_had_event = overlapped && overlapped->hEvent == kEvent;
  if (!g->write_ok) return FALSE;
  *written = g->write_count == ~0u ? length : g->write_count;
  return TRUE;
}

BOOL WINAPI PlayRead(HANDLE, LPVOID buffer, DWORD length, LPDWORD count,
                     LPOVERLAPPED overlapped) {
  g->overlapped_had_event = overlapped && overlapped->hEvent == kEvent;
  if (!g->read_ok) return FALSE;
  std::memset(buffer, 0x42, length);
  *count = g->read_count;
  return TRUE;
}

HANDLE WINAPI PlayCreateEvent(LPSECURITY_ATTRIBUTES, BOOL manual, BOOL initial,
                              LPCWSTR name) {
  EXPECT_FALSE(manual);
  EXPECT_FALSE(initial);
  EXPECT_EQ(name, nullptr);
  if (!g->event_ok) return nullptr;
  ++g->events_open;
  return kEvent;
}

DWORD WINAPI PlayWait(HANDLE, DWORD ms) {
  g->waits.push_back(ms);
  return g->wait_result;
}

BOOL WINAPI PlayOverlapped(HANDLE, LPOVERLAPPED, LPDWORD count, BOOL wait) {
  EXPECT_TRUE(wait);
  if (g->overlapped_ok) *count = g->write_count == ~0u ? 16 : g->write_count;
  return g->overlapped_ok;
}

BOOL WINAPI PlayClose(HANDLE handle) {
  if (handle == kEvent) {
    --g->events_open;
  } else {
    g->closed.push_back(handle);
  }
  return TRUE;
}

DWORD WINAPI PlayLastError() { return g->last_error; }

const UsbscanApi kPlayed = {PlayCreateFile, PlayIoctl,       PlayWrite,
                            PlayRead,       PlayCreateEvent, PlayWait,
                            PlayOverlapped, PlayClose,       PlayLastError};

class Usbscan : public ::testing::Test {
 protected:
  void SetUp() override {
    g = &played_;
    played_.present = {3};
  }
  void TearDown() override {
    EXPECT_EQ(played_.events_open, 0);  // every event closed
    g = nullptr;
  }
  Played played_;
  UsbscanDriver driver_{kPlayed};
};

TEST_F(Usbscan, OpensTheDevicePathOfTheIndexAndClosesItWithTheDevice) {
  EXPECT_EQ(driver_.Open(0), nullptr);
  {
    auto device = driver_.Open(3);
    ASSERT_NE(device, nullptr);
    EXPECT_TRUE(played_.closed.empty());
  }
  EXPECT_EQ(played_.paths, (std::vector<std::wstring>{L"\\\\.\\usbscan0",
                                                      L"\\\\.\\usbscan3"}));
  EXPECT_EQ(played_.create_access, DWORD{GENERIC_READ | GENERIC_WRITE});
  EXPECT_EQ(played_.create_share, DWORD{FILE_SHARE_READ | FILE_SHARE_WRITE});
  EXPECT_EQ(played_.create_disposition, DWORD{OPEN_EXISTING});
  EXPECT_EQ(played_.create_flags, DWORD{FILE_ATTRIBUTE_SYSTEM});
  EXPECT_EQ(played_.closed, (std::vector<HANDLE>{FakeHandle(3)}));
}

TEST_F(Usbscan, ReadsTheDescriptorThroughOneEightByteBuffer) {
  auto device = driver_.Open(3);
  DeviceDescriptor descriptor;
  ASSERT_TRUE(device->ReadDescriptor(descriptor));
  EXPECT_EQ(descriptor.usVendorId, 0x2F4E);
  EXPECT_EQ(descriptor.usProductId, 0x8800);
  EXPECT_EQ(descriptor.usBcdDevice, 0x0102);
  EXPECT_EQ(descriptor.usLanguageId, 0x0409);
  EXPECT_EQ(played_.codes, (std::vector<DWORD>{0x80002018}));
  EXPECT_EQ(played_.in_sizes, (std::vector<DWORD>{8}));
  EXPECT_EQ(played_.out_sizes, (std::vector<DWORD>{8}));
  played_.ioctl_ok = FALSE;
  EXPECT_FALSE(device->ReadDescriptor(descriptor));
}

TEST_F(Usbscan, SendsAVendorRequestAsAnIoBlockEx) {
  auto device = driver_.Open(3);
  std::uint8_t reply[5] = {};
  VendorRequest request;
  request.bRequest = 2;
  request.wValue = 4;
  ASSERT_TRUE(device->SendVendorRequest(request, reply, 5));
  EXPECT_EQ(played_.codes, (std::vector<DWORD>{0x80002024}));
  EXPECT_EQ(played_.in_sizes, (std::vector<DWORD>{sizeof(IoBlockEx)}));
  EXPECT_EQ(played_.out_sizes, (std::vector<DWORD>{5}));
  EXPECT_EQ(played_.block.uOffset, 4u);
  EXPECT_EQ(played_.block.uLength, 5u);
  EXPECT_EQ(played_.block.uIndex, 0u);
  EXPECT_EQ(played_.block.bRequest, 2);
  EXPECT_EQ(played_.block.bmRequestType, 0xC0);
  EXPECT_EQ(played_.block.fTransferDirectionIn, 1);
  EXPECT_EQ(reply[4], 0x5A);
  played_.ioctl_ok = FALSE;
  EXPECT_FALSE(device->SendVendorRequest(request, reply, 5));
}

TEST_F(Usbscan, WriteReportsEachWayItEnds) {
  struct Case {
    const char* name;
    bool event_ok;
    BOOL write_ok;
    DWORD last_error;
    DWORD wait_result;
    BOOL overlapped_ok;
    DWORD count;
    UsbWriteStatus status;
  } cases[] = {
      {"done", true, TRUE, 0, WAIT_OBJECT_0, TRUE, ~0u, UsbWriteStatus::kDone},
      {"short", true, TRUE, 0, WAIT_OBJECT_0, TRUE, 7, UsbWriteStatus::kDone},
      {"pending", true, FALSE, ERROR_IO_PENDING, WAIT_OBJECT_0, TRUE, ~0u,
       UsbWriteStatus::kDone},
      {"no event", false, TRUE, 0, WAIT_OBJECT_0, TRUE, ~0u,
       UsbWriteStatus::kEventFailed},
      {"refused", true, FALSE, ERROR_GEN_FAILURE, WAIT_OBJECT_0, TRUE, ~0u,
       UsbWriteStatus::kRefused},
      {"timed out", true, TRUE, 0, WAIT_TIMEOUT, TRUE, ~0u,
       UsbWriteStatus::kTimedOut},
      {"no result", true, TRUE, 0, WAIT_OBJECT_0, FALSE, ~0u,
       UsbWriteStatus::kResultUnavailable},
  };
  auto device = driver_.Open(3);
  const std::uint8_t block[16] = {};
  for (const Case& c : cases) {
    played_.event_ok = c.event_ok;
    played_.write_ok = c.write_ok;
    played_.last_error = c.last_error;
    played_.wait_result = c.wait_result;
    played_.overlapped_ok = c.overlapped_ok;
    played_.write_count = c.count;
    played_.waits.clear();
    const UsbWriteResult result = device->Write(block, 16, 1000);
    EXPECT_EQ(result.status, c.status) << c.name;
    if (c.status == UsbWriteStatus::kDone) {
      EXPECT_EQ(result.count, c.count == ~0u ? 16u : c.count) << c.name;
      EXPECT_TRUE(played_.overlapped_had_event) << c.name;
      EXPECT_EQ(played_.waits, (std::vector<DWORD>{1000})) << c.name;
    }
    EXPECT_EQ(played_.events_open, 0) << c.name;
  }
}

TEST_F(Usbscan, ReadReportsItsCountOrItsRefusal) {
  auto device = driver_.Open(3);
  std::uint8_t buffer[32] = {};
  played_.read_count = 32;
  UsbReadResult result = device->Read(buffer, 32);
  EXPECT_TRUE(result.ok);
  EXPECT_EQ(result.count, 32u);
  EXPECT_TRUE(played_.overlapped_had_event);
  played_.read_count = 0;
  result = device->Read(buffer, 32);
  EXPECT_TRUE(result.ok);
  EXPECT_EQ(result.count, 0u);
  played_.read_ok = FALSE;
  played_.last_error = ERROR_GEN_FAILURE;
  EXPECT_FALSE(device->Read(buffer, 32).ok);
}

}  // namespace
}  // namespace refloq::platform
