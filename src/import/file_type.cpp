#include "import/file_type.h"

#include "geometry/units.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace trazvik::import {

namespace {

// How much of a file the content test looks at: enough for the header of
// any of the formats and many lines or instructions after it.
constexpr std::size_t kHeadBytes = 64 * 1024;

bool isLetter(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

std::string lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}

// The lines of `head`; the last one is dropped when the head was cut from a
// longer file, since it may stop in the middle.
std::vector<std::string_view> linesOf(std::string_view head, bool complete) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < head.size()) {
    const std::size_t end = head.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      if (complete) lines.push_back(head.substr(start));
      break;
    }
    lines.push_back(head.substr(start, end - start));
    start = end + 1;
    if (head[end] == '\r' && start < head.size() && head[start] == '\n') ++start;
  }
  return lines;
}

// --- DXF: pairs of lines, a whole group code and its value; the first
// entity-like group (code 0) opens a SECTION.
bool looksLikeDxf(std::string_view head, bool complete) {
  if (head.rfind("AutoCAD Binary DXF", 0) == 0) return true;
  const std::vector<std::string_view> lines = linesOf(head, complete);
  for (std::size_t i = 0; i + 1 < lines.size() && i < 200; i += 2) {
    const std::string_view code = trimmed(lines[i]);
    if (code.empty() || code.size() > 4) return false;
    int value = 0;
    for (char c : code) {
      if (!isDigit(c)) return false;
      value = value * 10 + (c - '0');
    }
    if (value == 0) {
      std::string name(trimmed(lines[i + 1]));
      return lower(name) == "section";
    }
    if (value != 999) return false;  // only comments come before the first section
  }
  return false;
}

// --- HPGL: two-letter instructions with numeric parameters between
// separators; labels and encoded polylines carry other text up to their
// terminators. Escape sequences of the printer language around HP-GL/2 and
// job-language lines are passed over.
bool knownHpglInstruction(char a, char b) {
  static constexpr const char* kNames[] = {
      "AA", "AC", "AD", "AF", "AH", "AP", "AR", "AS", "BL", "BP", "BR", "BZ", "CA", "CC", "CF", "CI", "CM", "CO",
      "CP", "CR", "CS", "CT", "CV", "DC", "DF", "DI", "DL", "DP", "DR", "DS", "DT", "DV", "EA", "EC", "EP", "ER",
      "ES", "EW", "FI", "FN", "FP", "FR", "FS", "FT", "GC", "GM", "GP", "IM", "IN", "IP", "IR", "IV", "IW", "KY",
      "LA", "LB", "LM", "LO", "LT", "MC", "MG", "MT", "NP", "NR", "OA", "OC", "OD", "OE", "OF", "OG", "OH", "OI",
      "OL", "OO", "OP", "OS", "OT", "OW", "PA", "PB", "PC", "PD", "PE", "PG", "PM", "PR", "PS", "PT", "PU", "PW",
      "QL", "RA", "RF", "RO", "RP", "RR", "RT", "SA", "SB", "SC", "SD", "SG", "SI", "SL", "SM", "SP", "SR", "SS",
      "ST", "SV", "TD", "TL", "TR", "UC", "UF", "UL", "VS", "WD", "WG", "WU", "XT", "YT"};
  const char name[3] = {a, b, 0};
  return std::any_of(std::begin(kNames), std::end(kNames), [&](const char* n) { return std::strcmp(n, name) == 0; });
}

bool hpglParameterChar(char c) {
  return isDigit(c) || c == '+' || c == '-' || c == '.' || c == ',' || c == ';' || isBlank(c);
}

