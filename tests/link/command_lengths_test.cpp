#include "machine/command_lengths.h"

#include <gtest/gtest.h>

namespace trazvik {
namespace {

TEST(CommandLengths, InitialTableSharedByBothCases) {
  const tCommandLengths t;
  const std::string letters = "@ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  const int expected[] = {1, 14, 2, 1, 1, 1, 2, 1, 2, 2, 1, 1, 3, 1, 5, 1, 2, 1, 3, 2, 3, 7, 4, 1, 1, 1, 1};
  for (std::size_t i = 0; i < letters.size(); ++i) {
    const auto upper = static_cast<std::uint8_t>(letters[i]);
    SCOPED_TRACE(letters[i]);
    ASSERT_TRUE(t.of(upper).has_value());
    EXPECT_EQ(*t.of(upper), expected[i]);
    EXPECT_EQ(t.of(upper | 0x20), t.of(upper));  // "a" shares "A", "`" shares "@"
  }
}

TEST(CommandLengths, BytesOutsideTheLetterRangeHaveNoLength) {
  const tCommandLengths t;
  for (std::uint8_t b : {std::uint8_t{0x00}, std::uint8_t{0x20}, std::uint8_t{'0'}, std::uint8_t{'['},
                         std::uint8_t{'{'}, std::uint8_t{0xFF}})
    EXPECT_FALSE(t.of(b).has_value()) << int(b);
}

TEST(CommandLengths, IdentificationAdjustments) {
  tCommandLengths t;
  t.applyProtocolLevel(5);
  EXPECT_EQ(*t.of('t'), 3);
  t.applyProtocolLevel(6);
  EXPECT_EQ(*t.of('t'), 6);
  t.applyWideCommandSet();
  EXPECT_EQ(*t.of('a'), 15);
  EXPECT_EQ(*t.of('s'), 16);
  EXPECT_EQ(*t.of('v'), 6);
  EXPECT_EQ(*t.of('f'), 2);  // untouched
}

}  // namespace
}  // namespace trazvik
