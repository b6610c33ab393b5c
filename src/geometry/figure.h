// One figure of a design: a polyline with its derived paths and flags.
#pragma once
#include "geometry/records.h"

#include <cstdint>
#include <vector>

namespace trazvik {

// A figure keeps its point lists by value: copying a figure copies its
// points, and the lists hold plain records, not a heap item per point.
class tfigura {
 public:
  std::uint32_t color = 0;     // a colour carried with the figure (display uses org_color)
  double width = 0;            // pen width from the plot file (PW x mnoznikZ), 0 when none
  std::int32_t dir = 0;        // cutting direction
  std::int32_t org_color = 0;  // colour key: pen, DXF colour index, G-code move kind
  std::int32_t org_index = 0;  // position in the project right after loading
  double pom_index = 0;        // auxiliary sort key of the cutting order
  std::int32_t org_speed = 0;
  double fig_x_size = 0;       // bounding box width, file units
  double fig_y_size = 0;       // bounding box height, file units
  std::int32_t min_point = 0;  // index in p of the lowest point (first of equals)
  trealpoint fig_pp;           // lower-left corner of the bounding box
  trealpoint fig_pk;           // upper-right corner of the bounding box
  double xp = 0;               // the project's origin, copied in at load
  double yp = 0;
  trealpoint center;  // centre of the bounding box

  // The points as drawn, file units. A G-code figure keeps its points once,
  // as its 3-D path sp, and leaves p empty (see drawnPoints).
  std::vector<trealpoint> p;
  std::vector<trealpoint> op;  // tool-centre path of the final pass
  std::vector<trealpoint> dp;  // path of the roughing pass
  std::vector<trpoint3d> sp;   // 3-D path (x, y, z in file units)
  std::vector<trealpoint> bp;  // a further list owned by the figure

  bool valid = false;         // at least two points differ
  tfigura* lezy_w = nullptr;  // the enclosing figure (not owned); none at top level
  std::int32_t poziom = 0;    // nesting level
  bool otwarta = false;       // the ends do not meet
  std::int32_t DistToProj = 0;
  std::int32_t DistToFig = 0;
  double lenwork = 0;   // length cut, mm
  double lenPrzes = 0;  // length of rapid moves, mm
  double lenpol = 0;    // length of the finishing pass, mm
  double lenz = 0;      // length of vertical moves, mm
  bool tocut = false;
  double obwod = 0;           // perimeter
  bool otwor = false;         // a drill point made from two crossing strokes
  double Gszybkosc = 0;       // G-code feed, mm/min
  bool Gprzestawcza = false;  // a G-code figure of rapid moves
  bool ramka = false;         // the frame around all other figures
  bool kreska = false;        // a hatching line
  // The tool-radius outline left nothing of this closed figure: it is
  // narrower than the tool everywhere, and the tool cannot cut it.
  bool narrowerThanTool = false;
  std::int32_t pochodzi = 0;  // figure a hatching line was made for
  std::vector<tBezier> LBezier;
  std::vector<tBezier> SpiralaBezier;

  // Index of the first point with the smallest y, also stored in min_point;
  // 0 for an empty figure.
  std::int32_t get_min_point();

  // Removes middle points of straight runs of p that rise (or stay level) in
  // both x and y; exact comparison, no tolerance.
  void RedukujWezlyNaProstych();
};

// Shape of a figure just read: bounding box, centre, lowest point, open and
// valid flags; nesting reset. A figure without points only becomes invalid.
// Returns how many segments (all but the last) are shorter than accuracy.
// The points are p, or x and y of sp for a figure kept as a 3-D path only.
int finishFigureShape(tfigura& fig, double accuracy);

// The figure's points in the plane, for showing and reporting it: a copy of
// p, or x and y of sp for a figure kept as a 3-D path only.
std::vector<trealpoint> drawnPoints(const tfigura& fig);

}  // namespace trazvik