// Position after an escape sequence of the plotter or printer language
// starting at `i` (the ESC).
std::size_t skipEscape(std::string_view s, std::size_t i) {
  constexpr char kEsc = 0x1b;
  ++i;
  if (i >= s.size()) return i;
  const char c = s[i++];
  if (c == '.') {
    // Device control: a few take parameters up to a colon.
    if (i >= s.size()) return i;
    if (std::strchr("@HIMNST", s[i++]) != nullptr) {
      while (i < s.size() && s[i] != ':' && s[i] != kEsc) ++i;
      if (i < s.size() && s[i] == ':') ++i;
    }
  } else if (c == '%' || c == '*' || c == '&' || c == '(' || c == ')') {
    // Parameterised printer commands end at a capital letter.
    while (i < s.size() && !(s[i] >= 'A' && s[i] <= 'Z') && s[i] != kEsc) ++i;
    if (i < s.size() && s[i] != kEsc) ++i;
  }
  return i;  // two-character sequences such as ESC E end here
}

bool looksLikeHpgl(std::string_view s, bool complete) {
  constexpr char kEtx = 0x03;
  char labelEnd = kEtx;
  int instructions = 0;
  std::size_t i = 0;
  while (i < s.size()) {
    const char c = s[i];
    if (c == 0x1b) {
      i = skipEscape(s, i);
    } else if (c == '@') {
      // A job-language line (@PJL ...).
      while (i < s.size() && s[i] != '\n') ++i;
    } else if (hpglParameterChar(c) || c == kEtx) {
      ++i;
    } else if (c == '"') {
      // A quoted name (BP).
      i = s.find('"', i + 1);
      i = i == std::string_view::npos ? s.size() : i + 1;
    } else if (isLetter(c)) {
      if (i + 1 >= s.size()) return !complete && instructions > 0;
      const char a = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      const char b = static_cast<char>(std::toupper(static_cast<unsigned char>(s[i + 1])));
      if (!knownHpglInstruction(a, b)) return false;
      ++instructions;
      i += 2;
      if ((a == 'L' && b == 'B') || (a == 'W' && b == 'D')) {
        while (i < s.size() && s[i] != labelEnd) ++i;
        ++i;
      } else if (a == 'D' && b == 'T' && i < s.size() && s[i] != ';') {
        labelEnd = s[i++];
      } else if (a == 'S' && b == 'M' && i < s.size() && s[i] != ';') {
        ++i;  // the symbol drawn at each point
      } else if (a == 'P' && b == 'E') {
        // Encoded polyline: its coordinates are letters and signs.
        while (i < s.size() && s[i] != ';') ++i;
      }
    } else {
      return false;
    }
  }
  return instructions > 0;
}

// --- G-code: lines of words, a letter and a number (or a parameter or an
// expression), after comments and block numbers are taken away.
std::string_view withoutComments(std::string_view line, std::string& buffer) {
  buffer.clear();
  bool inComment = false;
  for (char c : line) {
    if (inComment) {
      if (c == ')') inComment = false;
      continue;
    }
    if (c == '(') {
      inComment = true;
      continue;
    }
    if (c == ';') break;
    buffer.push_back(c);
  }
  return trimmed(buffer);
}

// How a line of a program reads: not a program line, an empty one, or one
// with words (and whether one of them moves or commands the machine).
enum class GcodeLine { foreign, empty, words, motion };

GcodeLine gcodeLine(std::string_view line, std::string& buffer) {
  std::string_view s = withoutComments(line, buffer);
  if (s.empty() || s == "%") return GcodeLine::empty;
  if (s.front() == '/') s.remove_prefix(1);
  if (!s.empty() && s.front() == '#') return GcodeLine::words;  // a parameter assignment
  bool motion = false;
  std::size_t i = 0;
  while (i < s.size()) {
    if (isBlank(s[i])) {
      ++i;
      continue;
    }
    if (!isLetter(s[i])) return GcodeLine::foreign;
    const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(s[i])));
    ++i;
    while (i < s.size() && isBlank(s[i])) ++i;
    if (i >= s.size()) return GcodeLine::foreign;
    if (s[i] == '#' || s[i] == '[') {
      // A value from a parameter or an expression: the reader says what it
      // makes of it.
      while (i < s.size() && !isLetter(s[i])) ++i;
    } else {
      if (s[i] == '+' || s[i] == '-') ++i;
      const std::size_t digits = i;
      while (i < s.size() && (isDigit(s[i]) || s[i] == '.')) ++i;
      if (i == digits) return GcodeLine::foreign;
    }
    motion = motion || letter == 'G' || letter == 'M' || letter == 'X' || letter == 'Y' || letter == 'Z';
  }
  return motion ? GcodeLine::motion : GcodeLine::words;
}

