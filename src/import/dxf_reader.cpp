#include "import/dxf_reader.h"

#include "geometry/records.h"
#include "import/curve_segments.h"
#include "import/spline.h"
#include "import/thpgl.h"

#include <charconv>
#include <cmath>
#include <string_view>

namespace trazvik::import {

namespace {

// Points farther than this from the origin (file units, 10 km) cannot be a
// drawing for a machine; they also keep every later integer rounding safe.
constexpr double kMaxFileUnits = 1e9;

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
  return s;
}

bool parseCode(std::string_view text, std::int32_t& code) {
  text = trimmed(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), code);
  return ec == std::errc() && end == text.data() + text.size() && !text.empty();
}

bool startsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

}  // namespace

void tDxfReader::reset() {
  entitiesStarted = false;
  LTSCALE = 1.0;
  pending_ = false;
  ended_ = false;
  fileAtEnd_ = in_.EndOfFile;
  line_ = 0;
  for (auto& l : lines_) l.clear();
}

bool tDxfReader::readLine(std::string& out) {
  if (fileAtEnd_ || in_.failed()) return false;
  in_.readLine(out);
  ++line_;
  fileAtEnd_ = in_.EndOfFile;
  return !in_.failed();
}

bool tDxfReader::seekEntities() {
  std::string line;
  while (readLine(line)) {
    const std::string_view text = trimmed(line);
    if (line_ == 1 && startsWith(text, "AutoCAD Binary DXF")) {
      in_.failAtLine(tReadErrorKind::BinaryDxf, line_, "AutoCAD Binary DXF");
      return false;
    }
    if (lines_[0] == "$INSUNITS") noteDrawingUnits(text);
    if (text == "ENTITIES" && lines_[1] == "2" && lines_[0] == "SECTION") {
      entitiesStarted = true;
      inEntities_ = true;
      in_.parzystyWiersz = true;  // the section name is a value line
      return true;
    }
    lines_[0].swap(lines_[1]);
    lines_[1].assign(text);
  }
  return false;
}

// $INSUNITS in the header: coordinates are read as millimetres, so a
// drawing in other units is warned about (0 is unitless, 4 millimetres).
void tDxfReader::noteDrawingUnits(std::string_view value) {
  std::int32_t units = 0;
  if (!parseCode(value, units) || units == 0 || units == 4) return;
  in_.warn("the drawing's units ($INSUNITS " + std::to_string(units) +
               ") are not millimetres; coordinates are read as millimetres",
           line_, 0);
}

bool tDxfReader::next() {
  if (pending_) {
    pending_ = false;
    return true;
  }
  if (ended_) return false;
  // A code line without its value line is the cut end of the file.
  if (!readLine(code_) || fileAtEnd_) {
    ended_ = true;
    return false;
  }
  if (!parseCode(code_, group_.code)) {
    in_.failAtLine(tReadErrorKind::BadGroupCode, line_, std::string(trimmed(code_).substr(0, 40)));
    ended_ = true;
    return false;
  }
  if (!readLine(group_.value)) {  // the file ends between a code and its value
    ended_ = true;
    return false;
  }
  group_.line = line_;
  const std::string_view value = trimmed(group_.value);
  if (value.size() != group_.value.size()) group_.value.assign(value);
  if (group_.code == 0 && group_.value == "EOF") {
    ended_ = true;
    return false;
  }
  return true;
}

bool tDxfReader::entityNext() {
  if (!next()) return false;
  if (group_.code == 0) {
    pending_ = true;  // the next entity is read by the main loop
    return false;
  }
  if (group_.code == 62) {
    std::int32_t colour = fig_->org_color;
    if (!whole(colour)) return false;
    in_.last_pen = colour;
    fig_->org_color = colour;
  }
  return true;
}

bool tDxfReader::real(double& value) {
  std::string_view text = group_.value;
  if (text.empty()) return true;  // an empty value leaves the value as it was
  char buffer[64];
  if (text.size() < sizeof buffer) {
    std::size_t n = 0;
    for (const char c : text) buffer[n++] = c == ',' ? '.' : c;
    std::string_view digits(buffer, n);
    if (digits.front() == '+') digits.remove_prefix(1);
    double parsed = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), parsed);
    if (ec == std::errc() && end == digits.data() + digits.size() && !digits.empty() && std::isfinite(parsed)) {
      value = parsed;
      return true;
    }
  }
  ended_ = true;
  // The last line of a file cut in the middle of a number ends the figure.
  if (!fileAtEnd_) in_.failAtLine(tReadErrorKind::BadNumber, group_.line, std::string(text.substr(0, 40)));
  return false;
}

