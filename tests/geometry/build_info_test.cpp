#include "build_info.h"

#include <gtest/gtest.h>

TEST(BuildInfo, VersionHasThreeNumbers) {
  const std::string v = trazvik::buildVersion();
  int dots = 0;
  for (char c : v) {
    if (c == '.')
      ++dots;
    else
      EXPECT_TRUE(c >= '0' && c <= '9') << v;
  }
  EXPECT_EQ(dots, 2) << v;
}
