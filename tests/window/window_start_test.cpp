// The window's start: its texts and layout, the "USB" row from the USB
// status query, and the string test mode.
#include <gtest/gtest.h>

#include "tests/window/window_fixture.h"
#include "texts/string_ids.h"

namespace refloq::window::testing {
namespace {

TEST_F(WindowTest, StartSetsTitleColumnsAndTheTemplatesStates) {
  Open();
  EXPECT_EQ(model().Title(), "FW Update Tool [Ver: 3.29.24.531]");
  for (int list : {kIdDeviceTable, kIdUpdateTable}) {
    const auto columns = model().Columns(list);
    ASSERT_EQ(columns.size(), 2u);
    EXPECT_EQ(columns[0].header, "Destination");
    EXPECT_EQ(columns[0].width, 120);
    EXPECT_EQ(columns[1].header, "Status");
    EXPECT_EQ(columns[1].width, 600);
  }
  EXPECT_EQ(model().ListStyle(kIdDeviceTable), kListStyleWithRows);
  EXPECT_EQ(model().ListStyle(kIdUpdateTable), kListStyleAtStart);
  EXPECT_EQ(model().Control(kIdSearchNetwork).text, "Search");
  EXPECT_EQ(model().Control(kIdUpdateStart).text, "Start Update");
  EXPECT_EQ(model().Control(kIdDeviceTableLabel).text, "Device Table:");
  const ControlState wake = model().Control(kIdWaitForWake);
  EXPECT_TRUE(wake.checked);
  EXPECT_FALSE(wake.visible);
  EXPECT_TRUE(model().Control(kIdSearchByAddress).visible);
  EXPECT_TRUE(model().Control(kIdAddressField).visible);
  EXPECT_EQ(window().AboutMenuText(), "&About Refloq...");
}

struct UsbStartCase {
  const char* name;
  bool plugged;
  std::uint16_t state;
  std::uint32_t last_error;
  const char* text;
  bool checked;
  bool recover_offered;
};

const UsbStartCase kUsbStartCases[] = {
    {"no scanner", false, 0, 0, "Device Not Found.  Please Check.", false,
     false},
    {"ready", true, 0, 0, "Ready", true, false},
    {"busy", true, 4, 0, "Device is Busy.", false, false},
    {"recovery mode", true, 6, 0, "Recovery Mode, click the RecoverFW Button.",
     true, true},
    // Any other state is an error, also when dwLastErr is 0.
    {"updating", true, 7, 0, "Device has an Error.", false, false},
    {"unknown with an error", true, 9, 0x7001, "Device has an Error.", false,
     false},
};

TEST_F(WindowTest, TheUsbRowShowsTheScannersState) {
  for (const UsbStartCase& c : kUsbStartCases) {
    SCOPED_TRACE(c.name);
    if (c.plugged) {
      PlugUsb([&](sim::ScannerState& s) {
        s.status.wFWInfo = c.state;
        s.status.dwLastErr = c.last_error;
      });
    } else {
      platform::SetStillImageDriver(nullptr);
    }
    Open();
    ASSERT_EQ(Addresses(kIdDeviceTable), std::vector<std::string>{"USB"});
    EXPECT_EQ(Texts(kIdDeviceTable)[0], c.text);
    EXPECT_EQ(Checks(kIdDeviceTable)[0], c.checked);
    EXPECT_FALSE(Enabled(kIdUpdateStart)) << "waits for a moved row";
    EXPECT_TRUE(Enabled(kIdMoveDown));
    EXPECT_TRUE(Enabled(kIdCancel));
    EXPECT_EQ(model().Control(kIdRecoverFw).visible, c.recover_offered);
    EXPECT_EQ(model().Control(kIdRecoverFw).enabled, c.recover_offered);
    window_.reset();
  }
}

TEST_F(WindowTest, StringTestModeListsTwentySixTextsAndSixBoxes) {
  show_all_string_ = 9999;
  Open();
  const auto addresses = Addresses(kIdDeviceTable);
  ASSERT_EQ(addresses.size(), 27u);
  EXPECT_EQ(addresses[0], "USB") << "added above the test rows";
  const auto texts = Texts(kIdDeviceTable);
  EXPECT_EQ(addresses[1], "IP");
  EXPECT_EQ(texts[1], "Ready");
  EXPECT_EQ(texts[19], "Wait for %d:%02d min, Device Will Reboot.");
  EXPECT_EQ(texts[20], "Recovery Mode, click the RecoverFW Button.");
  EXPECT_EQ(texts[25],
            "The device was not found either on the network or "
            "connected via USB.");
  EXPECT_EQ(texts[26], "Search");
  EXPECT_EQ(
      view_.BoxTexts(),
      (std::vector<std::string>{
          Ui(texts::kTextNoDeviceSelected), Ui(texts::kTextDeviceNotFound),
          Ui(texts::kTextSearchDeviceBusy), Ui(texts::kTextAddSuccess),
          Ui(texts::kTextBeginUpdate), Ui(texts::kTextBeginUpdateMany)}));
  for (const RecordedBox& box : view_.Boxes()) {
    EXPECT_EQ(box.buttons, MessageButtons::kOk);
    EXPECT_EQ(box.caption, "") << "the application's name";
  }
}

TEST_F(WindowTest, CheckingTheUsbRowAsksItsStateAgain) {
  PlugUsb([](sim::ScannerState& s) { s.status.wFWInfo = 4; });
  Open();
  EXPECT_EQ(Texts(kIdDeviceTable)[0], "Device is Busy.");
  usb_engine_.UpdateState([](sim::ScannerState& s) { s.status.wFWInfo = 6; });
  Check(kIdDeviceTable, 0, false);
  EXPECT_EQ(Texts(kIdDeviceTable)[0], "Device is Busy.") << "only on a check";
  Check(kIdDeviceTable, 0, true);
  EXPECT_EQ(Texts(kIdDeviceTable)[0],
            "Recovery Mode, click the RecoverFW Button.");
  EXPECT_TRUE(model().Control(kIdRecoverFw).visible);
}

}  // namespace
}  // namespace refloq::window::testing
