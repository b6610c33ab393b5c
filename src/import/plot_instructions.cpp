// The instructions of plot files: what each one does to the pen, the
// figures and the reader's settings, and which ones draw nothing.
#include "geometry/numeric.h"
#include "import/plot_reader.h"
#include "import/thpgl.h"

#include <cmath>
#include <cstdio>

namespace trazvik::import {

namespace {

constexpr int code(char a, char b = 0) { return (static_cast<unsigned char>(a) << 8) | static_cast<unsigned char>(b); }

std::string shownNumber(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.10g", v);
  return buf;
}

// Instructions that draw nothing and leave the pen where it is: their
// parameters are skipped. Each group says why it does not matter here.
bool isHarmless(int command) {
  switch (command) {
    // How lines and fills look on paper (line type, fill type, pen
    // thickness, line attributes, width unit, pens and their colours,
    // transparency, merging, screening, raster fills, user line types,
    // anchor corner, chord tolerance mode): a cut follows the path, and
    // arcs are cut at the reader's own tolerance.
    case code('L', 'T'):
    case code('F', 'T'):
    case code('P', 'T'):
    case code('L', 'A'):
    case code('W', 'U'):
    case code('N', 'P'):
    case code('P', 'C'):
    case code('C', 'R'):
    case code('T', 'R'):
    case code('M', 'C'):
    case code('P', 'P'):
    case code('S', 'V'):
    case code('R', 'F'):
    case code('U', 'L'):
    case code('A', 'C'):
    case code('C', 'T'):
    // The plotter's speed, force, acceleration, quality, paper, cutter and
    // plot start: the machine has its own settings.
    case code('V', 'S'):
    case code('F', 'S'):
    case code('A', 'S'):
    case code('Q', 'L'):
    case code('P', 'S'):
    case code('E', 'C'):
    case code('B', 'P'):
    case code('N', 'R'):
    case code('R', 'P'):
    case code('M', 'T'):
    case code('C', 'O'):
    case code('M', 'G'):
    case code('G', 'C'):
    case code('D', 'C'):
    case code('D', 'P'):
    case code('K', 'Y'):
    case code('C', 'V'):
    // Questions to the plotter, answered on its serial line.
    case code('O', 'A'):
    case code('O', 'C'):
    case code('O', 'D'):
    case code('O', 'E'):
    case code('O', 'F'):
    case code('O', 'G'):
    case code('O', 'H'):
    case code('O', 'I'):
    case code('O', 'K'):
    case code('O', 'L'):
    case code('O', 'O'):
    case code('O', 'P'):
    case code('O', 'S'):
    case code('O', 'T'):
    case code('O', 'W'):
    // The look of label text (character sets, size, slant, direction,
    // spacing, origin, fonts, downloaded characters): labels are warned
    // about where they are met.
    case code('A', 'D'):
    case code('C', 'A'):
    case code('C', 'S'):
    case code('D', 'I'):
    case code('D', 'R'):
    case code('D', 'S'):
    case code('D', 'V'):
    case code('E', 'S'):
    case code('L', 'O'):
    case code('S', 'A'):
    case code('S', 'S'):
    case code('S', 'D'):
    case code('S', 'I'):
    case code('S', 'L'):
    case code('S', 'R'):
    case code('T', 'D'):
    case code('L', 'M'):
    case code('C', 'F'):
    case code('D', 'L'):
    case code('S', 'B'):
    case code('F', 'I'):
    case code('F', 'N'):
    case code('I', 'V'):
    case code('C', 'C'):
    case code('C', 'M'):
    // Polygon mode and its edges: the moves inside it are drawn as they
    // come, which is the outline that EP draws.
    case code('E', 'P'): return true;
    default: return false;
  }
}

}  // namespace

std::string plotMnemonic(int command) {
  std::string out(1, static_cast<char>(command >> 8));
  if (command & 0xFF) out += static_cast<char>(command & 0xFF);
  return out;
}

void tPlotReader::warnHere(const std::string& what) { in_.warn(what, 0, instructionAt_); }

void tPlotReader::refuse(const std::string& reason) { refuseAt(instructionAt_, reason); }

void tPlotReader::refuseAt(std::uint64_t offset, const std::string& reason) {
  if (in_.failed()) return;
  in_.fail(tReadErrorKind::Refused, offset, plotMnemonic(command));
  in_.error_.reason = reason;
}

void tPlotReader::interpret() {
  switch (command) {
    case code('P', 'A'):
      relativ = false;
      movePairs(false);
      break;
    case code('P', 'R'):
      relativ = true;
      movePairs(true);
      break;
    case code('P', 'D'):
      lowerPen();
      movePairs(relativ);
      break;
    case code('P', 'U'):
      raisePen();
      movePairs(relativ);
      break;
    case code('C'):  // one-letter forms: draw to, move to (absolute)
      lowerPen();
      movePairs(false);
      break;
    case code('M'):
      raisePen();
      movePairs(false);
      break;
    case code('P', 'E'): encodedPolyline(); break;
    case code('C', 'I'): circle(); break;
    case code('A', 'A'): arc(false); break;
    case code('A', 'R'): arc(true); break;
    case code('A', 'T'): threePointArc(false); break;
    case code('R', 'T'): threePointArc(true); break;
    case code('B', 'Z'): bezier(false); break;
    case code('B', 'R'): bezier(true); break;
    case code('E', 'A'): rectangle(false); break;
    case code('E', 'R'): rectangle(true); break;
    case code('E', 'W'): wedge(); break;
    case code('S', 'P'): selectPen(); break;
    case code('P', 'W'): setPenWidth(); break;
    case code('I', 'P'): setScalingPoints(); break;
    case code('S', 'C'): setScale(); break;
    case code('I', 'N'): initialise(true); break;
    case code('D', 'F'): initialise(false); break;
    case code('P', 'M'): polygonMode(); break;
    default: interpretOther(); break;
  }
}

// Instructions that draw nothing: settings of labels, pages and windows,
// and the harmless rest.
void tPlotReader::interpretOther() {
  double v[4];
  switch (command) {
    case code('D', 'T'): setTerminator(); return;
    case code('S', 'M'): setSymbolMode(); return;
    case code('L', 'B'):
      warnHere("label text (LB) is not cut");
      skipLabel();
      positionKnown_ = false;  // the pen moved along the text
      unknownSince_ = instructionAt_;
      return;
    case code('B', 'L'):
      warnHere("label text (BL) is not cut");
      skipLabel();
      return;
    case code('W', 'D'):  // text for the plotter's display
      skipLabel();
      return;
    case code('P', 'B'):  // prints the label of BL, warned there
    case code('C', 'P'):  // moves the pen by character cells
      skipParameters();
      positionKnown_ = false;
      unknownSince_ = instructionAt_;
      return;
    case code('U', 'C'):
      warnHere("user-defined characters (UC) are not cut");
      skipParameters();
      positionKnown_ = false;
      unknownSince_ = instructionAt_;
      return;
    case code('R', 'A'):
    case code('R', 'R'):
    case code('W', 'G'):
      warnHere("filled areas (RA, RR, WG) are not cut");
      skipParameters();
      return;
    case code('F', 'P'):
      warnHere("polygon fills (FP) are not cut, only the polygon's pen-down edges");
      skipParameters();
      return;
    case code('R', 'O'):
      if (readParameters(v, 1) == 1 && std::fmod(std::fabs(v[0]), 360) != 0)
        warnHere("rotation (RO) is not applied; the drawing keeps the file's axes");
      return;
    case code('I', 'W'):
      if (readParameters(v, 4) == 4) warnHere("the input window (IW) does not clip the drawing");
      return;
    case code('I', 'R'):
      if (scaling_.on()) {
        refuse("scaling points relative to the paper (IR) depend on the plotter");
        return;
      }
      scaling_.setPointsRelativeToPaper();
      skipParameters();
      return;
    case code('P', 'G'):
    case code('F', 'R'):
    case code('A', 'F'):
    case code('A', 'H'):
      raisePen();
      pageAdvanced_ = true;
      pageAt_ = instructionAt_;
      skipParameters();
      return;
    case code('P', 'J'):  // a job-control line of the printer language (@PJL ...)
      if ((c_ & ~0x20) == 'L') {
        skipLine();
        return;
      }
      break;
    default: break;
  }
  if (!isHarmless(command)) warnHere("unknown instruction " + plotMnemonic(command) + " is ignored");
  skipParameters();
}

void tPlotReader::movePairs(bool relative) {
  double a, b;
  while (nextNumber(a)) {
    const std::uint64_t at = tokenAt_;
    if (!nextNumber(b)) {
      if (!in_.failed()) in_.warn("a coordinate without its pair is ignored", 0, at);
      break;
    }
    tokenAt_ = at;  // a pair out of range is shown at its start
    trealpoint target;
    if (!toPlotter(a, b, relative, target)) return;
    if (isdown)
      drawTo(target);
    else
      moveTo(target);
  }
  if (!in_.failed()) skipParameters();
}

void tPlotReader::selectPen() {
  double v[1];
  const int n = readParameters(v, 1);
  if (in_.failed()) return;
  const double wanted = n >= 1 ? v[0] : 0;
  const double pen = roundEven(wanted);
  if (!(pen >= 0 && pen <= kMaxPen)) {
    in_.fail(tReadErrorKind::PenOutOfRange, instructionAt_, "SP" + shownNumber(wanted));
    return;
  }
  endFigure();  // a pen change ends the figure; the pen stays down
  in_.last_pen = static_cast<std::int32_t>(pen);
}

void tPlotReader::setPenWidth() {
  double v[2];
  const int n = readParameters(v, 2);
  if (in_.failed() || n == 0) return;  // no width given: the widths stay
  std::int32_t pen = in_.last_pen;
  if (n >= 2) {
    const double wanted = roundEven(v[1]);
    if (!(wanted >= 0 && wanted <= kMaxPen)) {
      in_.fail(tReadErrorKind::PenOutOfRange, instructionAt_, "PW" + shownNumber(v[0]) + "," + shownNumber(v[1]));
      return;
    }
    pen = static_cast<std::int32_t>(wanted);
  }
  in_.pens[static_cast<std::size_t>(pen)].width = v[0] * in_.mnoznikZ;
}

// DT t[,mode]: the character right after DT ends label text from now on;
// "DT;" brings back ETX.
void tPlotReader::setTerminator() {
  if (c_ < 0 || c_ == ';' || c_ == 0x1B || c_ == '\n' || c_ == 0) {
    labelTerminator_ = 3;
  } else {
    labelTerminator_ = c_;
    advance();
  }
  skipParameters();
}

// SM c: the character right after SM is drawn at every point from now on;
// "SM;" turns that off.
void tPlotReader::setSymbolMode() {
  if (c_ > ' ' && c_ != ';' && c_ != 0x1B) {
    warnHere("symbols drawn at the points (SM) are not cut");
    advance();
  }
  skipParameters();
}

void tPlotReader::setScalingPoints() {
  double v[4];
  const int n = readParameters(v, 4);
  if (in_.failed()) return;
  const std::string why = scaling_.setPoints(v, n >= 4 ? 4 : n >= 2 ? 2 : 0);
  if (!why.empty()) refuse(why);
}

void tPlotReader::setScale() {
  double v[7];
  const int n = readParameters(v, 7);
  if (in_.failed()) return;
  const std::string why = scaling_.setScale(v, n);
  if (!why.empty()) refuse(why);
}

// IN (the whole plotter) and DF (the drawing settings): absolute plotting,
// no scaling, ETX ends labels, polygon mode off. IN also lifts the pen and
// forgets the scaling points. The pen position stays.
void tPlotReader::initialise(bool wholeDevice) {
  relativ = false;
  labelTerminator_ = 3;
  inPolygon_ = false;
  if (wholeDevice) {
    raisePen();
    scaling_.reset();
  } else {
    scaling_.setScale(nullptr, 0);
  }
  skipParameters();
}

// PM0 opens a polygon, PM1 closes a subpolygon and opens the next, PM2
// closes the polygon. The moves inside are drawn as they come; closing a
// subpolygon draws its closing edge when the pen is down.
void tPlotReader::polygonMode() {
  double v[1];
  const int n = readParameters(v, 1);
  if (in_.failed()) return;
  const double given = n >= 1 ? v[0] : 0;
  // Another mode would be guessed at: the polygon's edges could be misread.
  if (given != 0 && given != 1 && given != 2) {
    refuse("polygon mode (PM) " + shownNumber(given) + " is not 0, 1 or 2");
    return;
  }
  const int mode = static_cast<int>(given);
  if (mode == 0) {
    inPolygon_ = true;
    polygonStart_ = xy;
    return;
  }
  if (!inPolygon_) return;
  closeSubpolygon();
  polygonStart_ = xy;
  if (mode == 2) inPolygon_ = false;
}

}  // namespace trazvik::import