bool tDxfReader::whole(std::int32_t& value) {
  double parsed = value;
  if (!real(parsed)) return false;
  if (parsed != std::floor(parsed) || std::fabs(parsed) > 2147483647.0) {
    in_.failAtLine(tReadErrorKind::BadWholeNumber, group_.line, group_.value.substr(0, 40));
    ended_ = true;
    return false;
  }
  value = static_cast<std::int32_t>(parsed);
  return true;
}

void tDxfReader::addPoint(double x, double y) {
  if (std::fabs(LTSCALE - 0.000394) < 1e-6) {  // a drawing in inches
    x /= 0.03937;
    y /= 0.03937;
  }
  const trealpoint point{x * 100, y * 100};
  if (!(std::fabs(point.x) <= kMaxFileUnits && std::fabs(point.y) <= kMaxFileUnits)) {
    if (!in_.failed()) in_.failAtLine(tReadErrorKind::OutOfRange, entityLine_, entityName_);
    ended_ = true;
    return;
  }
  if (point == previous_) return;
  fig_->p.push_back(point);
  previous_ = point;
}

void tDxfReader::addPoints(const std::vector<trealpoint>& points) {
  fig_->p.reserve(fig_->p.size() + points.size());
  for (const trealpoint& p : points) {
    if (in_.failed()) return;
    addPoint(p.x, p.y);
  }
}

bool tDxfReader::extrusion(TPoint3D& normal) {
  double v = 0;
  switch (group_.code) {
    case 210:
      if (real(v)) normal.x = static_cast<float>(v);
      return true;
    case 220:
      if (real(v)) normal.y = static_cast<float>(v);
      return true;
    case 230:
      if (real(v)) normal.z = static_cast<float>(v);
      return true;
    default: return false;
  }
}

void tDxfReader::toWorld(const TPoint3D& normal) {
  ocs_.SetNormalVector(normal);
  if (ocs_.Ax == TPoint3D{1, 0, 0} && ocs_.Ay == TPoint3D{0, 1, 0}) {
    // World axes: the conversion only rounds to single precision.
    for (trealpoint& p : fig_->p) p = {static_cast<float>(p.x), static_cast<float>(p.y)};
    return;
  }
  for (trealpoint& p : fig_->p) {
    const TPoint3D w = ocs_.Convert(TPoint3D{static_cast<float>(p.x), static_cast<float>(p.y), 0});
    p = {w.x, w.y};
  }
}

void tDxfReader::readFigure(tfigura& fig) {
  fig_ = &fig;
  fig.org_color = 0;
  previous_ = {kUnset, kUnset};
  if (entitiesStarted || seekEntities()) {
    while (next()) {
      if (group_.code == 9 && group_.value == "$LTSCALE") {
        if (next()) {
          if (group_.code == 0)
            pending_ = true;
          else
            real(LTSCALE);
        }
        continue;
      }
      if (group_.code != 0) continue;
      if (readEntity()) break;
      noteSkippedEntity();
    }
  }
  in_.EndOfFile = in_.failed() || (!pending_ && (ended_ || fileAtEnd_));
  in_.EndOfFig = true;
}

// An entity that is not drawn is warned about by its name, once per name
// with its count and first line, unless it carries nothing to cut.
void tDxfReader::noteSkippedEntity() {
  if (group_.code != 0) return;  // LWPOLYLINE as a class name: its entry was read on
  const std::string& name = group_.value;
  if (name == "ENDSEC") {
    inEntities_ = false;  // what follows (objects, thumbnails) is no drawing
    return;
  }
  if (!inEntities_) return;
  // A paper-space viewport is a view of the drawing; VERTEX and SEQEND left
  // over from a polyline carry no geometry of their own; the class name case
  // of LWPOLYLINE is a table entry.
  if (name == "VIEWPORT" || name == "VERTEX" || name == "SEQEND" || name == "LWPOLYLINE" || name == "SECTION") return;
  if (name == "INSERT") {
    in_.warn("block references (INSERT) are not drawn", group_.line, 0);
    return;
  }
  in_.warn("entity " + name.substr(0, 40) + " is not drawn", group_.line, 0);
}

