// PE: polylines encoded as HPGL/2 drivers write them. Each number is a run
// of base-64 digits (base 32 after the flag "7"), lowest digit first, the
// last digit from a second range; the lowest bit of the value is the sign.
// Flags before a pair: "<" the pair is a pen-up move, "=" the pair is
// absolute (pairs are relative otherwise), ">" n the numbers have n
// fractional bits, ":" n selects pen n. The instruction ends at ";".
#include "import/plot_reader.h"
#include "import/thpgl.h"

#include <cmath>

namespace trazvik::import {

namespace {

bool isDigitByte(int c, bool sevenBit) {
  return c >= 63 && (sevenBit ? c <= 126 : (c <= 126 || (c >= 191 && c <= 254)));
}

}  // namespace

// The digits are case-sensitive bytes, so they are read as they are.
bool tPlotReader::encodedNumber(bool sevenBit, std::int64_t& value) {
  tokenAt_ = c_ >= 0 ? here() : instructionAt_;  // a number cut off by the end is shown at its instruction
  std::uint64_t magnitude = 0;
  int shift = 0;
  for (;;) {
    const int c = c_;
    if (c >= 0 && c <= ' ') {  // line breaks a driver put in the stream
      advance();
      continue;
    }
    if (!isDigitByte(c, sevenBit) || shift > 60) {
      in_.fail(tReadErrorKind::BadNumber, tokenAt_, "PE");
      return false;
    }
    advance();
    const int bits = sevenBit ? 5 : 6;
    const bool last = sevenBit ? c >= 95 : c >= 191;
    const int digit = c - (last ? (sevenBit ? 95 : 191) : 63);
    magnitude |= static_cast<std::uint64_t>(digit) << shift;
    shift += bits;
    if (last) break;
  }
  const auto half = static_cast<std::int64_t>(magnitude >> 1);
  value = (magnitude & 1) ? -half : half;
  return true;
}

void tPlotReader::encodedPolyline() {
  bool sevenBit = false, penUp = false, absolute = false;
  double fraction = 1;  // the value of one unit of the numbers
  std::int64_t x = 0, y = 0;
  while (c_ >= 0 && c_ != ';' && c_ != 0x1B && !in_.failed()) {
    const int c = c_;
    if (c == '7') {
      sevenBit = true;
      advance();
    } else if (c == '<') {
      penUp = true;
      advance();
    } else if (c == '=') {
      absolute = true;
      advance();
    } else if (c == '>' || c == ':') {
      advance();
      std::int64_t n = 0;
      if (!encodedNumber(sevenBit, n)) return;
      if (c == '>') {
        if (n < 0 || n > 26) {
          in_.fail(tReadErrorKind::BadNumber, tokenAt_, "PE>" + std::to_string(n));
          return;
        }
        fraction = std::ldexp(1.0, -static_cast<int>(n));
      } else {
        if (n < 0 || n > kMaxPen) {
          in_.fail(tReadErrorKind::PenOutOfRange, tokenAt_, "PE:" + std::to_string(n));
          return;
        }
        endFigure();
        in_.last_pen = static_cast<std::int32_t>(n);
      }
    } else if (isDigitByte(c, sevenBit)) {
      if (!encodedNumber(sevenBit, x) || !encodedNumber(sevenBit, y)) return;
      trealpoint target;
      if (!toPlotter(static_cast<double>(x) * fraction, static_cast<double>(y) * fraction, !absolute, target)) return;
      if (penUp) {
        raisePen();
        moveTo(target);
      } else {
        lowerPen();
        drawTo(target);
      }
      penUp = absolute = false;
    } else {
      advance();  // line breaks and blanks between pairs
    }
  }
  if (c_ == ';') advance();
}

}  // namespace trazvik::import
