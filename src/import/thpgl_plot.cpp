// Thpgl for plot files: the tokenizer, the instruction reader and the
// interpreter that turns pen moves into figures.
//
// Pen positions follow the plotter's rules: PA and PR switch between
// absolute and relative plotting, PU and PD move in the current mode, and a
// relative pair starts from the last position reached. Instructions other
// than moves never change the pen position, whatever their parameters.
#include "geometry/numeric.h"
#include "geometry/points.h"
#include "import/plot_numbers.h"
#include "import/thpgl.h"

#include <cstdio>

namespace trazvik::import {

namespace {

constexpr int code(char a, char b = 0) { return (static_cast<unsigned char>(a) << 8) | static_cast<unsigned char>(b); }

constexpr int kPW = code('P', 'W');
constexpr int kSP = code('S', 'P');
constexpr int kPR = code('P', 'R');
constexpr int kPD = code('P', 'D');
constexpr int kPA = code('P', 'A');
constexpr int kPU = code('P', 'U');
constexpr int kC = code('C');
constexpr int kM = code('M');

bool isLetter(int c) { return c >= 'A' && c <= 'Z'; }
bool isNumberChar(int c) { return (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+'; }

std::string shownNumber(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.10g", v);
  return buf;
}

}  // namespace

void Thpgl::startPlotFile() {
  atEnd_ = false;
  pending_ = false;
  command.clear();
  commandCode_ = 0;
  relativ = false;
  isdown = false;
  element.clear();
  xy = lastxy = lastpaxy = {};
  last_pen = 0;
  readChar();
  EndOfFile = atEnd_;
}

void Thpgl::readChar() {
  const int c = f.get();
  if (c < 0) [[unlikely]] {
    reachEnd();
    return;
  }
  ch = (c >= 'a' && c <= 'z') ? c - ('a' - 'A') : c;
}

void Thpgl::reachEnd() {
  atEnd_ = true;
  ch = ' ';
  if (f.readError() != 0) fail(tReadErrorKind::ReadFailed, f.offset(), "", f.readError());
}

void Thpgl::readToken() {
  isdigit = false;
  iscommand = false;
  element.clear();
  tokenLength_ = 0;
  while (!atEnd_) {
    if (isLetter(ch)) {
      tokenOffset_ = f.offset() - 1;
      element.push_back(static_cast<char>(ch));
      readChar();
      if (isLetter(ch)) {
        element.push_back(static_cast<char>(ch));
        readChar();
      }
      tokenLength_ = element.size();
      iscommand = true;
      return;
    }
    if (isNumberChar(ch)) {
      readNumberToken();
      if (tokenLength_ != 1 || element[0] != '.') {
        isdigit = true;
        return;
      }
      element.clear();  // "." alone is no number
      tokenLength_ = 0;
      continue;
    }
    readChar();
  }
}

// Takes the run of number characters at ch into element and, for the usual
// plain whole number (sign, up to 10 digits, within 32 bits), its value.
void Thpgl::readNumberToken() {
  tokenOffset_ = f.offset() - 1;
  std::int64_t magnitude = 0;
  int digits = 0;
  bool plain = true;
  const bool negative = ch == '-';
  if (ch >= '0' && ch <= '9') {
    magnitude = ch - '0';
    digits = 1;
  } else if (ch == '.') {
    plain = false;
  }
  element.push_back(static_cast<char>(ch));
  tokenLength_ = 1;
  readChar();
  while (!atEnd_ && isNumberChar(ch)) {
    if (ch >= '0' && ch <= '9') {
      if (digits < 11) magnitude = magnitude * 10 + (ch - '0');
      ++digits;
    } else {
      plain = false;
    }
    if (element.size() < kMaxTokenLength) element.push_back(static_cast<char>(ch));
    ++tokenLength_;
    readChar();
  }
  const std::int64_t value = negative ? -magnitude : magnitude;
  tokenIsWhole_ = plain && digits > 0 && digits <= 10 && value >= INT32_MIN && value <= INT32_MAX;
  tokenWhole_ = static_cast<std::int32_t>(tokenIsWhole_ ? value : 0);
}

bool Thpgl::isMoveCommand() const {
  return commandCode_ == kPA || commandCode_ == kPR || commandCode_ == kPU || commandCode_ == kPD ||
         commandCode_ == kC || commandCode_ == kM;
}

trealpoint Thpgl::pairTarget(double a, double b) const {
  const bool relative = commandCode_ == kPR || (relativ && (commandCode_ == kPU || commandCode_ == kPD));
  if (relative) return {lastpaxy.x + a, lastpaxy.y + b};
  return {a, b};
}

// Reads the number pair that starts at the current token: the first number
// real (right after an instruction name) or whole, the second always whole.
bool Thpgl::readPair(bool firstIsReal) {
  for (int i = 0; i < 2; ++i) {
    double value;
    if (tokenIsWhole_) {
      value = tokenWhole_;
    } else if (!slowNumber(i == 0 && firstIsReal, value)) {
      return false;
    }
    param[static_cast<std::size_t>(i)] = value;
    il_param = i + 1;
    readToken();
    if (!isdigit) break;
  }
  if (il_param == 2 && isMoveCommand()) xy = pairTarget(param[0], param[1]);
  return true;
}

// The current number token when it is not a plain whole number: a real
// where one is allowed, otherwise an error with its place.
bool Thpgl::slowNumber(bool real, double& value) {
  if (tokenLength_ > kMaxTokenLength) {
    fail(tReadErrorKind::NumberTooLong, tokenOffset_, element + "...");
    return false;
  }
  if (real) {
    const auto parsed = parsePlotReal(element);
    if (!parsed) {
      fail(tReadErrorKind::BadNumber, tokenOffset_, element);
      return false;
    }
    value = *parsed;
    return true;
  }
  const auto whole = parsePlotWhole(element);
  if (!whole) {
    fail(tReadErrorKind::BadWholeNumber, tokenOffset_, element);
    return false;
  }
  value = *whole;
  return true;
}

// One instruction with at most one parameter pair, or one further pair of
// the current instruction. False when nothing was read.
bool Thpgl::readInstruction() {
  il_param = 0;
  instructionOffset_ = tokenOffset_;
  if (iscommand) {
    command.assign(element, 0, 2);
    commandCode_ = code(command[0], command.size() > 1 ? command[1] : 0);
    readToken();
    if (isdigit) readPair(true);
    return !failed();
  }
  if (isdigit) {
    readPair(false);
    return !failed();
  }
  readToken();
  return false;
}

void Thpgl::readPlotFigure(tfigura& fig) {
  points_.clear();
  readPlotInstructions(fig);
  fig.p.assign(points_.begin(), points_.end());  // one allocation of the exact size
}

void Thpgl::readPlotInstructions(tfigura& fig) {
  fig.org_color = last_pen;
  EndOfFig = false;
  isdown = false;
  while (true) {
    if (pending_) {
      pending_ = false;
      interpret(fig);
      if (failed()) return;
    }
    if (atEnd_) break;
    lastxy = xy;
    pending_ = readInstruction();
    if (failed()) return;
    if (EndOfFig) break;
  }
  // An instruction read at the very end is still waiting for the next call.
  EndOfFile = atEnd_ && !pending_;
}

void Thpgl::appendPoint(const trealpoint& pt) {
  if (points_.empty() || !samePoint(points_.back(), pt)) points_.push_back(pt);
}

void Thpgl::startFigureAt(tfigura& fig, const trealpoint& first) {
  fig.org_color = last_pen;
  fig.width = pens[static_cast<std::size_t>(last_pen)].width;
  appendPoint(first);
}

void Thpgl::penDown(tfigura& fig) {
  if (!isdown) startFigureAt(fig, lastxy);
  isdown = true;
  appendPoint(xy);
  lastpaxy = xy;
}

void Thpgl::selectPen() {
  const double wanted = il_param >= 1 ? param[0] : 0;
  const double pen = roundEven(wanted);
  if (!(pen >= 0 && pen <= kMaxPen)) {
    fail(tReadErrorKind::PenOutOfRange, instructionOffset_, "SP" + shownNumber(wanted));
    return;
  }
  last_pen = static_cast<std::int32_t>(pen);
}

void Thpgl::setPenWidth() {
  if (il_param == 0) return;  // no width given: the widths stay
  std::int32_t pen = last_pen;
  if (il_param >= 2) {
    const double wanted = roundEven(param[1]);
    if (!(wanted >= 0 && wanted <= kMaxPen)) {
      fail(tReadErrorKind::PenOutOfRange, instructionOffset_, "PW" + shownNumber(param[0]) + "," + shownNumber(param[1]));
      return;
    }
    pen = static_cast<std::int32_t>(wanted);
  }
  pens[static_cast<std::size_t>(pen)].width = param[0] * mnoznikZ;
}

void Thpgl::interpret(tfigura& fig) {
  switch (commandCode_) {
    case kPW: setPenWidth(); break;
    case kSP:
      selectPen();
      if (isdown) EndOfFig = true;
      break;
    case kPD: penDown(fig); break;
    case kPA:
    case kPR:
      relativ = commandCode_ == kPR;
      if (isdown) penDown(fig);
      else lastpaxy = xy;
      break;
    case kPU:
      if (isdown) {
        isdown = false;
        EndOfFig = true;
        fig.org_color = last_pen;
        fig.width = pens[static_cast<std::size_t>(last_pen)].width;
      }
      lastpaxy = xy;
      break;
    case kC:
      if (!isdown) appendPoint(lastpaxy);
      isdown = true;
      appendPoint(xy);
      lastpaxy = xy;
      break;
    case kM:
      if (isdown) {
        isdown = false;
        EndOfFig = true;
      }
      lastpaxy = xy;
      break;
    default: break;  // other instructions do not move the pen
  }
}

}  // namespace trazvik::import
