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

// A small image whose 4096 string blocks all point at one block of long
// strings: read naively it would decode hundreds of megabytes.
std::vector<std::uint8_t> AliasedBlocksImage() {
  std::vector<std::uint8_t> image(0x200, 0);
  auto put16 = [&](std::size_t at, std::uint32_t v) {
    if (image.size() < at + 2) image.resize(at + 2, 0);
    image[at] = static_cast<std::uint8_t>(v);
    image[at + 1] = static_cast<std::uint8_t>(v >> 8);
  };
  auto put32 = [&](std::size_t at, std::uint32_t v) {
    put16(at, v & 0xFFFF);
    put16(at + 2, v >> 16);
  };
  constexpr std::uint32_t kBase = 0x200;  // file offset == RVA
  put16(0, 0x5A4D);
  put32(0x3C, 0x40);
  put32(0x40, 0x00004550);
  put16(0x44, 0x8664);    // machine
  put16(0x46, 1);         // one section
  put16(0x54, 240);       // optional header size
  put16(0x58, 0x20B);     // PE32+
  put32(0x58 + 108, 16);  // data directories
  const std::uint32_t blocks_dir = 0x18;
  const std::uint32_t language_dir = blocks_dir + 16 + 4096 * 8;
  const std::uint32_t data_entry = language_dir + 24;
  const std::uint32_t data = data_entry + 16;
  constexpr std::uint32_t kLength = 2000;
  const std::uint32_t data_size = 16 * (2 + 2 * kLength);
  const std::uint32_t total = data + data_size;
  put32(0x58 + 112 + 16, kBase);  // resource directory RVA
  put32(0x58 + 112 + 20, total);
  const std::size_t section = 0x58 + 240;
  put32(section + 12, kBase);  // virtual address
  put32(section + 16, total);  // raw size
  put32(section + 20, kBase);  // raw offset
  // Root: one entry, the string type.
  put16(kBase + 14, 1);
  put32(kBase + 16, 6);
  put32(kBase + 20, 0x80000000u | blocks_dir);
  put16(kBase + blocks_dir + 14, 4096);
  for (std::uint32_t i = 0; i < 4096; ++i) {
    put32(kBase + blocks_dir + 16 + i * 8, i + 1);
    put32(kBase + blocks_dir + 20 + i * 8, 0x80000000u | language_dir);
  }
  put16(kBase + language_dir + 14, 1);
  put32(kBase + language_dir + 16, 0x409);
  put32(kBase + language_dir + 20, data_entry);
  put32(kBase + data_entry, kBase + data);
  put32(kBase + data_entry + 4, data_size);
  for (std::uint32_t i = 0; i < 16; ++i) {
    const std::uint32_t at = kBase + data + i * (2 + 2 * kLength);
    put16(at, kLength);
    for (std::uint32_t k = 0; k < kLength; ++k) put16(at + 2 + 2 * k, 'x');
  }
  return image;
}

TEST(PeStringTable, SharedBlocksDecodeNoMoreThanTheFileHolds) {
  const std::vector<std::uint8_t> image = AliasedBlocksImage();
  const auto table = PeStringTable::Parse(image);
  ASSERT_TRUE(table.has_value());
  ASSERT_TRUE(table->Find(0).has_value());
  EXPECT_EQ(table->Find(0), std::string(2000, 'x'));
  EXPECT_LE(table->size() * 2000u, image.size() / 2);
}

}  // namespace
}  // namespace refloq::platform
