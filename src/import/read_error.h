// Why reading a design file stopped, with the place in the file.
#pragma once
#include "no_qt.h"

#include <cstdint>
#include <string>

namespace trazvik::import {

enum class tReadErrorKind {
  None,
  BadWholeNumber,   // a whole number holds a fraction or is malformed
  BadNumber,        // a real number is malformed
  NumberTooLong,    // a number token longer than any sane number
  PenOutOfRange,    // a pen number outside 0..1024 in PW or SP
  LineTooLong,      // a text line longer than any sane line (DXF, G-code)
  ReadFailed,       // the operating system failed a read
  UnsupportedType,  // no reader for the file type
  BadGroupCode,     // a DXF group code line that is not a whole number
  BinaryDxf,        // a binary DXF drawing
  OutOfRange,       // a point farther than 10 km from the origin
  Refused,          // a construct the reader would misread; `reason` says which
};

struct tReadError {
  tReadErrorKind kind = tReadErrorKind::None;
  std::string fileName;
  std::uint64_t offset = 0;  // byte offset of the token in the file, from 0
  std::uint64_t line = 0;    // line number (from 1) in the text formats; 0 when unknown
  std::string token;         // the offending text (shortened when huge)
  int osError = 0;           // for ReadFailed
  std::string reason;        // for Refused, e.g. "cutter compensation (G41/G42) is not supported"

  explicit operator bool() const { return kind != tReadErrorKind::None; }

  // One line for the operator, e.g.
  // plot.plt: byte 120: a whole number is expected here, found "10.5"
  // part.nc: line 12: a number is expected here, found "X1-2"
  std::string text() const;
};

}  // namespace trazvik::import
