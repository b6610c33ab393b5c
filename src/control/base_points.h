// The remembered work zeros of the base points window: one text line per
// point as the operator sees it ("X=  120.500   Y=   80.000 corner", the
// numbers in the display unit of the moment they were added), kept in
// "base.txt" of the data folder between runs, and the rule that turns the
// machine's current position into a work zero on multi-head machines.
#pragma once
#include "no_qt.h"

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace trazvik {

namespace texts {
class tInterfejs;
}

inline constexpr const char* kBasePointsFile = "base.txt";

// An entry line: X and Y (millimetres) shown in `unit` with `decimals`
// decimals, each padded on the left to 9 characters, then the remark.
std::string basePointEntry(double xMm, double yMm, const std::string& remark, int unit, int decimals, char separator);

struct tBasePoint {
  double xMm = 0, yMm = 0;
  std::string remark;
};
// Reads an entry back, its numbers taken in `unit`; nullopt when the line
// does not hold two numbers where an entry has them.
std::optional<tBasePoint> readBasePointEntry(const std::string& line, int unit, char separator);

class tBasePointList {
 public:
  const std::vector<std::string>& entries() const { return entries_; }
  // The selected entry, -1 for none.
  int current() const { return current_; }
  void select(int index);
  // Appends the line and selects it.
  void add(std::string line);
  // Deletes the selected entry; the one now at its place (or the new
  // last one) is selected, nothing when the list is empty.
  void removeCurrent();

  // Replaces the list by the file's lines when the file exists; false
  // with `error` set (the list unchanged) when it exists but cannot be
  // read or is far too large to be a list of points.
  bool load(const std::filesystem::path& file, std::string* error = nullptr);
  // Writes the list whole through a temporary file, so that a failed
  // write leaves the previous file as it was.
  bool save(const std::filesystem::path& file, std::string* error = nullptr) const;

 private:
  std::vector<std::string> entries_;
  int current_ = -1;
};

// The machine's current position (millimetres) as the new work zero.
struct tPositionAsZero {
  double xMm = 0, yMm = 0;  // the fields' new values
  bool accepted = true;     // the window closes with OK
  std::string error;        // why not (the error box's text)
};
// Machines with two heads or more: the zero is the position less the
// selected head's offsets and must lie in the work area; otherwise the
// fields keep the position and the error names the head and the would-be zero.
tPositionAsZero positionAsZero(double xMm, double yMm, int headCount, int selectedHead,
                               const std::array<std::array<double, 2>, 3>& headOffsets,
                               const std::array<double, 3>& workArea, const texts::tInterfejs& texts, char separator);

}  // namespace trazvik
