// One table of settings files read through the platform's reader: on Linux
// our own, on Windows (under Wine) GetPrivateProfileIntW/StringW.  The same
// expectations hold for both.
#include "platform/private_profile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace refloq::platform {
namespace {

namespace fs = std::filesystem;

struct File {
  const char* name;
  std::string bytes;
};

const File kFiles[] = {
    {"plain.ini",
     "[Default]\r\nLoadFW=1\r\nFW_Ver=1.23\r\nEnableDowngrade=0\r\n"
     "[Development]\r\nLANG_ID=1031\r\n"},
    {"mixed_case.ini",
     "[dEfAuLt]\nloadfw = 7 \n  FW_VER =  \"2.50\"  \n[DEVELOPMENT]\n"
     "Lang_Id=2052\n"},
    {"numbers.ini",
     "[N]\n"
     "trailing=12abc\n"
     "negative=-5\n"
     "wraps=4294967297\n"
     "large=99999999999\n"
     "hex=0x1F\n"
     "upper_hex=0X1F\n"
     "letters=abc\n"
     "empty=\n"
     "no_equals\n"
     "plus=  +42\n"
     "binary=0b101\n"
     "octal=0o17\n"
     "quoted='7'\n"
     "comment=1 ; one\n"
     "low16=66567\n"
     "long=00000000000000000000000000000000012\n"},
    {"strings.ini",
     "[S]\n"
     "long=ABCDEFGHIJKLMNOPQRST\n"
     "quoted=\"0.00\"\n"
     "single='x y'\n"
     "unmatched=\"abc\n"
     "inner= a  b \n"
     "dup=first\n"
     "DUP=second\n"
     ";commented=yes\n"
     "[S]\n"
     "later=hidden\n"
     "[S] trailing words\n"
     "[ spaced ]\n"
     "key=spaced\n"},
    {"junk.ini", "[Default\nLoadFW=3\n[Default]]\nLoadFW=4\n"},
    {"utf16.ini",
     std::string("\xFF\xFE", 2) +
         std::string("[\0U\0]\0\r\0\n\0k\0=\0G\0r\0\xFC\0\xDF\0e\0\r\0\n\0",
                     28)},
    {"utf8_bom.ini",
     "\xEF\xBB\xBF[U]\nk=Gr\xC3\xBC\xC3\x9F"
     "e\n"},
};

struct IntCase {
  const char* file;
  const char* section;
  const char* key;
  std::int32_t default_value;
  std::uint32_t expected;
};

const IntCase kIntCases[] = {
    {"plain.ini", "Default", "LoadFW", 0, 1},
    {"plain.ini", "Default", "EnableDowngrade", 1, 0},
    {"plain.ini", "Development", "LANG_ID", 9999, 1031},
    {"plain.ini", "Development", "SHOW_ALL_STRING", 0, 0},
    {"plain.ini", "Missing", "LoadFW", 5, 5},
    {"absent.ini", "Default", "LoadFW", 0, 0},
    {"absent.ini", "Development", "LANG_ID", 9999, 9999},
    {"absent.ini", "Default", "EnableDowngrade", -1, 0xFFFFFFFFu},
    {"mixed_case.ini", "DEFAULT", "LOADFW", 0, 7},
    {"mixed_case.ini", " development ", " lang_id ", 9999, 2052},
    {"numbers.ini", "N", "trailing", 0, 12},
    {"numbers.ini", "N", "negative", 0, 0xFFFFFFFBu},
    {"numbers.ini", "N", "wraps", 0, 1},
    {"numbers.ini", "N", "large", 0, 1215752191u},
    {"numbers.ini", "N", "hex", 0, 31},
    {"numbers.ini", "N", "upper_hex", 9, 0},
    {"numbers.ini", "N", "letters", 9, 0},
    {"numbers.ini", "N", "empty", 9, 9},
    {"numbers.ini", "N", "no_equals", 9, 9},
    {"numbers.ini", "N", "plus", 0, 42},
    {"numbers.ini", "N", "binary", 0, 5},
    {"numbers.ini", "N", "octal", 0, 15},
    {"numbers.ini", "N", "quoted", 0, 7},
    {"numbers.ini", "N", "comment", 0, 1},
    {"numbers.ini", "N", "low16", 0, 66567},
    {"numbers.ini", "N", "long", 9, 0},
    {"junk.ini", "Default", "LoadFW", 0, 0},
    {"junk.ini", "Default]", "LoadFW", 0, 4},
};

struct StringCase {
  const char* file;
  const char* section;
  const char* key;
  const char* default_value;
  std::size_t buffer_chars;
  const char* expected;
};

const StringCase kStringCases[] = {
    {"plain.ini", "Default", "FW_Ver", "0.00", 10, "1.23"},
    {"plain.ini", "Default", "Missing", "0.00", 10, "0.00"},
    {"plain.ini", "Default", "Missing", "0.00  ", 10, "0.00"},
    {"absent.ini", "Default", "FW_Ver", "0.00", 10, "0.00"},
    {"absent.ini", "Default", "FW_Ver", "0.00", 3, "0."},
    {"mixed_case.ini", "default", "fw_ver", "0.00", 10, "2.50"},
    {"strings.ini", "S", "long", "", 10, "ABCDEFGHI"},
    {"strings.ini", "S", "long", "", 1, ""},
    {"strings.ini", "S", "long", "", 0, ""},
    {"strings.ini", "S", "quoted", "", 10, "0.00"},
    {"strings.ini", "S", "quoted", "", 3, "0."},
    {"strings.ini", "S", "single", "", 10, "x y"},
    {"strings.ini", "S", "unmatched", "", 10, "\"abc"},
    {"strings.ini", "S", "inner", "", 10, "a  b"},
    {"strings.ini", "S", "dup", "", 10, "first"},
    {"strings.ini", "S", "commented", "none", 10, "none"},
    {"strings.ini", "S", "later", "none", 10, "none"},
    {"strings.ini", "spaced", "key", "none", 10, "spaced"},
    {"strings.ini", " spaced ", "key", "none", 10, "spaced"},
    {"utf16.ini", "U", "k", "", 10,
     "Gr\xC3\xBC\xC3\x9F"
     "e"},
    {"utf8_bom.ini", "U", "k", "", 10,
     "Gr\xC3\xBC\xC3\x9F"
     "e"},
    {"utf8_bom.ini", "U", "k", "", 4, "Gr\xC3\xBC"},
};

class PrivateProfile : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ =
        fs::temp_directory_path() /
        ("refloq-profile-" +
         std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    fs::create_directories(folder_);
    for (const File& file : kFiles) {
      std::ofstream(folder_ / file.name, std::ios::binary) << file.bytes;
    }
  }
  static void TearDownTestSuite() { fs::remove_all(folder_); }

  static std::string PathOf(const char* name) {
    return (folder_ / name).string();
  }

  static inline fs::path folder_;
};

TEST_F(PrivateProfile, Integers) {
  for (const IntCase& c : kIntCases) {
    SCOPED_TRACE(testing::Message()
                 << c.file << " [" << c.section << "] " << c.key);
    EXPECT_EQ(ReadProfileInt(c.section, c.key, c.default_value, PathOf(c.file)),
              c.expected);
  }
}

TEST_F(PrivateProfile, Strings) {
  for (const StringCase& c : kStringCases) {
    SCOPED_TRACE(testing::Message() << c.file << " [" << c.section << "] "
                                    << c.key << " /" << c.buffer_chars);
    EXPECT_EQ(ReadProfileString(c.section, c.key, c.default_value,
                                c.buffer_chars, PathOf(c.file)),
              c.expected);
  }
}

}  // namespace
}  // namespace refloq::platform