bool tDxfReader::readEntity() {
  const std::string& name = group_.value;
  entityLine_ = group_.line;
  entityName_ = name;
  if (name == "LINE")
    readLineEntity();
  else if (name == "CIRCLE")
    readCircle();
  else if (name == "ARC")
    readArc();
  else if (name == "ELLIPSE")
    readEllipse();
  else if (name == "SPLINE")
    readSpline();
  else if (name == "POLYLINE")
    readPolyline(false);
  else if (name == "LWPOLYLINE") {
    // In a class table the name is followed by the class's name (group 2).
    if (next()) {
      if (group_.code == 2) return false;
      pending_ = true;
    }
    readPolyline(true);
  } else {
    return false;
  }
  return true;
}

void tDxfReader::readLineEntity() {
  double v[4] = {0, 0, 0, 0};
  bool got[4] = {false, false, false, false};
  while (entityNext()) {
    int i = -1;
    switch (group_.code) {
      case 10: i = 0; break;
      case 20: i = 1; break;
      case 11: i = 2; break;
      case 21: i = 3; break;
      default: continue;
    }
    got[i] = real(v[i]);
  }
  if (got[0] && got[1]) addPoint(v[0], v[1]);
  if (got[2] && got[3]) addPoint(v[2], v[3]);
  toWorld(TPoint3D{0, 0, 1});
}

void tDxfReader::readCircle() {
  double cx = 0, cy = 0, r = 0;
  TPoint3D normal{0, 0, 1};
  while (entityNext()) {
    switch (group_.code) {
      case 10: real(cx); break;
      case 20: real(cy); break;
      case 40: real(r); break;
      default: extrusion(normal); break;
    }
  }
  if (in_.failed()) return;
  fig_->p.reserve(static_cast<std::size_t>(circleSegments(r)) + 1);
  circlePoints(cx, cy, r, [this](const trealpoint& p) { addPoint(p.x, p.y); });
  toWorld(normal);
}

void tDxfReader::readArc() {
  double cx = 0, cy = 0, r = 0, start = 0, end = 0;
  TPoint3D normal{0, 0, 1};
  while (entityNext()) {
    switch (group_.code) {
      case 10: real(cx); break;
      case 20: real(cy); break;
      case 40: real(r); break;
      case 50: real(start); break;
      case 51: real(end); break;
      default: extrusion(normal); break;
    }
  }
  if (in_.failed()) return;
  start *= M_PI / 180;
  double sweep = end * M_PI / 180 - start;
  if (sweep < 0) sweep += 2 * M_PI;
  fig_->p.reserve(static_cast<std::size_t>(arcSegments(r, sweep)) + 1);
  arcPoints(cx, cy, r, start, sweep, [this](const trealpoint& p) { addPoint(p.x, p.y); });
  toWorld(normal);
}

void tDxfReader::readEllipse() {
  tEllipse e;
  TPoint3D normal{0, 0, 1};
  while (entityNext()) {
    switch (group_.code) {
      case 10: real(e.centre.x); break;
      case 20: real(e.centre.y); break;
      case 11: real(e.major.x); break;
      case 21: real(e.major.y); break;
      case 40: real(e.ratio); break;
      case 41: real(e.start); break;
      case 42: real(e.end); break;
      default: extrusion(normal); break;
    }
  }
  if (in_.failed()) return;
  // The axes are world coordinates; a downward normal only turns the minor
  // axis round.
  e.mirrored = normal.z < 0;
  fig_->p.reserve(static_cast<std::size_t>(ellipseSegments(e)) + 1);
  ellipsePoints(e, [this](const trealpoint& p) { addPoint(p.x, p.y); });
  toWorld(TPoint3D{0, 0, 1});
}

void tDxfReader::readSpline() {
  tSplineData s;
  double v = 0;
  while (entityNext()) {
    switch (group_.code) {
      case 71: whole(s.degree); break;
      case 72: whole(s.declaredKnots); break;
      case 73: whole(s.declaredControl); break;
      case 40:
        if (real(v) && s.knots.size() < kMaxSplineKnots) s.knots.push_back(v);
        break;
      case 41:
        if (real(v)) s.weights.push_back(v);
        break;
      case 10:
        if (real(v)) s.control.push_back({v, 0});
        break;
      case 20:
        if (real(v) && !s.control.empty()) s.control.back().y = v;
        break;
      case 11:
        if (real(v)) s.fit.push_back({v, 0});
        break;
      case 21:
        if (real(v) && !s.fit.empty()) s.fit.back().y = v;
        break;
      default: break;
    }
  }
  if (in_.failed()) return;
  addPoints(splinePoints(std::move(s), forceBSpline));
  toWorld(TPoint3D{0, 0, 1});
}

}  // namespace trazvik::import
