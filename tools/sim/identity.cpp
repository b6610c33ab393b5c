#include "identity.h"

#include "controller.h"

#include <algorithm>

namespace trazvik::sim {

namespace {

// Exactly `width` characters: cut, or padded with blanks. Zero bytes would end
// the reply text early, so they become blanks too.
std::string fixed(std::string s, std::size_t width) {
  s.resize(width, ' ');
  std::replace(s.begin(), s.end(), '\0', ' ');
  return s;
}

std::string twoDigits(int v) {
  v = std::clamp(v, 0, 99);
  return std::string(1, static_cast<char>('0' + v / 10)) + static_cast<char>('0' + v % 10);
}

}  // namespace

std::vector<std::uint8_t> identityPage(const IdentityFields& f) {
  // The labels between the fields are 13 characters each, so the product
  // string starts 21 bytes and the serial number 42 bytes after the maker.
  std::string page = "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n<html><body><pre>\n";
  page += fixed(f.maker, 8);
  page += " | model:    ";
  page += fixed(f.product, 8);
  page += " | serial:   ";
  page += fixed(f.serial, 8);
  page += "\nver " + std::to_string(std::clamp(f.firmwareMajor, 0, 9)) + "." + twoDigits(f.firmwareMinor);
  page += "\n</pre></body></html>\n";
  return {page.begin(), page.end()};
}

Bytes SimController::identityReply() const {
  IdentityFields f;
  f.maker = config_.maker;
  f.product = config_.product;
  f.serial = config_.serial;
  f.firmwareMajor = config_.firmwareMajor;
  f.firmwareMinor = config_.firmwareMinor;
  return identityPage(f);
}

}  // namespace trazvik::sim
