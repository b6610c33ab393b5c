#include "config/global_cfg.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace trazvik::config {

namespace {

constexpr std::size_t kOpenDir = 0, kSaveDir = 81, kReserved164 = 164, kSaveFilter = 168;
constexpr std::size_t kViewDirection = 172, kViewOrder = 173, kViewEntry = 174, kViewLayers = 175;
constexpr std::size_t kSettingsFile = 177, kOpenFilter = 436, kTravelHeight = 440;
constexpr std::size_t kShortField = 81, kLongField = 256;

using Record = std::array<std::uint8_t, kGlobalCfgSize>;

void putString(Record& record, std::size_t offset, std::size_t fieldSize, const std::string& text) {
  const std::string cut = cutToField(text, fieldSize - 1);
  record[offset] = static_cast<std::uint8_t>(cut.size());
  std::memcpy(record.data() + offset + 1, cut.data(), cut.size());
}

std::string getString(std::span<const std::uint8_t, kGlobalCfgSize> bytes, std::size_t offset, std::size_t fieldSize) {
  const std::size_t length = std::min<std::size_t>(bytes[offset], fieldSize - 1);
  return std::string(reinterpret_cast<const char*>(bytes.data() + offset + 1), length);
}

void putInt(Record& record, std::size_t offset, std::int32_t value) {
  const auto bits = static_cast<std::uint32_t>(value);
  for (int i = 0; i < 4; ++i) record[offset + i] = static_cast<std::uint8_t>(bits >> (8 * i));
}

std::int32_t getInt(std::span<const std::uint8_t, kGlobalCfgSize> bytes, std::size_t offset) {
  std::uint32_t bits = 0;
  for (int i = 0; i < 4; ++i) bits |= static_cast<std::uint32_t>(bytes[offset + i]) << (8 * i);
  return static_cast<std::int32_t>(bits);
}

void putDouble(Record& record, std::size_t offset, double value) {
  const auto bits = std::bit_cast<std::uint64_t>(value);
  for (int i = 0; i < 8; ++i) record[offset + i] = static_cast<std::uint8_t>(bits >> (8 * i));
}

double getDouble(std::span<const std::uint8_t, kGlobalCfgSize> bytes, std::size_t offset) {
  std::uint64_t bits = 0;
  for (int i = 0; i < 8; ++i) bits |= static_cast<std::uint64_t>(bytes[offset + i]) << (8 * i);
  return std::bit_cast<double>(bits);
}

}  // namespace

std::string cutToField(const std::string& text, std::size_t maxBytes) {
  if (text.size() <= maxBytes) return text;
  std::size_t cut = maxBytes;
  // Step back over UTF-8 continuation bytes so no character is split.
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
  return text.substr(0, cut);
}

std::array<std::uint8_t, kGlobalCfgSize> encodeGlobalCfg(const GlobalCfg& cfg) {
  Record record{};
  putString(record, kOpenDir, kShortField, cfg.openDir);
  putString(record, kSaveDir, kShortField, cfg.saveDir);
  putInt(record, kReserved164, cfg.reserved164);
  putInt(record, kSaveFilter, cfg.saveFilterIndex);
  record[kViewDirection] = cfg.viewDirection ? 1 : 0;
  record[kViewOrder] = cfg.viewOrder ? 1 : 0;
  record[kViewEntry] = cfg.viewEntryPoints ? 1 : 0;
  record[kViewLayers] = cfg.viewLayers ? 1 : 0;
  putString(record, kSettingsFile, kLongField, cfg.settingsFile);
  putInt(record, kOpenFilter, cfg.openFilterIndex);
  putDouble(record, kTravelHeight, cfg.travelHeight);
  return record;
}

GlobalCfg decodeGlobalCfg(std::span<const std::uint8_t, kGlobalCfgSize> bytes) {
  GlobalCfg cfg;
  cfg.openDir = getString(bytes, kOpenDir, kShortField);
  cfg.saveDir = getString(bytes, kSaveDir, kShortField);
  cfg.reserved164 = getInt(bytes, kReserved164);
  cfg.saveFilterIndex = getInt(bytes, kSaveFilter);
  cfg.viewDirection = bytes[kViewDirection] != 0;
  cfg.viewOrder = bytes[kViewOrder] != 0;
  cfg.viewEntryPoints = bytes[kViewEntry] != 0;
  cfg.viewLayers = bytes[kViewLayers] != 0;
  cfg.settingsFile = getString(bytes, kSettingsFile, kLongField);
  cfg.openFilterIndex = getInt(bytes, kOpenFilter);
  // A damaged record's height is none: the default's, never a NaN or an
  // infinity handed on to the job writer.
  const double height = getDouble(bytes, kTravelHeight);
  if (std::isfinite(height)) cfg.travelHeight = height;
  return cfg;
}

}  // namespace trazvik::config
