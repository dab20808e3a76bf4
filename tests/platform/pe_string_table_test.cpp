// The string table reader against the sample German library (built for
// the app tests) and against every truncation and damage of it: no read
// may leave the buffer, whatever the file holds.
#include "platform/pe_string_table.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/module_path.h"

namespace refloq::platform {
namespace {

std::vector<std::uint8_t> SampleBytes() {
  const auto path =
      std::filesystem::u8path(ModuleFolder()) / ".." / "app" / "de_DE.dll";
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

TEST(PeStringTable, ReadsTheSampleLibrary) {
  const std::vector<std::uint8_t> bytes = SampleBytes();
  ASSERT_FALSE(bytes.empty());
  const auto table = PeStringTable::Parse(bytes);
  ASSERT_TRUE(table.has_value());
  EXPECT_EQ(table->size(), 10u);
  EXPECT_EQ(table->Find(103), "FW-Aktualisierung");
  EXPECT_EQ(table->Find(164), "Ger\xC3\xA4tetabelle:");
  EXPECT_FALSE(table->Find(165).has_value());
  EXPECT_FALSE(table->Find(0).has_value());
}

TEST(PeStringTable, RefusesWhatIsNoImage) {
  const std::vector<std::vector<std::uint8_t>> inputs = {
      {},
      {'M'},
      {'M', 'Z'},
      std::vector<std::uint8_t>(64, 0),
      {'P', 'E', 0, 0}};
  for (const auto& input : inputs) {
    EXPECT_FALSE(PeStringTable::Parse(input).has_value());
  }
}

TEST(PeStringTable, EveryTruncationIsSafe) {
  const std::vector<std::uint8_t> bytes = SampleBytes();
  const auto whole = PeStringTable::Parse(bytes);
  ASSERT_TRUE(whole.has_value());
  for (std::size_t n = 0; n < bytes.size(); ++n) {
    // A shorter copy on the heap, so that a read past it is caught.
    const std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + n);
    const auto table = PeStringTable::Parse(cut);
    if (!table) continue;
    for (std::uint16_t id = 96; id < 176; ++id) {
      if (const auto text = table->Find(id)) {
        EXPECT_EQ(text, whole->Find(id));
      }
    }
  }
}

TEST(PeStringTable, EveryDamagedByteIsSafe) {
  const std::vector<std::uint8_t> bytes = SampleBytes();
  for (const int value : {0x00, 0xFF}) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      std::vector<std::uint8_t> damaged = bytes;
      damaged[i] = static_cast<std::uint8_t>(value);
      const auto table = PeStringTable::Parse(damaged);
      if (table) {
        EXPECT_LE(table->size(), 16u * 4096u);
      }
    }
  }
}

}  // namespace
}  // namespace refloq::platform
