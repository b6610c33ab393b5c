#include "base/version_text.h"

#include "build_info.h"

#include <gtest/gtest.h>

namespace trazvik::base {
namespace {

TEST(VersionText, FourNumbersAndTheShortForm) {
  const std::tuple<const char*, const char*, const char*> cases[] = {
      {"3.50.1.7", "3.50.1.7", "3.50"}, {"0.1.0", "0.1.0.0", "0.1"}, {"2", "2.0.0.0", "2.0"},
      {"1.2.3-rc1", "1.2.3.0", "1.2"},  {"", "0.0.0.0", "0.0"},      {"1.2.3.4.5", "1.2.3.4", "1.2"},
  };
  for (const auto& [version, four, shortForm] : cases) {
    EXPECT_EQ(fourNumberVersion(version), four) << version;
    EXPECT_EQ(majorMinorVersion(version), shortForm) << version;
  }
  EXPECT_EQ(programVersionText(), fourNumberVersion(buildVersion()));
  EXPECT_EQ(programVersionText().rfind(programMajorMinorVersion() + ".", 0), 0u);
}

}  // namespace
}  // namespace trazvik::base
