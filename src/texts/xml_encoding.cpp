#include "texts/xml_encoding.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <iconv.h>

namespace trazvik::texts {
namespace {

bool startsWithByteOrderMark(const std::string& bytes) {
  auto starts = [&](std::initializer_list<unsigned char> mark) {
    return bytes.size() >= mark.size() &&
           std::equal(mark.begin(), mark.end(), bytes.begin(),
                      [](unsigned char m, char b) { return m == static_cast<unsigned char>(b); });
  };
  return starts({0xEF, 0xBB, 0xBF}) || starts({0xFF, 0xFE}) || starts({0xFE, 0xFF}) || starts({0x00, 0x00, 0xFE, 0xFF});
}

// UTF-16 or UTF-32 without a byte order mark: "<" followed or preceded by NULs.
bool looksWide(const std::string& bytes) {
  return bytes.size() >= 4 && std::find(bytes.begin(), bytes.begin() + 4, '\0') != bytes.begin() + 4;
}

bool pugixmlReadsItself(const std::string& encoding) {
  static const std::array<const char*, 7> known = {"", "utf-8", "utf8", "us-ascii", "ascii", "iso-8859-1", "latin1"};
  return std::find(known.begin(), known.end(), encoding) != known.end();
}

bool convertToUtf8(const std::string& from, const std::string& bytes, std::string& utf8, std::string& error) {
  iconv_t converter = ::iconv_open("UTF-8", from.c_str());
  if (converter == reinterpret_cast<iconv_t>(-1)) {
    error = "unknown encoding \"" + from + "\"";
    return false;
  }
  std::string input = bytes;
  char* in = input.data();
  std::size_t inLeft = input.size();
  utf8.clear();
  std::array<char, 4096> chunk{};
  bool ok = true;
  while (inLeft > 0) {
    char* out = chunk.data();
    std::size_t outLeft = chunk.size();
    const std::size_t result = ::iconv(converter, &in, &inLeft, &out, &outLeft);
    utf8.append(chunk.data(), chunk.size() - outLeft);
    if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
      error = "bytes that are not valid " + from + " at byte " + std::to_string(input.size() - inLeft);
      ok = false;
      break;
    }
  }
  ::iconv_close(converter);
  return ok;
}

}  // namespace

std::string declaredEncoding(const std::string& bytes) {
  if (bytes.compare(0, 5, "<?xml") != 0) return {};
  const std::size_t end = bytes.find("?>");
  if (end == std::string::npos) return {};
  const std::string declaration = bytes.substr(0, end);
  const std::size_t at = declaration.find("encoding");
  if (at == std::string::npos) return {};
  const std::size_t open = declaration.find_first_of("\"'", at);
  if (open == std::string::npos) return {};
  const std::size_t close = declaration.find(declaration[open], open + 1);
  if (close == std::string::npos) return {};
  std::string name = declaration.substr(open + 1, close - open - 1);
  std::transform(name.begin(), name.end(), name.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return name;
}

bool prepareXml(std::string bytes, PreparedXml& prepared, std::string& error) {
  if (startsWithByteOrderMark(bytes) || looksWide(bytes)) {
    prepared = {std::move(bytes), pugi::encoding_auto};
    return true;
  }
  const std::string encoding = declaredEncoding(bytes);
  if (pugixmlReadsItself(encoding)) {
    prepared = {std::move(bytes), pugi::encoding_auto};
    return true;
  }
  std::string utf8;
  if (!convertToUtf8(encoding, bytes, utf8, error)) return false;
  prepared = {std::move(utf8), pugi::encoding_utf8};
  return true;
}

}  // namespace trazvik::texts
