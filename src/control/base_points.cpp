#include "control/base_points.h"

#include "base/atomic_file.h"
#include "config/flt_edit.h"
#include "config/number_text.h"
#include "texts/interfejs.h"

#include <cmath>
#include <fstream>
#include <sstream>

namespace trazvik {

namespace {

constexpr std::size_t kNumberWidth = 9;
constexpr std::size_t kRemarkOffset = 12;  // from the "Y=" to the remark
constexpr std::size_t kRemarkLength = 28;
// Far beyond any list an operator keeps; a larger file is no list of points.
constexpr std::uintmax_t kLargestFile = 1 << 20;

std::string padded(std::string text) {
  if (text.size() < kNumberWidth) text.insert(0, kNumberWidth - text.size(), ' ');
  return text;
}

std::optional<double> numberAfter(const std::string& line, std::size_t at, char separator) {
  if (at == std::string::npos || at + 2 > line.size()) return std::nullopt;
  return config::parseDecimal(std::string_view(line).substr(at + 2, kNumberWidth), separator);
}

}  // namespace

std::string basePointEntry(double xMm, double yMm, const std::string& remark, int unit, int decimals, char separator) {
  const double factor = config::unitFactor(unit);
  return "X=" + padded(config::formatFixed(xMm / factor, decimals, separator)) +
         "   Y=" + padded(config::formatFixed(yMm / factor, decimals, separator)) + " " + remark;
}

std::optional<tBasePoint> readBasePointEntry(const std::string& line, int unit, char separator) {
  const std::size_t xAt = line.find("X=");
  const std::size_t yAt = line.find("Y=");
  const std::optional<double> x = numberAfter(line, xAt, separator);
  const std::optional<double> y = numberAfter(line, yAt, separator);
  if (!x || !y) return std::nullopt;
  const double factor = config::unitFactor(unit);
  tBasePoint p{*x * factor, *y * factor, {}};
  if (yAt + kRemarkOffset < line.size()) p.remark = line.substr(yAt + kRemarkOffset, kRemarkLength);
  return p;
}

void tBasePointList::select(int index) {
  current_ = index >= 0 && index < static_cast<int>(entries_.size()) ? index : -1;
}

void tBasePointList::add(std::string line) {
  entries_.push_back(std::move(line));
  current_ = static_cast<int>(entries_.size()) - 1;
}

void tBasePointList::removeCurrent() {
  if (current_ < 0) return;
  entries_.erase(entries_.begin() + current_);
  if (current_ >= static_cast<int>(entries_.size())) current_ = static_cast<int>(entries_.size()) - 1;
}

bool tBasePointList::load(const std::filesystem::path& file, std::string* error) {
  std::error_code ec;
  if (!std::filesystem::exists(file, ec)) return true;
  const std::uintmax_t size = std::filesystem::file_size(file, ec);
  if (!ec && size > kLargestFile) {
    if (error) *error = file.string() + " is too large for a list of base points";
    return false;
  }
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    if (error) *error = "Cannot read " + file.string();
    return false;
  }
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
  }
  if (in.bad()) {
    if (error) *error = "Cannot read " + file.string();
    return false;
  }
  entries_ = std::move(lines);
  current_ = -1;
  return true;
}

bool tBasePointList::save(const std::filesystem::path& file, std::string* error) const {
  std::string content;
  for (const std::string& e : entries_) content += e + "\n";
  return base::writeFileAtomically(file, content, error);
}

tPositionAsZero positionAsZero(double xMm, double yMm, int headCount, int selectedHead,
                               const std::array<std::array<double, 2>, 3>& headOffsets,
                               const std::array<double, 3>& workArea, const texts::tInterfejs& texts, char separator) {
  tPositionAsZero r{xMm, yMm, true, {}};
  if (headCount < 2) return r;
  // Heads beyond the third have no offsets.
  const bool known = selectedHead >= 0 && selectedHead < 3;
  const double ox = known ? headOffsets[static_cast<std::size_t>(selectedHead)][0] : 0;
  const double oy = known ? headOffsets[static_cast<std::size_t>(selectedHead)][1] : 0;
  const double zx = xMm - ox, zy = yMm - oy;
  if (zx >= 0 && zx <= workArea[0] && zy >= 0 && zy <= workArea[1]) {
    r.xMm = zx;
    r.yMm = zy;
    return r;
  }
  const auto t = [&](const char* key) { return texts.dajTxt("Base_Selection", key); };
  r.accepted = false;
  r.error = t("msgPktZerowyPozaObszarem") + "\n\r\n\r" + t("msgPktZerowyDozwolonyObszar") + " (" +
            std::to_string(std::lround(workArea[0])) + ";" + std::to_string(std::lround(workArea[1])) + ")." + "\n\r" +
            t("msgPktZerowyDowolnaGlowica") + "\n\r\n\r" + t("msgPktZerowyWskazujeGlowica") +
            std::to_string(selectedHead + 1) + "." + "\n\r" + t("msgPktZerowyBylbyWmiejscu") + " ( " +
            config::formatGeneral(zx, separator) + " ; " + config::formatGeneral(zy, separator) + " ).";
  return r;
}

}  // namespace trazvik
