// A Windows profile (INI) file: sections in square brackets, one
// key=value per line. Reading follows the profile routines: section and key
// names ignore letter case and surrounding blanks, the first occurrence
// wins, and a value that is missing or does not read as the asked type gives
// the caller's default. Writing produces CR LF lines and numbers with "." as
// the decimal separator whatever the locale.
#pragma once
#include "no_qt.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace trazvik {

class tIniProfile {
 public:
  // Parses profile text; lines that are neither a section, a key=value pair,
  // a comment nor blank are ignored, as the profile routines do.
  static tIniProfile parse(std::string_view text);

  bool hasSection(std::string_view section) const;
  std::optional<std::string> readString(std::string_view section, std::string_view key) const;
  // Decimal integer (a "$" or "0x" prefix reads hexadecimal); default when
  // missing, not a number or out of the 32-bit range.
  int readInteger(std::string_view section, std::string_view key, int def) const;
  // Real with "." as decimal separator; default when missing or not a
  // finite number.
  double readFloat(std::string_view section, std::string_view key, double def) const;
  // Integer value, non-zero is true; default when missing or not a number.
  bool readBool(std::string_view section, std::string_view key, bool def) const;

  // Sets a value, adding the section and key in the order of first use.
  void writeString(std::string_view section, std::string_view key, std::string_view value);
  void writeInteger(std::string_view section, std::string_view key, long long value);
  void writeFloat(std::string_view section, std::string_view key, double value);
  void writeBool(std::string_view section, std::string_view key, bool value);

  // The whole file: sections separated by an empty line, CR LF line ends.
  std::string text() const;

 private:
  struct Section {
    std::string name;
    std::vector<std::pair<std::string, std::string>> entries;
  };
  const Section* find(std::string_view section) const;
  Section& findOrAdd(std::string_view section);

  std::vector<Section> sections_;
};

// A real in general format with 15 significant digits, trailing zeros
// dropped, "." as separator and an exponent form ("1E-5", "1.5E20") below
// 1E-4 and from 1E15 up in magnitude.
std::string formatReal(double value);

// Parses a whole text (surrounding blanks allowed) as a finite real with "."
// as separator; nothing when it is not one.
std::optional<double> parseReal(std::string_view text);

}  // namespace trazvik
