#include "link/trace.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "link/command_exchange.h"
#include "tests/link/link_fixture.h"

namespace refloq::link::testing {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The UTF-16LE bytes of ASCII text.
std::string Utf16Le(std::string_view ascii) {
  std::string out;
  for (const char c : ascii) {
    out.push_back(c);
    out.push_back('\0');
  }
  return out;
}

class TraceFile : public LinkTest {
 protected:
  void SetUp() override {
    LinkTest::SetUp();
    dir_ =
        fs::temp_directory_path() /
        ("refloq-trace-" +
         std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
         "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    path_ = (dir_ / "trace.txt").string();
  }
  void TearDown() override {
    fs::remove_all(dir_);
    LinkTest::TearDown();
  }

  fs::path dir_;
  std::string path_;
};

TEST_F(TraceFile, OneSuccessfulSendWritesFourUtf16LeLines) {
  TcpTestPeer peer({Receive(64), AwaitClose()});
  ASSERT_TRUE(ConnectTo(peer));
  const auto data = Bytes(64);
  ASSERT_EQ(SendData(connection_, data.data(), 64, path_, 1), 1);
  EXPECT_EQ(ReadAll(path_), Utf16Le("==>In send data do-while\r\n"
                                    "==>Send data start\r\n"
                                    "==>Send data end\r\n"
                                    "==>Out send data do-while\r\n"));
}

TEST_F(TraceFile, AppendsNonAsciiTextAsUtf16Units) {
  AppendTraceLine("==>步驟 \xF0\x9F\x93\xA0", path_, 1);  // U+1F4E0
  AppendTraceLine("==>x", path_, 1);
  const std::string expected = std::string("=\0=\0>\0\x65\x6B\x5F\x9A \0", 12) +
                               std::string("\x3D\xD8\xE0\xDC\r\0\n\0", 8) +
                               Utf16Le("==>x\r\n");
  EXPECT_EQ(ReadAll(path_), expected);
}

TEST_F(TraceFile, SwitchZeroWritesNothingButTheObserverSeesTheLine) {
  std::vector<std::string> seen;
  SetTraceObserver([&seen](std::string_view line) { seen.emplace_back(line); });
  AppendTraceLine("==>Send data start", path_, 0);
  AppendTraceLine("==>unwritable", (dir_ / "missing" / "t.txt").string(), 1);
  SetTraceObserver({});
  EXPECT_FALSE(fs::exists(path_));
  EXPECT_EQ(seen,
            (std::vector<std::string>{"==>Send data start", "==>unwritable"}));
}

}  // namespace
}  // namespace refloq::link::testing
