// The global configuration "Halvorek.cfg": one binary record of 448 bytes
// with the last folders, the view options, the current settings file and
// the travel height. Strings are a length byte and 8-bit characters;
// integers 32-bit little-endian; the travel height an IEEE 754 double.
#pragma once
#include "no_qt.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace trazvik::config {

inline constexpr std::size_t kGlobalCfgSize = 448;
inline constexpr const char* kGlobalCfgName = "Halvorek.cfg";
inline constexpr const char* kDefaultSettingsName = "Settings.mcc";

struct GlobalCfg {
  std::string openDir;           // at most 80 characters
  std::string saveDir;           // at most 80 characters
  std::int32_t reserved164 = 1;  // kept as read
  std::int32_t saveFilterIndex = 1;
  bool viewDirection = false;
  bool viewOrder = false;
  bool viewEntryPoints = true;
  bool viewLayers = true;
  std::string settingsFile = kDefaultSettingsName;  // at most 255 characters
  std::int32_t openFilterIndex = 1;
  double travelHeight = 0.0;

  bool operator==(const GlobalCfg&) const = default;
};

// The record's bytes; strings longer than their field are cut (never past a
// whole UTF-8 character), unused bytes are zero.
std::array<std::uint8_t, kGlobalCfgSize> encodeGlobalCfg(const GlobalCfg& cfg);

// Reads a record. A length byte larger than its field (a damaged file) reads
// only as many characters as the field holds.
GlobalCfg decodeGlobalCfg(std::span<const std::uint8_t, kGlobalCfgSize> bytes);

// `text` cut to at most `maxBytes` bytes without splitting a UTF-8 character.
std::string cutToField(const std::string& text, std::size_t maxBytes);

}  // namespace trazvik::config
