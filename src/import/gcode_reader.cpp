#include "import/gcode_reader.h"

#include "geometry/angles.h"
#include "geometry/numeric.h"
#include "geometry/points.h"
#include "import/curve_segments.h"
#include "import/gcode_words.h"
#include "import/thpgl.h"

#include <cmath>

namespace trazvik::import {

namespace {

constexpr double kMaxFileUnits = 1e9;  // 10 km

bool isCutting(int mode) { return mode >= 1 && mode <= 3; }

double limited(double v, double lo, double hi) {
  if (hi > 0 && v > hi) return hi;
  return v < lo ? lo : v;
}

}  // namespace

void tGcodeReader::reset() {
  gMode = gModePrev = -1;
  gUnit = 1;
  gFeed = gFeedPrev = gSpindle = 0;
  gPos = gTarget = {};
  gCentre = {};
  gHasPos = false;
  gLine.clear();
  gLineText.clear();
  gEndMode = 1;
  gEndFeed = 0;
  line_ = textLine_ = 0;
  fileAtEnd_ = in_.EndOfFile;
  pendingLine_ = false;
}

bool tGcodeReader::prepareNextLine() {
  if (fileAtEnd_ || in_.failed()) return false;
  std::string raw;
  in_.readLine(raw);
  ++line_;
  fileAtEnd_ = in_.EndOfFile;
  if (in_.failed()) return false;
  gLineText = prepareGcodeLine(raw);
  gLine = gLineText;
  textLine_ = line_;
  gFeedPrev = gFeed;
  return true;
}

bool tGcodeReader::word(char letter, double& value, bool& found) {
  std::string text;
  const tWordResult r = takeWord(gLine, letter, value, text);
  if (r == tWordResult::Malformed) {
    in_.failAtLine(tReadErrorKind::BadNumber, textLine_, text);
    return false;
  }
  found = r == tWordResult::Found;
  return true;
}

// Steps b to f: the words of the line. `moves` tells whether the line names
// a coordinate or an arc centre, so that it moves the tool.
bool tGcodeReader::takeWords(bool& moves) {
  double v = 0;
  bool found = false;
  moves = false;
  for (;;) {
    if (!word('G', v, found)) return false;
    if (!found) break;
    const double g = roundEven(v);
    if (g >= 0 && g <= 3) gMode = static_cast<int>(g);
    else if (g == 20) gUnit = 25.4;
    else if (g == 21) gUnit = 1;
  }
  if (!word('S', v, found)) return false;
  if (found) gSpindle = limited(v, settings.minSpindle, settings.maxSpindle);
  double* axes[3] = {&gTarget.x, &gTarget.y, &gTarget.z};
  const char letters[3] = {'X', 'Y', 'Z'};
  for (int i = 0; i < 3; ++i) {
    if (!word(letters[i], v, found)) return false;
    if (found) *axes[i] = v * gUnit;
    moves = moves || found;
  }
  double ij[2] = {0, 0};
  bool gotIJ[2] = {false, false};
  if (!word('I', ij[0], gotIJ[0]) || !word('J', ij[1], gotIJ[1])) return false;
  if (gotIJ[0] || gotIJ[1]) {
    // Relative centres: an offset left out is 0. Absolute ones stay modal.
    if (settings.chkAbsolutArcPos) {
      if (gotIJ[0]) gCentre.x = ij[0] * gUnit;
      if (gotIJ[1]) gCentre.y = ij[1] * gUnit;
    } else {
      gCentre = {gPos.x + ij[0] * gUnit, gPos.y + ij[1] * gUnit};
    }
    moves = true;
  }
  if (moves) gHasPos = true;
  if (!word('R', v, found)) return false;
  if (found && !gotIJ[0] && !gotIJ[1] && (gMode == 2 || gMode == 3)) {
    // Radius form: the centre on the side that gives the short arc for a
    // positive radius, the long one for a negative radius.
    const double dx = gTarget.x - gPos.x, dy = gTarget.y - gPos.y;
    const double chord = std::hypot(dx, dy);
    const double r = v * gUnit;
    if (chord > 0) {
      const double h = std::sqrt(std::max(0.0, r * r - chord * chord / 4));
      const double side = (gMode == 3 ? 1 : -1) * (r > 0 ? 1 : -1);
      gCentre = {(gPos.x + gTarget.x) / 2 - side * h * dy / chord, (gPos.y + gTarget.y) / 2 + side * h * dx / chord};
    }
  }
  if (!word('F', v, found)) return false;
  if (found) gFeed = limited(v * gUnit, settings.minFeed, settings.maxFeed);
  return true;
}

void tGcodeReader::readFigure(tfigura& fig) {
  in_.lastGp = {kUnset, kUnset, kUnset};
  fig.lenwork = 0;
  fig.lenPrzes = 0;
  in_.EndOfFig = false;
  if (gHasPos) store(fig, gPos.x, gPos.y, gPos.z);
  gLine = pendingLine_ ? gLineText : std::string();
  pendingLine_ = false;
  for (;;) {
    if (gLine.empty() && !prepareNextLine()) break;
    bool moves = false;
    if (!takeWords(moves)) break;
    if (gMode != gModePrev) {
      const bool ends = (gMode == 0 && isCutting(gModePrev)) || (gModePrev == 0 && isCutting(gMode));
      const int previous = gModePrev;
      gModePrev = gMode;
      if (ends) {
        gEndMode = previous;
        gEndFeed = gFeedPrev;
        pendingLine_ = true;  // this line's move starts the next figure
        in_.EndOfFig = true;
        break;
      }
    }
    if (moves) executeMove(fig);
    gPos = gTarget;
    gLine.clear();
    if (in_.failed()) break;
  }
  if (!in_.EndOfFig) {  // the end of the file
    gEndMode = gModePrev;
    gEndFeed = gFeed;
  }
  in_.EndOfFile = in_.failed() || (fileAtEnd_ && !pendingLine_);
}

void tGcodeReader::executeMove(tfigura& fig) {
  if (gMode == 0 || gMode == 1) store(fig, gTarget.x, gTarget.y, gTarget.z);
  else if (gMode == 2 || gMode == 3) arcMove(fig);
}

void tGcodeReader::arcMove(tfigura& fig) {
  const double a = dirAngle(gCentre.x, gCentre.y, gPos.x, gPos.y);
  const double f = dirAngle(gCentre.x, gCentre.y, gTarget.x, gTarget.y);
  double sweep = 0;
  if (gMode == 3) {
    sweep = f - a;
    if (sweep <= 0) sweep += 2 * M_PI;
  } else {
    double s = a - f;
    if (s <= 0) s += 2 * M_PI;
    sweep = -s;
  }
  const double r = (std::hypot(gPos.x - gCentre.x, gPos.y - gCentre.y) +
                    std::hypot(gTarget.x - gCentre.x, gTarget.y - gCentre.y)) / 2;
  const double c = 2 * M_PI * r;
  const double l = clampRange(c / 180, 5, 0.1);
  const double perCircle = c / l;
  const int m = boundedSegments(perCircle <= kMaxCurveSegments ? std::fabs(roundEven(perCircle)) : perCircle, 12);
  const double steps = std::fabs(m * sweep / (2 * M_PI));
  const int n = boundedSegments(steps <= kMaxCurveSegments ? roundEven(steps) : steps, 3);
  for (int k = 1; k < n && !in_.failed(); ++k) {
    const double angle = a + k * sweep / n;
    store(fig, gCentre.x + r * std::cos(angle), gCentre.y + r * std::sin(angle), gPos.z);
  }
  store(fig, gTarget.x, gTarget.y, gTarget.z);
}

void tGcodeReader::store(tfigura& fig, double x, double y, double z) {
  const trpoint3d raw{x, y, z};
  if (nearPoint3d(raw, in_.lastGp, 0.001) || in_.failed()) return;
  const trpoint3d scaled{x * 100, y * 100, z * 100};
  if (!(std::fabs(scaled.x) <= kMaxFileUnits && std::fabs(scaled.y) <= kMaxFileUnits &&
        std::fabs(scaled.z) <= kMaxFileUnits)) {
    in_.failAtLine(tReadErrorKind::OutOfRange, textLine_, gLineText.substr(0, 40));
    return;
  }
  fig.p.push_back({scaled.x, scaled.y});
  fig.sp.push_back(scaled);
  if (fig.sp.size() > 1) {
    const double length = dist3d(scaled, in_.lastGb) / 100;
    if (gMode == 0) fig.lenPrzes += length;
    else fig.lenwork += length;
  }
  in_.lastGb = scaled;
  in_.lastGp = raw;
}

void tGcodeReader::finish(tfigura& fig) const {
  if (isCutting(gEndMode)) {
    fig.Gprzestawcza = false;
    fig.org_color = 0;
    fig.Gszybkosc = gEndFeed > 0 ? gEndFeed : settings.WorkSpeed;
  } else {
    fig.Gprzestawcza = true;
    fig.org_color = 0xFF0000;
  }
}

}  // namespace trazvik::import
