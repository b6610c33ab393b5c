// The binary record of "Halvorek.cfg".
#include "config/global_cfg.h"

#include <gtest/gtest.h>

#include <cstring>

namespace trazvik::config {
namespace {

using Record = std::array<std::uint8_t, kGlobalCfgSize>;

TEST(GlobalCfgRecord, DefaultsAtTheirOffsets) {
  GlobalCfg cfg;
  cfg.settingsFile = "/home/op/.local/share/Dornelis/Trazvik/Settings.mcc";
  cfg.travelHeight = 15.49;
  const Record r = encodeGlobalCfg(cfg);
  EXPECT_EQ(r[0], 0);             // openDir: empty
  EXPECT_EQ(r[81], 0);            // saveDir: empty
  EXPECT_EQ(r[162] | r[163], 0);  // padding
  const std::uint8_t one[4] = {1, 0, 0, 0};
  EXPECT_EQ(std::memcmp(&r[164], one, 4), 0);  // reserved integer 1
  EXPECT_EQ(std::memcmp(&r[168], one, 4), 0);  // saveFilterIndex 1
  EXPECT_EQ(r[172], 0);                        // viewDirection
  EXPECT_EQ(r[173], 0);                        // viewOrder
  EXPECT_EQ(r[174], 1);                        // viewEntryPoints
  EXPECT_EQ(r[175], 1);                        // viewLayers
  EXPECT_EQ(r[176], 0);
  EXPECT_EQ(r[177], cfg.settingsFile.size());
  EXPECT_EQ(std::memcmp(&r[178], cfg.settingsFile.data(), cfg.settingsFile.size()), 0);
  EXPECT_EQ(std::memcmp(&r[436], one, 4), 0);  // openFilterIndex 1
  // 15.49 as a little-endian IEEE 754 double: 0x402EFAE147AE147B.
  const std::uint8_t height[8] = {0x7B, 0x14, 0xAE, 0x47, 0xE1, 0xFA, 0x2E, 0x40};
  EXPECT_EQ(std::memcmp(&r[440], height, 8), 0);
}

TEST(GlobalCfgRecord, RoundTripsEveryField) {
  GlobalCfg cfg;
  cfg.openDir = std::string(80, 'o');
  cfg.saveDir = "/work/saved";
  cfg.reserved164 = -7;
  cfg.saveFilterIndex = 3;
  cfg.viewDirection = true;
  cfg.viewOrder = false;
  cfg.viewEntryPoints = false;
  cfg.viewLayers = false;
  cfg.settingsFile = std::string(255, 's');
  cfg.openFilterIndex = -2;
  cfg.travelHeight = -0.125;
  EXPECT_EQ(decodeGlobalCfg(encodeGlobalCfg(cfg)), cfg);
}

TEST(GlobalCfgRecord, LongTextsAreCutToTheirFieldsWithoutSplittingCharacters) {
  GlobalCfg cfg;
  cfg.openDir = std::string(79, 'a') + "\xC5\x82" + "tail";  // "ł" straddles the 80th byte
  cfg.settingsFile = std::string(300, 'x');
  const GlobalCfg back = decodeGlobalCfg(encodeGlobalCfg(cfg));
  EXPECT_EQ(back.openDir, std::string(79, 'a'));
  EXPECT_EQ(back.settingsFile, std::string(255, 'x'));
  EXPECT_EQ(back.saveDir, "");
}

TEST(GlobalCfgRecord, DamagedLengthBytesReadOnlyTheirField) {
  GlobalCfg cfg;
  cfg.openDir = "A";
  cfg.saveDir = "B";
  cfg.settingsFile = "C";
  Record r = encodeGlobalCfg(cfg);
  r[0] = 0xFF;  // claims 255 characters in an 81-byte field
  r[81] = 0xC8;
  r[177] = 0xFF;  // the last string: 255 fits its 256-byte field exactly
  const GlobalCfg back = decodeGlobalCfg(r);
  EXPECT_EQ(back.openDir.size(), 80u);
  EXPECT_EQ(back.openDir.substr(0, 1), "A");
  EXPECT_EQ(back.saveDir.size(), 80u);
  EXPECT_EQ(back.settingsFile.size(), 255u);
  EXPECT_EQ(back.openFilterIndex, 1);  // fields after the strings are intact
}

}  // namespace
}  // namespace trazvik::config
