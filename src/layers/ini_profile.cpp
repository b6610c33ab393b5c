#include "layers/ini_profile.h"

#include "base/text.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace trazvik {

namespace {

bool sameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

// A value written in matching quotes reads without them.
std::string_view unquote(std::string_view v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
    return v.substr(1, v.size() - 2);
  }
  return v;
}

std::optional<long long> parseInteger(std::string_view text) {
  text = base::trimmedView(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  int base = 10;
  if (!text.empty() && text.front() == '$') {
    base = 16;
    text.remove_prefix(1);
  } else if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty()) return std::nullopt;
  long long value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return negative ? -value : value;
}

}  // namespace

tIniProfile tIniProfile::parse(std::string_view text) {
  tIniProfile ini;
  Section* current = nullptr;
  while (!text.empty()) {
    std::size_t eol = text.find('\n');
    std::string_view line = text.substr(0, eol);
    text = eol == std::string_view::npos ? std::string_view{} : text.substr(eol + 1);
    line = base::trimmedView(line);
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      std::size_t close = line.find(']');
      std::string_view name =
          base::trimmedView(line.substr(1, close == std::string_view::npos ? line.size() - 1 : close - 1));
      current = &ini.findOrAdd(name);
      continue;
    }
    std::size_t eq = line.find('=');
    if (current == nullptr || eq == std::string_view::npos) continue;
    std::string_view key = base::trimmedView(line.substr(0, eq));
    std::string_view value = unquote(base::trimmedView(line.substr(eq + 1)));
    bool seen = false;
    for (const auto& entry : current->entries) seen = seen || sameName(entry.first, key);
    if (!seen) current->entries.emplace_back(std::string(key), std::string(value));
  }
  return ini;
}

const tIniProfile::Section* tIniProfile::find(std::string_view section) const {
  for (const auto& s : sections_) {
    if (sameName(s.name, base::trimmedView(section))) return &s;
  }
  return nullptr;
}

tIniProfile::Section& tIniProfile::findOrAdd(std::string_view section) {
  for (auto& s : sections_) {
    if (sameName(s.name, section)) return s;
  }
  sections_.push_back(Section{std::string(section), {}});
  return sections_.back();
}

bool tIniProfile::hasSection(std::string_view section) const { return find(section) != nullptr; }

std::optional<std::string> tIniProfile::readString(std::string_view section, std::string_view key) const {
  const Section* s = find(section);
  if (s == nullptr) return std::nullopt;
  for (const auto& entry : s->entries) {
    if (sameName(entry.first, base::trimmedView(key))) return entry.second;
  }
  return std::nullopt;
}

int tIniProfile::readInteger(std::string_view section, std::string_view key, int def) const {
  auto text = readString(section, key);
  if (!text) return def;
  auto value = parseInteger(*text);
  if (!value || *value < std::numeric_limits<int>::min() || *value > std::numeric_limits<int>::max()) return def;
  return static_cast<int>(*value);
}

double tIniProfile::readFloat(std::string_view section, std::string_view key, double def) const {
  auto text = readString(section, key);
  if (!text) return def;
  return parseReal(*text).value_or(def);
}

bool tIniProfile::readBool(std::string_view section, std::string_view key, bool def) const {
  auto text = readString(section, key);
  if (!text) return def;
  auto value = parseInteger(*text);
  return value ? *value != 0 : def;
}

void tIniProfile::writeString(std::string_view section, std::string_view key, std::string_view value) {
  Section& s = findOrAdd(section);
  for (auto& entry : s.entries) {
    if (sameName(entry.first, key)) {
      entry.second = std::string(value);
      return;
    }
  }
  s.entries.emplace_back(std::string(key), std::string(value));
}

void tIniProfile::writeInteger(std::string_view section, std::string_view key, long long value) {
  writeString(section, key, std::to_string(value));
}

void tIniProfile::writeFloat(std::string_view section, std::string_view key, double value) {
  writeString(section, key, formatReal(value));
}

void tIniProfile::writeBool(std::string_view section, std::string_view key, bool value) {
  writeString(section, key, value ? "1" : "0");
}

std::string tIniProfile::text() const {
  std::string out;
  for (std::size_t i = 0; i < sections_.size(); ++i) {
    if (i > 0) out += "\r\n";
    out += "[" + sections_[i].name + "]\r\n";
    for (const auto& [key, value] : sections_[i].entries) out += key + "=" + value + "\r\n";
  }
  return out;
}

std::string formatReal(double value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
  if (value == 0) return "0";
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.15G", value);
  std::string text = buffer;
  // The C library writes the decimal point of the locale and a padded,
  // signed exponent ("1E-05", "1.5E+20"); the file wants "." and "1E-5".
  for (char& c : text) {
    if (c == ',') c = '.';
  }
  std::size_t e = text.find('E');
  if (e != std::string::npos) {
    std::string mantissa = text.substr(0, e);
    std::string exponent = text.substr(e + 1);
    const char* sign = "";
    if (!exponent.empty() && (exponent[0] == '+' || exponent[0] == '-')) {
      if (exponent[0] == '-') sign = "-";
      exponent.erase(0, 1);
    }
    while (exponent.size() > 1 && exponent[0] == '0') exponent.erase(0, 1);
    text = mantissa + "E" + sign + exponent;
  }
  return text;
}

std::optional<double> parseReal(std::string_view text) {
  text = base::trimmedView(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  double value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

}  // namespace trazvik
