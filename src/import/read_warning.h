// What a reader met in a design file and did not draw, told to the operator
// as one line per kind of thing: how often and where it first appeared.
#pragma once
#include "no_qt.h"

#include <cstdint>
#include <string>
#include <vector>

namespace trazvik::import {

struct tReadWarning {
  std::string what;          // e.g. "label text (LB) is not cut"
  std::uint64_t count = 0;   // occurrences in the file
  std::uint64_t line = 0;    // first occurrence (from 1) in the text formats; 0 when unknown
  std::uint64_t offset = 0;  // byte offset of the first occurrence, from 0

  // One line for the operator, e.g.
  // plot.plt: byte 120: label text (LB) is not cut (3 times)
  std::string text(const std::string& fileName) const;
};

// The warnings of one read, one entry per distinct `what`, in order of first
// appearance.
class tReadWarnings {
 public:
  void add(const std::string& what, std::uint64_t line, std::uint64_t offset);
  const std::vector<tReadWarning>& list() const { return list_; }
  bool empty() const { return list_.empty(); }
  void clear() { list_.clear(); }

 private:
  std::vector<tReadWarning> list_;
};

}  // namespace trazvik::import