bool looksLikeGcode(std::string_view head, bool complete) {
  std::string buffer;
  bool motion = false;
  for (std::string_view line : linesOf(head, complete)) {
    switch (gcodeLine(line, buffer)) {
      case GcodeLine::foreign: return false;
      case GcodeLine::motion: motion = true; break;
      case GcodeLine::empty:
      case GcodeLine::words: break;
    }
  }
  return motion;
}

std::string extensionOf(const std::string& path) {
  const std::string ext = std::filesystem::path(path).extension().string();
  return ext.size() > 1 ? lower(ext.substr(1)) : std::string();
}

}  // namespace

const std::vector<tKnownExtension>& knownExtensions() {
  static const std::vector<tKnownExtension> kExtensions = {
      {"plt", kFileTypeHpgl},    {"hpgl", kFileTypeHpgl}, {"hpg", kFileTypeHpgl},  {"hgl", kFileTypeHpgl},
      {"hp", kFileTypeHpgl},     {"dxf", kFileTypeDxf},   {"nc", kFileTypeGcode},  {"ngc", kFileTypeGcode},
      {"gcode", kFileTypeGcode}, {"gc", kFileTypeGcode},  {"tap", kFileTypeGcode}, {"cnc", kFileTypeGcode},
      {"bmp", kFileTypeBitmap},
  };
  return kExtensions;
}

int fileTypeFromExtension(const std::string& path) {
  const std::string ext = extensionOf(path);
  for (const tKnownExtension& k : knownExtensions()) {
    if (ext == k.extension) return k.fileType;
  }
  return 0;
}

int fileTypeFromContent(std::string_view head, bool complete) {
  // A byte order mark of UTF-8 text says nothing about the format.
  if (head.rfind("\xEF\xBB\xBF", 0) == 0) head.remove_prefix(3);
  if (trimmed(head).empty()) return 0;
  if (looksLikeDxf(head, complete)) return kFileTypeDxf;
  if (looksLikeHpgl(head, complete)) return kFileTypeHpgl;
  if (looksLikeGcode(head, complete)) return kFileTypeGcode;
  return 0;
}

tDesignFileType designFileType(const std::string& path) {
  tDesignFileType result;
  result.fileType = fileTypeFromExtension(path);
  if (result.fileType != 0) return result;
  result.fromContent = true;
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    result.problem = path + ": the file cannot be read (" + std::strerror(errno) + ")";
    return result;
  }
  std::string head(kHeadBytes, '\0');
  in.read(head.data(), static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<std::size_t>(in.gcount()));
  const bool complete = in.eof();
  result.fileType = fileTypeFromContent(head, complete);
  if (result.fileType == 0) {
    const std::string ext = extensionOf(path);
    result.problem = path + ": " +
                     (ext.empty() ? std::string("the file has no extension")
                                  : "\"." + ext + "\" is not an extension of a design file") +
                     " and its content reads as none of an HPGL plot file, a DXF drawing or a G-code program";
  }
  return result;
}

std::string extensionPatterns(std::initializer_list<int> fileTypes) {
  std::string out;
  for (int type : fileTypes) {
    for (const tKnownExtension& k : knownExtensions()) {
      if (k.fileType != type) continue;
      if (!out.empty()) out += ';';
      out += std::string("*.") + k.extension;
    }
  }
  return out;
}

}  // namespace trazvik::import
