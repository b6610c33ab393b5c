// The page the controller's network module serves on its identity port: the
// maker's name, then the product string 21 bytes after it and the serial
// number 42 bytes after it (8 characters each), and the firmware as the text
// "ver" followed by a blank and the version, for example "ver 7.20".
#pragma once
#include "no_qt.h"

#include <cstdint>
#include <string>
#include <vector>

namespace trazvik::sim {

struct IdentityFields {
  std::string maker;    // "DORNELIS"
  std::string product;  // padded with blanks or cut to 8 characters
  std::string serial;
  int firmwareMajor = 0;
  int firmwareMinor = 0;
};

std::vector<std::uint8_t> identityPage(const IdentityFields& f);

}  // namespace trazvik::sim
