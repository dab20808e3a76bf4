// Finding scanners and moving rows: Enter and the search by address, "↓"
// with its one password per click and the login results, "↑".
#include <gtest/gtest.h>

#include "protocol/command_catalogue.h"
#include "tests/window/window_fixture.h"
#include "texts/string_ids.h"

namespace refloq::window::testing {
namespace {

using cli::testing::FleetAddress;

std::vector<sim::ScannerSetup> NetworkScanners(int count) {
  std::vector<sim::ScannerSetup> setups;
  for (int i = 0; i < count; ++i) {
    sim::ScannerSetup setup;
    setup.address = FleetAddress(i);
    setups.push_back(setup);
  }
  return setups;
}

class WindowCommands : public WindowTest {
 protected:
  int LoginAnswers(int i) {
    int answers = 0;
    for (const auto& entry : fleet_->engine(i).Record()) {
      if (entry.kind == sim::WireEntry::Kind::kBlock &&
          entry.block.bCommand == protocol::LOGIN_FUNCTION &&
          entry.block.wParameter == protocol::kLoginFunction3.wParameter) {
        ++answers;
      }
    }
    return answers;
  }
};

TEST_F(WindowCommands, EnterSearchesOnlyATypedAddressNotListedYet) {
  StartFleet(NetworkScanners(1));
  Open();
  window().OnEnterKey();  // the field reads "0.0.0.0"
  window().WaitForCommand();
  EXPECT_EQ(Addresses(kIdDeviceTable), std::vector<std::string>{"USB"});
  EXPECT_TRUE(view_.Boxes().empty());

  List(0);
  EXPECT_EQ(Addresses(kIdDeviceTable),
            (std::vector<std::string>{"USB", FleetAddress(0)}));
  EXPECT_EQ(Texts(kIdDeviceTable)[1], "Ready");
  EXPECT_TRUE(view_.Boxes().empty());
  EXPECT_TRUE(Enabled(kIdUpdateStart)) << "controls enabled after a search";

  List(0);  // listed already: nothing, not even a message
  EXPECT_EQ(model().RowCount(kIdDeviceTable), 2);
  EXPECT_TRUE(view_.Boxes().empty());

  window().SetAddressField("127.0.0.250");
  window().OnEnterKey();
  window().WaitForCommand();
  EXPECT_EQ(view_.BoxTexts(),
            std::vector<std::string>{"Device Not Found.  Please Check."});
}

TEST_F(WindowCommands, SearchesDisableTheControlsInTheirOrder) {
  StartFleet(NetworkScanners(2));
  Open();
  List(0);  // enables "Update Start" too
  view_.ClearRecords();
  List(1);
  const std::vector<int> disabled = {
      kIdDeviceTable,   kIdUpdateTable, kIdSearchByAddress,
      kIdSearchNetwork, kIdUpdateStart, kIdAddressField,
      kIdCancel,        kIdMoveDown,    kIdMoveUp};
  const std::vector<int> enabled = {
      kIdSearchByAddress, kIdSearchNetwork, kIdAddressField,
      kIdDeviceTable,     kIdUpdateTable,   kIdUpdateStart,
      kIdCancel,          kIdMoveDown,      kIdMoveUp};
  std::vector<int> seen_disabled;
  std::vector<int> seen_enabled;
  for (const ControlSwitch& s : view_.Switches()) {
    (s.enabled ? seen_enabled : seen_disabled).push_back(s.id);
  }
  EXPECT_EQ(seen_disabled, disabled) << "1003 is disabled already";
  EXPECT_EQ(seen_enabled, enabled);
}

TEST_F(WindowCommands, MoveDownAsksOnceAndCancelKeepsTheRows) {
  StartFleet(NetworkScanners(2));
  Open();
  List(0);
  List(1);
  Check(kIdDeviceTable, 1);
  Check(kIdDeviceTable, 2);
  view_.AnswerPassword({false, "", false});
  window().OnMoveDown();
  window().WaitForCommand();
  EXPECT_EQ(view_.Prompts().size(), 1u);
  EXPECT_EQ(view_.Prompts()[0].label, "Password");
  EXPECT_EQ(view_.Prompts()[0].login, "Login");
  EXPECT_EQ(view_.Prompts()[0].cancel, "Cancel");
  EXPECT_EQ(
      Addresses(kIdDeviceTable),
      (std::vector<std::string>{"USB", FleetAddress(0), FleetAddress(1)}));
  EXPECT_EQ(Checks(kIdDeviceTable), (std::vector<bool>{false, false, false}));
  EXPECT_EQ(Texts(kIdDeviceTable)[1], "Ready") << "texts unchanged";
  EXPECT_EQ(model().RowCount(kIdUpdateTable), 0);
  EXPECT_EQ(LoginAnswers(0) + LoginAnswers(1), 0);
}

TEST_F(WindowCommands, MoveDownShowsEachLoginResultInItsRow) {
  std::vector<sim::ScannerSetup> setups = NetworkScanners(4);
  setups[0].state.login.password = "secret";
  setups[1].state.login.password = "other";
  setups[3].state.login.password = "secret";
  setups[3].state.status_ext.bLoginLockout = 1;
  setups[3].state.status_ext.bLoginAttemptLimit = 5;
  setups[3].state.status_ext.bLoginFailures = 5;
  StartFleet(setups);
  Open();
  for (int i = 0; i < 4; ++i) {
    List(i);
    Check(kIdDeviceTable, i + 1);
  }
  // Busy by the time it is moved.
  fleet_->engine(2).UpdateState([](sim::ScannerState& s) {
    s.status.wFWInfo = protocol::SCANNER_STATUS_BUSY;
  });
  view_.AnswerPassword({true, "secret", false});
  window().OnMoveDown();
  window().WaitForCommand();
  EXPECT_EQ(view_.Prompts().size(), 1u);
  EXPECT_EQ(Addresses(kIdUpdateTable),
            std::vector<std::string>{FleetAddress(0)});
  EXPECT_EQ(Texts(kIdUpdateTable), std::vector<std::string>{"Ready"});
  EXPECT_EQ(Checks(kIdUpdateTable), std::vector<bool>{true});
  EXPECT_EQ(Addresses(kIdDeviceTable),
            (std::vector<std::string>{"USB", FleetAddress(1), FleetAddress(2),
                                      FleetAddress(3)}));
  // A scanner that was not ready never judged the password: its row
  // does not say that the password was wrong.
  EXPECT_EQ(Texts(kIdDeviceTable),
            (std::vector<std::string>{
                "Device Not Found.  Please Check.", "Password is incorrect!",
                "Device is Busy.",
                "Failed to Login, account locked out. Please try again "
                "later."}));
  EXPECT_EQ(Checks(kIdDeviceTable),
            (std::vector<bool>{false, false, false, false}));
  EXPECT_TRUE(Enabled(kIdUpdateStart));
}

TEST_F(WindowCommands, APasswordTheCodePageCannotHoldIsNeverSent) {
  StartFleet(NetworkScanners(1));
  Open();
  List(0);
  Check(kIdDeviceTable, 1);
  view_.AnswerPassword({true, std::string("pass\xff", 5), false});
  window().OnMoveDown();
  window().WaitForCommand();
  ASSERT_EQ(view_.Boxes().size(), 1u);
  EXPECT_EQ(Checks(kIdDeviceTable), (std::vector<bool>{false, false}));
  EXPECT_EQ(LoginAnswers(0), 0);
}

TEST_F(WindowCommands, UsbRowMovesOnlyWhenReadyOrInRecoveryMode) {
  struct Case {
    std::uint16_t state;
    const char* moved_text;  // null: stays
  };
  for (const Case& c :
       {Case{0, "Ready"}, Case{6, "Recovery Mode, click the RecoverFW Button."},
        Case{4, nullptr}, Case{7, nullptr}}) {
    SCOPED_TRACE(c.state);
    PlugUsb([](sim::ScannerState& s) { s.status.wFWInfo = 0; });
    Open();
    usb_engine_.UpdateState(
        [&](sim::ScannerState& s) { s.status.wFWInfo = c.state; });
    window().OnMoveDown();  // the row is checked: it was ready at start
    window().WaitForCommand();
    EXPECT_TRUE(view_.Prompts().empty());
    if (c.moved_text != nullptr) {
      EXPECT_EQ(Addresses(kIdUpdateTable), std::vector<std::string>{"USB"});
      EXPECT_EQ(Texts(kIdUpdateTable)[0], c.moved_text);
      EXPECT_EQ(model().RowCount(kIdDeviceTable), 0);
    } else {
      EXPECT_EQ(model().RowCount(kIdUpdateTable), 0);
      EXPECT_EQ(Addresses(kIdDeviceTable), std::vector<std::string>{"USB"});
      EXPECT_EQ(Checks(kIdDeviceTable), std::vector<bool>{false});
    }
    window_.reset();
  }
}

TEST_F(WindowCommands, MoveUpBringsEveryCheckedRowBackUncheckedAndEmpty) {
  Open();
  // More rows than the moves of old reached (positions up to 1000).
  constexpr int kRows = 1005;
  for (int i = 0; i < kRows; ++i) {
    model().AppendRow(
        kIdUpdateTable,
        "10.0." + std::to_string(i / 250) + "." + std::to_string(i % 250),
        StatusCell::Text(texts::kTextReady), i != 3);
  }
  window().OnMoveUp();
  EXPECT_EQ(Addresses(kIdUpdateTable), std::vector<std::string>{"10.0.0.3"});
  EXPECT_EQ(model().RowCount(kIdDeviceTable), 1 + kRows - 1);
  const auto rows = model().Rows(kIdDeviceTable);
  EXPECT_EQ(rows.back().address, "10.0.4.4");
  for (std::size_t i = 1; i < rows.size(); ++i) {
    EXPECT_FALSE(rows[i].checked);
    EXPECT_TRUE(rows[i].status.is_cleared());
  }
  EXPECT_TRUE(Enabled(kIdUpdateStart));
}

TEST_F(WindowCommands, UpdateStartWithNothingCheckedSaysSo) {
  Open();
  window().OnMoveUp();  // enables "Update Start"
  window().OnUpdateStart();
  window().WaitForCommand();
  EXPECT_EQ(view_.BoxTexts(),
            std::vector<std::string>{"No Device Selected, Please Check."});
  EXPECT_TRUE(Enabled(kIdUpdateStart));
  EXPECT_TRUE(Enabled(kIdCancel));
}

}  // namespace
}  // namespace refloq::window::testing
