// G-code lines into moves: the codes of a line in the order a control
// carries them out (units, distance modes, feed, spindle, then the move),
// and the figures made of the moves.
#include "import/gcode_reader.h"

#include "geometry/numeric.h"
#include "import/thpgl.h"

#include <algorithm>
#include <cmath>

namespace trazvik::import {

namespace {

bool isCycle(int mode) { return mode >= 81 && mode <= 83; }

double limited(double v, double lo, double hi) {
  if (hi > 0 && v > hi) return hi;
  return v < lo ? lo : v;
}

constexpr std::uint32_t bit(char letter) { return 1u << (letter - 'A'); }

}  // namespace

void tGcodeReader::reset() {
  gMode = -1;
  gUnit = 1;
  gIncremental = false;
  gArcAbsolute = settings.chkAbsolutArcPos;
  gPlane = 17;
  gRetractToStart = true;
  gFeed = gSpindle = 0;
  gPos = {};
  gHasPos = false;
  gEndMode = 1;
  gEndFeed = 0;
  text_.clear();
  line_ = 0;
  fileAtEnd_ = in_.EndOfFile;
  programStarted_ = programEnded_ = false;
  unknownAxes_ = 0;
  spindleStopped_ = false;
  cycleHasR_ = cycleHasZ_ = false;
  cycleR_ = cycleZ_ = cycleQ_ = cycleStartZ_ = 0;
  queue_.clear();
  head_ = 0;
}

std::string tGcodeReader::lineToken() const {
  std::string t = text_;
  while (!t.empty() && static_cast<unsigned char>(t.back()) <= ' ') t.pop_back();
  const std::size_t first = t.find_first_not_of(" \t");
  t = first == std::string::npos ? std::string() : t.substr(first);
  return t.size() > 40 ? t.substr(0, 40) + "..." : t;
}

bool tGcodeReader::refuse(const std::string& reason, const std::string& token) {
  in_.failAtLine(tReadErrorKind::Refused, line_, token, reason);
  return false;
}

void tGcodeReader::warn(const std::string& what) { in_.warn(what, line_, 0); }

bool tGcodeReader::readBlock() {
  if (programEnded_ || fileAtEnd_ || in_.failed()) return false;
  in_.readLine(text_);
  ++line_;
  fileAtEnd_ = in_.EndOfFile;
  if (in_.failed()) return false;
  tGcodeLineProblem problem;
  if (!parseGcodeLine(text_, block_, problem)) {
    if (problem.badNumber)
      in_.failAtLine(tReadErrorKind::BadNumber, line_, problem.token);
    else
      refuse(problem.reason, problem.token);
    return false;
  }
  return interpret(block_);
}

bool tGcodeReader::interpret(const tGcodeBlock& b) {
  if (b.percent) {
    // The "%" before a program opens it, the one after closes it.
    if (programStarted_) programEnded_ = true;
    return true;
  }
  if (b.unclosedComment) warn("a comment without its closing \")\" runs to the end of the line");
  if (b.empty()) return true;
  // Controls start with the block-delete switch off: the line runs.
  if (b.blockDelete) warn("lines marked for block delete (/) are read as with the switch off");
  if (b.has('O')) {
    // A program number alone on the program's first line names it; any
    // other O word is a subprogram or a loop.
    const bool programNumber =
        !programStarted_ && (b.letters & ~(bit('O') | bit('N'))) == 0 && b.gCount == 0 && b.mCount == 0;
    if (!programNumber) return refuse("subprograms and program flow (O words) are not read", lineToken());
  }
  programStarted_ = true;
  int motion = -1, machine = 0;
  bool cancelCycle = false, dwell = false;
  if (!takeCodes(b, motion, machine, cancelCycle, dwell) || !takeMcodes(b)) return false;
  const bool wasCycle = isCycle(gMode);
  if (cancelCycle && motion < 0) gMode = -1;
  if (motion >= 0) gMode = motion;
  if (isCycle(gMode) && !wasCycle) {
    // The cycle starts here: its retract height, and R, Z, Q are new.
    cycleStartZ_ = gPos.z;
    cycleHasR_ = cycleHasZ_ = false;
    cycleQ_ = 0;
  }
  if (!checkLetters(b)) return false;
  if (b.has('F')) gFeed = limited(b['F'] * gUnit, settings.minFeed, settings.maxFeed);
  if (b.has('S')) gSpindle = limited(b['S'], settings.minSpindle, settings.maxSpindle);
  if (dwell) {
    // A dwell line does not move: its time is P, or X in some controls.
    if (machine != 0 || b.has('Y') || b.has('Z') || b.has('I') || b.has('J') || b.has('R'))
      return refuse("a dwell (G4) on a line that moves", lineToken());
    return true;
  }
  return machine != 0 ? machineMove(b, machine) : move(b);
}

bool tGcodeReader::takeCodes(const tGcodeBlock& b, int& motion, int& machine, bool& cancelCycle, bool& dwell) {
  for (int i = 0; i < b.gCount; ++i) {
    const int c = b.g[i];
    switch (c) {
      case 0:
      case 10:
      case 20:
      case 30:
      case 810:
      case 820:
      case 830:
        if (motion >= 0) return refuse("two motion codes on one line", gcodeWordText('G', c));
        motion = c / 10;
        break;
      case 800: cancelCycle = true; break;
      // The plane matters to arcs and drilling only; they refuse G18/G19.
      case 170:
      case 180:
      case 190: gPlane = c / 10; break;
      case 200: gUnit = 25.4; break;
      case 210: gUnit = 1; break;
      case 900: gIncremental = false; break;
      case 910: gIncremental = true; break;
      case 901: gArcAbsolute = true; break;
      case 911: gArcAbsolute = false; break;
      case 980: gRetractToStart = true; break;
      case 990: gRetractToStart = false; break;
      case 280:
      case 300:
      case 530:
        if (machine != 0) return refuse("two moves to machine positions on one line", gcodeWordText('G', c));
        machine = c / 10;
        break;
      case 40: dwell = true; break;
      // No geometry: exact stop (G9); polar coordinates, scaling and
      // rotation off (G15, G50, G69: the program is read unscaled and
      // unturned, their G16, G51, G68 are refused); storing the home
      // positions (G28.1, G30.1); cutter compensation off (G40); tool length
      // offsets (G43, G43.1, G49: program Z is the tool tip either way); the
      // first work offset (G54, the one the job's zero stands for); path
      // blending (G61, G61.1, G64); feed per minute (G94, the way F is read);
      // spindle speed in turns per minute (G97, the way S is read).
      case 90:
      case 150:
      case 281:
      case 301:
      case 400:
      case 430:
      case 431:
      case 490:
      case 500:
      case 540:
      case 610:
      case 611:
      case 640:
      case 690:
      case 940:
      case 970: break;
      case 410:
      case 411:
      case 420:
      case 421: return refuse("cutter radius compensation (G41, G42) is not read", gcodeWordText('G', c));
      case 100:
      case 520:
      case 920:
      case 921:
      case 922:
      case 923: return refuse("offsets set by the program (G10, G52, G92) are not read", gcodeWordText('G', c));
      case 541:
      case 550:
      case 560:
      case 570:
      case 580:
      case 590:
      case 591:
      case 592:
      case 593: return refuse("work offsets other than G54 (G55 to G59) are not read", gcodeWordText('G', c));
      case 930:
      case 950: return refuse("feeds other than per minute (G93, G95) are not read", gcodeWordText('G', c));
      default: return refuse("this G code is not read", gcodeWordText('G', c));
    }
  }
  return true;
}

bool tGcodeReader::takeMcodes(const tGcodeBlock& b) {
  for (int i = 0; i < b.mCount; ++i) {
    const int c = b.m[i];
    switch (c) {
      case 0:
      case 1: warn("program stops (M0, M1) are not made: the job runs through"); break;
      case 2:
      case 30: programEnded_ = true; break;  // after this line's move
      case 3:
      case 4: spindleStopped_ = false; break;
      case 5: spindleStopped_ = true; break;
      // No geometry: tool change (M6, like the tool words T, H, D), coolant
      // and mist (M7, M8, M9), override switches (M48, M49).
      case 6:
      case 7:
      case 8:
      case 9:
      case 48:
      case 49: break;
      case 98:
      case 99: return refuse("subprogram calls (M98, M99) are not read", gcodeWordText('M', c * 10));
      default: warn(gcodeWordText('M', c * 10) + " is not carried out"); break;
    }
  }
  return true;
}

// Letters that only make sense with some motion, and letters never read.
// Harmless anywhere: N (line number), T, H, D (tool and offset numbers), P
// (dwell time, blending tolerance), Q outside G83 (blending), L outside
// drilling (no meaning without G10 or a subprogram, both refused).
bool tGcodeReader::checkLetters(const tGcodeBlock& b) {
  for (const char axis : {'A', 'B', 'C', 'U', 'V', 'W'}) {
    if (b.has(axis)) return refuse("axes other than X, Y and Z are not read", std::string(1, axis));
  }
  if (b.has('E')) return refuse("this word is not read", "E");
  const bool arc = gMode == 2 || gMode == 3;
  const bool cycle = isCycle(gMode);
  if ((b.has('I') || b.has('J')) && !arc)
    return refuse("I and J give an arc's centre; this line has no arc", lineToken());
  if (b.has('K') && !cycle && !(arc && b['K'] == 0))
    return refuse("K has no meaning here (arcs are read in the XY plane)", lineToken());
  if (b.has('R') && !arc && !cycle) return refuse("R belongs to an arc or a drilling cycle", lineToken());
  return true;
}

unsigned tGcodeReader::axesOf(const tGcodeBlock& b) const {
  return (b.has('X') ? 1u : 0u) | (b.has('Y') ? 2u : 0u) | (b.has('Z') ? 4u : 0u);
}

trpoint3d tGcodeReader::targetOf(const tGcodeBlock& b) const {
  trpoint3d t = gPos;
  double* axes[3] = {&t.x, &t.y, &t.z};
  const char letters[3] = {'X', 'Y', 'Z'};
  for (int i = 0; i < 3; ++i) {
    if (!b.has(letters[i])) continue;
    const double v = b[letters[i]] * gUnit;
    *axes[i] = gIncremental ? *axes[i] + v : v;
  }
  return t;
}

bool tGcodeReader::move(const tGcodeBlock& b) {
  const unsigned axes = axesOf(b);
  const bool arc = gMode == 2 || gMode == 3;
  if (isCycle(gMode)) return axes == 0 && !b.has('R') ? true : drill(b);
  if (axes == 0 && !(arc && (b.has('I') || b.has('J') || b.has('R')))) return true;
  const trpoint3d target = targetOf(b);
  const unsigned fixes = gIncremental ? 0u : axes;
  if (gMode < 0) {
    warn("moves without a motion mode (G0 to G3) are not drawn");
    const unsigned unknownAfter = unknownAxes_ & ~fixes;
    pushJump(false, target, unknownAfter == 0);
    gPos = target;
    unknownAxes_ = unknownAfter;
    gHasPos = true;
    return true;
  }
  if (arc) return pushArc(b, target);
  return pushLine(gMode == 1, target, fixes);
}

void tGcodeReader::readFigure(tfigura& fig) {
  in_.lastGp = {kUnset, kUnset, kUnset};
  fig.lenwork = 0;
  fig.lenPrzes = 0;
  in_.EndOfFig = false;
  figureCut_ = -1;
  figureFeed_ = 0;
  points3d_.clear();
  bool more = true;
  for (;;) {
    if (head_ == queue_.size()) {
      queue_.clear();
      head_ = 0;
      if (!(more = readBlock())) break;
      continue;
    }
    if (!applyMove(fig, queue_[head_])) {
      in_.EndOfFig = true;  // the move starts the next figure
      break;
    }
    ++head_;
    if (in_.failed()) break;
  }
  // Stored once, as the 3-D path (at its exact size); the plane view is
  // taken from it where one is shown.
  fig.sp.assign(points3d_.begin(), points3d_.end());
  points3d_.clear();
  gEndMode = figureCut_ == 0 ? 0 : 1;
  gEndFeed = figureFeed_;
  in_.EndOfFile = in_.failed() || (!more && head_ == queue_.size());
}

void tGcodeReader::finish(tfigura& fig) const {
  if (gEndMode == 1) {
    fig.Gprzestawcza = false;
    fig.org_color = 0;
    fig.Gszybkosc = gEndFeed > 0 ? gEndFeed : settings.WorkSpeed;
  } else {
    fig.Gprzestawcza = true;
    fig.org_color = 0xFF0000;
  }
}

}  // namespace trazvik::import
