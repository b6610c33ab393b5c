// Reading the bytes of a plot file: instruction names, number parameters,
// quoted strings, label text, and the escape sequences and job-control lines
// of the printer languages that wrap plot data.
#include "import/plot_numbers.h"
#include "import/plot_reader.h"
#include "import/thpgl.h"

namespace trazvik::import {

namespace {

constexpr int kEsc = 0x1B;

bool isLetter(int c) { return static_cast<unsigned>((c | 0x20) - 'a') < 26u; }
bool isDigit(int c) { return static_cast<unsigned>(c - '0') < 10u; }
bool isNumberChar(int c) { return isDigit(c) || c == '.' || c == '-' || c == '+'; }
// Ends the separators before a number: a number, an instruction name, an
// escape sequence or a string.
bool endsSeparators(int c) { return isNumberChar(c) || isLetter(c) || c == kEsc || c == '"' || c < 0; }

constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
// Up to this many digits the value is built exactly from a whole mantissa.
constexpr int kFastDigits = 15;

}  // namespace

bool tPlotReader::nextInstruction() {
  for (;;) {
    if (c_ < 0) return false;
    if (c_ == kEsc) {
      skipEscape();
    } else if (pclText_) {
      // Text of the printer language between plots is printed, not plotted.
      while (c_ >= 0 && c_ != kEsc) advance();
    } else if (isLetter(c_)) {
      break;
    } else if (c_ == '"') {
      skipString();
    } else {
      advance();
    }
  }
  instructionAt_ = here();
  const int first = c_ & ~0x20;
  advance();
  int second = 0;
  if (isLetter(c_)) {
    second = c_ & ~0x20;
    advance();
  }
  command = (first << 8) | second;
  return true;
}

bool tPlotReader::nextNumber(double& value) {
  for (;;) {
    int c = c_;
    while (!endsSeparators(c)) c = src_.get();
    c_ = c;
    if (!isNumberChar(c)) return false;
    if (readNumber(value)) return true;
    if (in_.failed()) return false;
    // "." alone is no number; the search goes on.
  }
}

// The run of number characters at c_: sign, digits, at most one point.
bool tPlotReader::readNumber(double& value) {
  tokenAt_ = here();
  char text[kMaxTokenLength];
  std::size_t length = 0;  // the run's true length; text keeps its start
  std::int64_t mantissa = 0;
  int digits = 0, fraction = 0;
  bool point = false, wellFormed = true;
  int c = c_;
  const bool negative = c == '-';
  if (c == '-' || c == '+') {
    text[length++] = static_cast<char>(c);
    c = src_.get();
  }
  for (; isNumberChar(c); c = src_.get()) {
    if (length < kMaxTokenLength) text[length] = static_cast<char>(c);
    ++length;
    if (isDigit(c)) {
      if (digits < kFastDigits) {
        mantissa = mantissa * 10 + (c - '0');
        if (point) ++fraction;
      }
      ++digits;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      wellFormed = false;
    }
  }
  c_ = c;
  if (length == 1 && text[0] == '.') return false;
  if (length > kMaxTokenLength) {
    in_.fail(tReadErrorKind::NumberTooLong, tokenAt_, std::string(text, kMaxTokenLength) + "...");
    return false;
  }
  if (!wellFormed || digits == 0) {
    in_.fail(tReadErrorKind::BadNumber, tokenAt_, std::string(text, length));
    return false;
  }
  if (digits > kFastDigits) return slowNumber(text, length, value);
  const double magnitude =
      fraction ? static_cast<double>(mantissa) / kPowersOfTen[fraction] : static_cast<double>(mantissa);
  value = negative ? -magnitude : magnitude;
  return true;
}

bool tPlotReader::slowNumber(const char* text, std::size_t length, double& value) {
  const auto parsed = parsePlotReal(std::string_view(text, length));
  if (!parsed) {
    in_.fail(tReadErrorKind::BadNumber, tokenAt_, std::string(text, length));
    return false;
  }
  value = *parsed;
  return true;
}

int tPlotReader::readParameters(double* values, int most) {
  int count = 0;
  double value;
  while (count < most && nextNumber(value)) values[count++] = value;
  if (!in_.failed()) skipParameters();
  return count;
}

void tPlotReader::skipParameters() {
  for (;;) {
    int c = c_;
    while (c >= 0 && !isLetter(c) && c != kEsc && c != '"') c = src_.get();
    c_ = c;
    if (c != '"') return;
    skipString();
  }
}

void tPlotReader::skipString() {
  advance();
  while (c_ >= 0 && c_ != '"') advance();
  if (c_ == '"') advance();
}

bool tPlotReader::skipLabel() {
  int c = c_;
  while (c >= 0 && c != labelTerminator_) c = src_.get();
  c_ = c < 0 ? c : src_.get();
  return c >= 0;
}

void tPlotReader::skipLine() {
  while (c_ >= 0 && c_ != '\n' && c_ != '\r') advance();
}

// Escape sequences of the plotter's device control (ESC . letter ...:) and of
// the printer language that may wrap the plot (ESC E, ESC % 1 B, ESC * c 5 X).
// They set up the device and draw nothing; text of the printer language
// between ESC % 0 A and ESC % 1 B is skipped as well.
void tPlotReader::skipEscape() {
  advance();
  if (c_ == '.') {
    advance();
    const int kind = c_ & ~0x20;
    advance();
    // These take parameters up to a colon.
    if (kind == '@' || kind == 'H' || kind == 'I' || kind == 'M' || kind == 'N' || kind == 'P' || kind == 'T' ||
        kind == 'U') {
      for (int n = 0; n < 256 && c_ >= 0 && c_ != ':' && c_ != kEsc; ++n) advance();
      if (c_ == ':') advance();
    }
    return;
  }
  if (c_ >= 0x21 && c_ <= 0x2F) {
    const bool percent = c_ == '%';
    advance();
    if (c_ >= 0x60 && c_ <= 0x7E) advance();  // group character
    for (int n = 0; n < 256 && c_ >= 0; ++n) {
      std::int64_t count = 0;
      for (; isNumberChar(c_); advance())
        if (isDigit(c_) && count < 100000000) count = count * 10 + (c_ - '0');
      const int last = c_;
      if (last < 0x40 || last > 0x7E) return;
      advance();
      if ((last | 0x20) == 'w') {  // binary data of the given length follows
        for (std::int64_t i = 0; i < count && c_ >= 0; ++i) advance();
      }
      if (last >= 0x40 && last <= 0x5E) {  // upper case ends the sequence
        if (percent && last == 'A') pclText_ = true;
        if (percent && last == 'B') pclText_ = false;
        return;
      }
    }
    return;
  }
  if (c_ >= 0x30 && c_ <= 0x7E) advance();  // two-character sequence
}

}  // namespace trazvik::import
