#include "import/read_error.h"

#include <cstring>

namespace trazvik::import {

namespace {

const char* describe(tReadErrorKind kind) {
  switch (kind) {
    case tReadErrorKind::None: return "no error";
    case tReadErrorKind::BadWholeNumber: return "a whole number is expected here";
    case tReadErrorKind::BadNumber: return "a number is expected here";
    case tReadErrorKind::NumberTooLong: return "the number is too long";
    case tReadErrorKind::PenOutOfRange: return "the pen number is outside 0 to 1024";
    case tReadErrorKind::LineTooLong: return "the line is too long";
    case tReadErrorKind::ReadFailed: return "the file could not be read";
    case tReadErrorKind::UnsupportedType: return "this file type cannot be read";
    case tReadErrorKind::BadGroupCode: return "a group code (a whole number) is expected here";
    case tReadErrorKind::BinaryDxf: return "a binary DXF drawing cannot be read; save it as ASCII DXF";
    case tReadErrorKind::OutOfRange: return "a point lies farther than 10 km from the origin";
    case tReadErrorKind::Refused: return "this cannot be read safely";
  }
  return "unknown error";
}

}  // namespace

std::string tReadError::text() const {
  if (kind == tReadErrorKind::UnsupportedType) return fileName + ": " + describe(kind) + " (type " + token + ")";
  const std::string place = line > 0 ? "line " + std::to_string(line) : "byte " + std::to_string(offset);
  std::string out =
      fileName + ": " + place + ": " + (kind == tReadErrorKind::Refused && !reason.empty() ? reason : describe(kind));
  if (kind == tReadErrorKind::ReadFailed && osError != 0) out += std::string(" (") + std::strerror(osError) + ")";
  if (!token.empty()) out += ", found \"" + token + "\"";
  return out;
}

}  // namespace trazvik::import
