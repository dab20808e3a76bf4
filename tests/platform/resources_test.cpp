#include "platform/resources.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace refloq::platform {
namespace {

std::vector<std::uint8_t> Bytes(std::span<const std::uint8_t> s) {
  return {s.begin(), s.end()};
}

TEST(Resources, StaticRegistrarInALinkedObjectLibraryIsFound) {
  EXPECT_EQ(Bytes(FindBinaryResource(9001)),
            (std::vector<std::uint8_t>{0xB1, 0x0B, 0x5E, 0xED}));
}

TEST(Resources, MissingBinaryResourceIsEmpty) {
  EXPECT_TRUE(FindBinaryResource(9002).empty());
  EXPECT_FALSE(LoadOwnString(60000).has_value());
}

TEST(Resources, ScopedResourceReplacesAndRestores) {
  const std::array<std::uint8_t, 2> small = {1, 2};
  const std::array<std::uint8_t, 1> smaller = {3};
  {
    ScopedBinaryResource outer(9001, small);
    EXPECT_EQ(Bytes(FindBinaryResource(9001)),
              (std::vector<std::uint8_t>{1, 2}));
    {
      ScopedBinaryResource inner(9001, smaller);
      EXPECT_EQ(Bytes(FindBinaryResource(9001)), std::vector<std::uint8_t>{3});
    }
    EXPECT_EQ(Bytes(FindBinaryResource(9001)),
              (std::vector<std::uint8_t>{1, 2}));
  }
  EXPECT_EQ(FindBinaryResource(9001).size(), 4u);

  {
    ScopedBinaryResource fresh(9003, small);
    EXPECT_EQ(FindBinaryResource(9003).size(), 2u);
  }
  EXPECT_TRUE(FindBinaryResource(9003).empty());
}

TEST(Resources, AnEmptyRegistrationHidesTheResource) {
  ScopedBinaryResource hidden(9001, {});
  EXPECT_TRUE(FindBinaryResource(9001).empty());
}

TEST(Resources, RegisteredStringsAreTheProgramsOwn) {
  const std::array<StringResource, 2> strings = {
      {{60001, "Hallo"}, {60002, "\xE4\xBD\xA0\xE5\xA5\xBD"}}};
  RegisterOwnStrings(strings);
  EXPECT_EQ(LoadOwnString(60001), "Hallo");
  EXPECT_EQ(LoadOwnString(60002), "\xE4\xBD\xA0\xE5\xA5\xBD");
  UnregisterOwnStrings(strings);
  EXPECT_FALSE(LoadOwnString(60001).has_value());
}

#ifdef _WIN32
// Resources compiled into the executable from two .rc files.
TEST(Resources, TheExecutablesOwnResources) {
  EXPECT_EQ(Bytes(FindBinaryResource(9004)),
            (std::vector<std::uint8_t>{'B', 'L', 'O', 'B', 0x00, 0xFF}));
  EXPECT_EQ(LoadOwnString(60100), "From the executable");

  // A registration stands in front of the executable's resource, and an
  // empty one hides it.
  const std::array<std::uint8_t, 1> injected = {7};
  {
    ScopedBinaryResource replaced(9004, injected);
    EXPECT_EQ(Bytes(FindBinaryResource(9004)), std::vector<std::uint8_t>{7});
  }
  {
    ScopedBinaryResource hidden(9004, {});
    EXPECT_TRUE(FindBinaryResource(9004).empty());
  }
  EXPECT_EQ(FindBinaryResource(9004).size(), 6u);
}
#endif

}  // namespace
}  // namespace refloq::platform
