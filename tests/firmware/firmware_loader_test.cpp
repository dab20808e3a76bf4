#include "firmware/firmware_loader.h"

#include <gtest/gtest.h>

#include <fstream>

#include "tests/firmware/test_containers.h"

namespace refloq::firmware {
namespace {

using testing::Bytes;
using testing::Payload;
using testing::TempFolder;
using testing::View;
using testing::WriteFile;

enum class Outcome { kLoaded, kMissing, kCorrupted };

Outcome OutcomeOf(bool loaded, const FirmwareImage& image) {
  if (loaded) {
    EXPECT_FALSE(image.m_bFirmwareMissing || image.m_bFirmwareCorrupted);
    return Outcome::kLoaded;
  }
  EXPECT_EQ(image.m_pFirmwareData, nullptr);
  EXPECT_EQ(image.m_nFirmwareSize, 0);
  EXPECT_NE(image.m_bFirmwareMissing, image.m_bFirmwareCorrupted);
  return image.m_bFirmwareMissing ? Outcome::kMissing : Outcome::kCorrupted;
}

std::string Utf8(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

TEST(PackageFilePath, JoinsFolderPrefixAndVersion) {
  const auto path = PackageFilePath("base", kDefaultFwVer);
  EXPECT_EQ(Utf8(path.filename()), "QLM8_MB_Package_0.00");
  EXPECT_EQ(Utf8(path.parent_path().filename()), "FW");
  EXPECT_EQ(Utf8(path.parent_path().parent_path()), "base");
  EXPECT_EQ(FirmwareSource{}.strFwVer, "0.00");
}

TEST(LoadFirmwareImage, TakesTheSourceThatLoadFwNames) {
  const Bytes payload = Payload(5000);
  const Bytes container = PackFirmwareContainer(payload);
  Bytes truncated(container.begin(), container.end() - 16);
  const Bytes other = PackFirmwareContainer(Payload(300, 9));

  const struct {
    const char* name;
    int loadFw;
    std::string fwVer;
    const Bytes* embedded;     // null: the resource is not found
    const Bytes* packageFile;  // null: no file
    std::string fileVersion;
    Outcome outcome;
    const Bytes* expected;
  } cases[] = {
      {"embedded", 0, "0.00", &container, &other, "0.00", Outcome::kLoaded,
       &payload},
      {"embedded missing", 0, "0.00", nullptr, &other, "0.00",
       Outcome::kMissing, nullptr},
      {"embedded empty", 0, "0.00", &testing::kEmpty, nullptr, "",
       Outcome::kMissing, nullptr},
      {"embedded truncated body", 0, "0.00", &truncated, nullptr, "",
       Outcome::kCorrupted, nullptr},
      {"package file", 1, "2.17", &other, &container, "2.17", Outcome::kLoaded,
       &payload},
      {"package file of the default version", 1, "0.00", nullptr, &container,
       "0.00", Outcome::kLoaded, &payload},
      {"package file of another version", 1, "2.18", &container, &container,
       "2.17", Outcome::kMissing, nullptr},
      {"package file missing", 1, "0.00", &container, nullptr, "",
       Outcome::kMissing, nullptr},
      {"package file truncated", 1, "0.00", nullptr, &truncated, "0.00",
       Outcome::kCorrupted, nullptr},
      {"package file empty", 1, "0.00", nullptr, &testing::kEmpty, "0.00",
       Outcome::kCorrupted, nullptr},
      {"LoadFW 2", 2, "0.00", &container, &container, "0.00",
       Outcome::kCorrupted, nullptr},
      {"LoadFW -1", -1, "0.00", &container, &container, "0.00",
       Outcome::kCorrupted, nullptr},
  };
  for (const auto& c : cases) {
    TempFolder folder;
    if (c.packageFile != nullptr) {
      std::filesystem::create_directory(folder.path() / "FW");
      WriteFile(folder.path() / "FW" / ("QLM8_MB_Package_" + c.fileVersion),
                *c.packageFile);
    }
    FirmwareSource source;
    source.nLoadFw = c.loadFw;
    source.strFwVer = c.fwVer;
    source.strProgramFolder = folder.Utf8();
    if (c.embedded != nullptr) {
      source.embeddedContainer = [bytes = c.embedded] { return View(*bytes); };
    }
    FirmwareImage image;
    image.m_pFirmwareData = std::make_shared<FirmwareBytes>(4, std::uint8_t{1});
    image.m_nFirmwareSize = 4;
    const bool loaded = LoadFirmwareImage(source, image);
    EXPECT_EQ(OutcomeOf(loaded, image), c.outcome) << c.name;
    if (c.expected != nullptr) {
      EXPECT_EQ(image.m_nFirmwareSize,
                static_cast<std::int32_t>(c.expected->size()))
          << c.name;
      const auto bytes = image.Bytes();
      EXPECT_EQ(Bytes(bytes.begin(), bytes.end()), *c.expected) << c.name;
    }
    if (c.loadFw == 1) {
      EXPECT_TRUE(std::filesystem::is_directory(folder.path() / "FW"))
          << c.name;
    }
  }
}

TEST(LoadFirmwareImage, ReadsThePackageFileUnderANonAsciiFolder) {
  TempFolder folder;
  const std::string programFolder = folder.Utf8() +
                                    "/Pr\xC3\xBC"
                                    "fger\xC3\xA4t";
  const std::filesystem::path fw =
      std::filesystem::path(
          std::u8string(programFolder.begin(), programFolder.end())) /
      "FW";
  std::filesystem::create_directories(fw);
  const Bytes payload = Payload(700);
  WriteFile(fw / "QLM8_MB_Package_0.00", PackFirmwareContainer(payload));
  FirmwareSource source;
  source.nLoadFw = LOAD_FW_PACKAGE_FILE;
  source.strProgramFolder = programFolder;
  FirmwareImage image;
  ASSERT_TRUE(LoadFirmwareImage(source, image));
  EXPECT_EQ(Bytes(image.Bytes().begin(), image.Bytes().end()), payload);
}

TEST(LoadFirmwareImage, JobsShareTheImageWithoutCopying) {
  const Bytes container = PackFirmwareContainer(Payload(1000));
  FirmwareSource source;
  source.embeddedContainer = [&] { return View(container); };
  FirmwareImage image;
  ASSERT_TRUE(LoadFirmwareImage(source, image));
  const std::shared_ptr<const FirmwareBytes> job = image.m_pFirmwareData;
  EXPECT_EQ(job->data(), image.Bytes().data());
  image.Release();
  EXPECT_EQ(image.m_pFirmwareData, nullptr);
  EXPECT_EQ(job->size(), 1000u);  // the job's reference keeps it alive
}

}  // namespace
}  // namespace refloq::firmware
