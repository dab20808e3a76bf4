// A container made by the openssl command-line tool with the tool's key and
// IV loads to the same payload: our container format is plain OpenSSL
// AES-256-CBC with PKCS#7 padding, nothing of our own.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "firmware/cipher_key.h"
#include "firmware/firmware_header.h"
#include "firmware/firmware_image.h"
#include "tests/firmware/test_containers.h"

namespace refloq::firmware {
namespace {

using testing::Bytes;
using testing::TempFolder;
using testing::WriteFile;

std::string Hex(std::span<const std::uint8_t> bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  for (std::uint8_t byte : bytes) {
    text += kDigits[byte >> 4];
    text += kDigits[byte & 15];
  }
  return text;
}

Bytes ReadFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(file), {});
}

TEST(OpensslEnc, ContainerMadeByTheCommandLineToolLoads) {
  const std::string openssl = REFLOQ_OPENSSL_EXECUTABLE;
  if (openssl.empty()) GTEST_SKIP() << "no openssl command on this target";
  TempFolder folder;
  CipherKey cipherKey = BuildCipherKey();
  const std::string keyArgs =
      " -K " + Hex(cipherKey.key) + " -iv " + Hex(cipherKey.iv);
  WipeCipherKey(cipherKey);
  auto encipher = [&](const Bytes& plain, const std::string& name) {
    const auto in = folder.path() / (name + ".plain");
    const auto out = folder.path() / (name + ".enc");
    WriteFile(in, plain);
    const std::string command = openssl + " enc -aes-256-cbc -e" + keyArgs +
                                " -in '" + in.string() + "' -out '" +
                                out.string() + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return ReadFile(out);
  };
  const auto marker = MarkerBlock();
  const Bytes header = encipher(Bytes(marker.begin(), marker.end()), "header");
  ASSERT_EQ(header.size(), kHeaderBlockSize);
  for (std::size_t size : {1u, 16u, 70001u}) {
    const Bytes payload = testing::Payload(size, 3);
    const Bytes container = testing::Concat(header, encipher(payload, "body"));
    std::unique_ptr<FirmwareBytes> out;
    std::int32_t outSize = 0;
    ASSERT_TRUE(DecryptFirmwareImage(testing::View(container), outSize, out))
        << size;
    EXPECT_EQ(Bytes(out->begin(), out->end()), payload) << size;
  }
}

}  // namespace
}  // namespace refloq::firmware
