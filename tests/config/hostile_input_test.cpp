// Garbage where settings files are expected: clear results, never a crash or
// a read past the data.
#include "config/address_file.h"
#include "config/global_cfg.h"
#include "config/inverter_parameters.h"
#include "config/settings_file.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace trazvik::config {
namespace {

// Random text built from the characters the readers care about, so the
// garbage reaches deep into them.
std::string garbage(std::mt19937& random, std::size_t length) {
  static const std::string alphabet = " :=\r\n\t+-.,0123456789eE\xFFxWorkSpeedgrubosc";
  std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
  std::string text;
  for (std::size_t i = 0; i < length; ++i) text += alphabet[pick(random)];
  return text;
}

TEST(HostileInput, RandomSettingsTextsLeaveEveryValueWithinItsLimits) {
  std::mt19937 random(20261210);
  for (int round = 0; round < 300; ++round) {
    TDlgkonfig settings('.');
    std::string text = garbage(random, 400);
    // Some rounds name real settings with random values.
    if (round % 2 == 0) {
      for (const auto& def : settingCatalogue()) text += std::string(def.name) + " := " + garbage(random, 6) + "\r\n";
    }
    const SettingsApplied applied = applySettingsText(settings, text, "random.mcc");
    if (!applied.complete) {
      EXPECT_NE(applied.error.find("random.mcc, line "), std::string::npos);
    }
    for (const auto& def : settingCatalogue()) {
      const double value = settings.real(def.name);
      if (def.minValue != def.maxValue && def.kind != SettingKind::Check) {
        // A length shown in inches or feet reads back to the shown precision.
        const double slack = def.kind == SettingKind::Length ? 0.5 * 0.0001 * 304.8 : 0;
        EXPECT_GE(value, def.minValue - slack) << def.name;
        EXPECT_LE(value, def.maxValue + slack) << def.name;
      }
    }
  }
}

TEST(HostileInput, RandomRecordsAddressAndInverterFiles) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int round = 0; round < 300; ++round) {
    std::array<std::uint8_t, kGlobalCfgSize> record{};
    for (auto& b : record) b = static_cast<std::uint8_t>(byte(random));
    const GlobalCfg cfg = decodeGlobalCfg(record);
    EXPECT_LE(cfg.openDir.size(), 80u);
    EXPECT_LE(cfg.saveDir.size(), 80u);
    EXPECT_LE(cfg.settingsFile.size(), 255u);
    EXPECT_EQ(encodeGlobalCfg(cfg).size(), kGlobalCfgSize);

    const std::string text = garbage(random, 200);
    EXPECT_LE(readAddressNumbers(text).size(), 4u);
    const InverterFile inverter = readInverterParameters(text, "3g3jv.dat");
    if (!inverter.error.empty()) {
      EXPECT_EQ(inverter.error.rfind("3g3jv.dat, line ", 0), 0u);
    }
  }
}

}  // namespace
}  // namespace trazvik::config
