// POLYLINE (with its VERTEX entities up to SEQEND) and LWPOLYLINE: straight
// runs, bulge arcs, and curve- or spline-fitted polylines.
#include "import/curve_segments.h"
#include "import/dxf_reader.h"
#include "import/spline.h"
#include "import/thpgl.h"

namespace trazvik::import {

namespace {

constexpr std::int32_t kClosed = 1;
constexpr std::int32_t kCurveFit = 2;
constexpr std::int32_t kSplineFit = 4;
constexpr std::int32_t k3dPolyline = 8;
constexpr std::int32_t kPolygonMesh = 16;
constexpr std::int32_t kPolyfaceMesh = 64;

// Vertex flags.
constexpr std::int32_t kFrameControlPoint = 16;
constexpr std::int32_t kMeshVertex = 64;
constexpr std::int32_t kFaceRecord = 128;

// A face record of a polyface mesh holds vertex indices, not a point.
bool isFaceRecord(const tDxfVertex& v) { return (v.flags & kFaceRecord) && !(v.flags & kMeshVertex); }

}  // namespace

void tDxfReader::readPolyline(bool light) {
  std::int32_t flags = 0;
  TPoint3D normal{0, 0, 1};
  std::vector<tDxfVertex> vertices;
  // Light-weight polylines carry their vertices inline; the classic header
  // point (10, 20) is only the elevation and is not a vertex.
  while (entityNext()) {
    switch (group_.code) {
      case 70: whole(flags); break;
      case 10:
        if (light) {
          vertices.emplace_back();
          real(vertices.back().at.x);
        }
        break;
      case 20:
        if (light && !vertices.empty()) real(vertices.back().at.y);
        break;
      case 42:
        if (light && !vertices.empty()) real(vertices.back().bulge);
        break;
      default: extrusion(normal); break;
    }
  }
  if (!light) {
    while (next()) {
      if (group_.value == "VERTEX") {
        if (!readVertex(vertices)) break;
      } else if (group_.value == "SEQEND") {
        while (entityNext()) {
        }
        break;
      } else {
        pending_ = true;  // a polyline cut short: the next entity follows
        break;
      }
    }
  }
  if (in_.failed()) return;
  if (flags & (kPolygonMesh | kPolyfaceMesh)) {
    // A mesh's vertices are a grid or the corners of faces, not a path.
    in_.warn("3D meshes (POLYLINE) are not drawn", entityLine_, 0);
    return;
  }
  drawPolyline(vertices, flags);
  const bool planar = !(flags & k3dPolyline);
  toWorld(planar ? normal : TPoint3D{0, 0, 1});
}

bool tDxfReader::readVertex(std::vector<tDxfVertex>& vertices) {
  tDxfVertex v;
  while (entityNext()) {
    switch (group_.code) {
      case 10: real(v.at.x); break;
      case 20: real(v.at.y); break;
      case 42: real(v.bulge); break;
      case 70: whole(v.flags); break;
      default: break;
    }
  }
  if (in_.failed()) return false;
  if (!isFaceRecord(v)) vertices.push_back(v);
  return true;
}

void tDxfReader::drawPolyline(const std::vector<tDxfVertex>& vertices, std::int32_t flags) {
  const bool closed = flags & kClosed;
  const auto add = [this](const trealpoint& p) { addPoint(p.x, p.y); };
  if (flags & (kCurveFit | kSplineFit)) {
    // The file holds the fitted vertices beside the frame; the frame's
    // control points are not on the curve.
    std::vector<trealpoint> kept;
    for (const tDxfVertex& v : vertices)
      if (!(v.flags & kFrameControlPoint)) kept.push_back(v.at);
    if (kept.size() > 3) {
      addPoints(fittedPolylinePoints(kept, closed));
      return;
    }
    for (const trealpoint& p : kept) add(p);
  } else {
    const std::size_t n = vertices.size();
    for (std::size_t i = 0; i < n; ++i) {
      const tDxfVertex& v = vertices[i];
      tBulgeArc arc;
      const bool hasNext = i + 1 < n || closed;
      if (v.bulge != 0 && hasNext && n > 1 && bulgeArc(v.at, vertices[(i + 1) % n].at, v.bulge, arc))
        bulgeArcPoints(v.at, arc, add);
      else
        add(v.at);
      if (in_.failed()) return;
    }
  }
  std::vector<trealpoint>& p = fig_->p;
  if (closed && p.size() > 1 && !(p.front() == p.back())) p.push_back(p.front());
}

}  // namespace trazvik::import
