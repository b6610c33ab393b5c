// Writes a deterministic DXF drawing of mixed entities for the reading
// benchmark: lines, circles, arcs, ellipses, splines, light-weight polylines
// with bulges and classic polylines with vertices.
//
//   trazvik-bench-make-dxf OUT.dxf [ENTITIES] [--r12]   (100000 entities by default)
//
// With --r12 the drawing is written as release 12 writes it: no subclass
// markers, and only lines, circles, arcs and classic polylines whose
// vertices carry bulges. The reading benchmark's file of about 35 MB:
//
//   trazvik-bench-make-dxf r12.dxf 180000 --r12
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// A small fixed generator, so that every run writes the same file.
class Lcg {
 public:
  double next() {
    state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<double>(state_ >> 11) / 9007199254740992.0;
  }
  double in(double lo, double hi) { return lo + (hi - lo) * next(); }

 private:
  std::uint64_t state_ = 0x5EED;
};

void group(std::FILE* f, int code, double value) { std::fprintf(f, "%3d\n%.6f\n", code, value); }
void group(std::FILE* f, int code, int value) { std::fprintf(f, "%3d\n%d\n", code, value); }
void group(std::FILE* f, int code, const char* value) { std::fprintf(f, "%3d\n%s\n", code, value); }

// Entity head with the subclass markers of release 2000 and later.
void common(std::FILE* f, const char* type, const char* subclass, Lcg& r) {
  group(f, 0, type);
  group(f, 100, "AcDbEntity");
  group(f, 8, "0");
  group(f, 62, static_cast<int>(r.in(1, 8)));
  group(f, 100, subclass);
}

void writeEntity(std::FILE* f, Lcg& r) {
  const double pick = r.next();
  const double x = r.in(0, 2000), y = r.in(0, 1000);
  if (pick < 0.30) {
    common(f, "LINE", "AcDbLine", r);
    group(f, 10, x);
    group(f, 20, y);
    group(f, 30, 0.0);
    group(f, 11, x + r.in(-50, 50));
    group(f, 21, y + r.in(-50, 50));
    group(f, 31, 0.0);
  } else if (pick < 0.45) {
    common(f, "CIRCLE", "AcDbCircle", r);
    group(f, 10, x);
    group(f, 20, y);
    group(f, 30, 0.0);
    group(f, 40, r.in(0.5, 40));
  } else if (pick < 0.60) {
    common(f, "ARC", "AcDbCircle", r);
    group(f, 10, x);
    group(f, 20, y);
    group(f, 30, 0.0);
    group(f, 40, r.in(0.5, 40));
    group(f, 100, "AcDbArc");
    group(f, 50, r.in(0, 360));
    group(f, 51, r.in(0, 360));
  } else if (pick < 0.65) {
    common(f, "ELLIPSE", "AcDbEllipse", r);
    group(f, 10, x);
    group(f, 20, y);
    group(f, 30, 0.0);
    const double a = r.in(2, 40), t = r.in(0, 2 * M_PI);
    group(f, 11, a * std::cos(t));
    group(f, 21, a * std::sin(t));
    group(f, 31, 0.0);
    group(f, 40, r.in(0.2, 1));
    group(f, 41, 0.0);
    group(f, 42, 2 * M_PI);
  } else if (pick < 0.70) {
    common(f, "SPLINE", "AcDbSpline", r);
    const int control = 6;
    group(f, 70, 8);
    group(f, 71, 3);
    group(f, 72, control + 4);
    group(f, 73, control);
    const double knots[] = {0, 0, 0, 0, 1, 2, 3, 3, 3, 3};
    for (const double k : knots) group(f, 40, k);
    for (int i = 0; i < control; ++i) {
      group(f, 10, x + i * 8);
      group(f, 20, y + r.in(-15, 15));
      group(f, 30, 0.0);
    }
  } else if (pick < 0.90) {
    common(f, "LWPOLYLINE", "AcDbPolyline", r);
    const int n = static_cast<int>(r.in(3, 12));
    group(f, 90, n);
    group(f, 70, r.next() < 0.5 ? 1 : 0);
    double px = x, py = y;
    for (int i = 0; i < n; ++i) {
      group(f, 10, px);
      group(f, 20, py);
      if (r.next() < 0.3) group(f, 42, r.in(-1, 1));
      px += r.in(-20, 20);
      py += r.in(-20, 20);
    }
  } else {
    common(f, "POLYLINE", "AcDb2dPolyline", r);
    group(f, 66, 1);
    group(f, 10, 0.0);
    group(f, 20, 0.0);
    group(f, 30, 0.0);
    group(f, 70, 0);
    const int n = static_cast<int>(r.in(3, 10));
    double px = x, py = y;
    for (int i = 0; i < n; ++i) {
      group(f, 0, "VERTEX");
      group(f, 100, "AcDbEntity");
      group(f, 8, "0");
      group(f, 100, "AcDbVertex");
      group(f, 100, "AcDb2dVertex");
      group(f, 10, px);
      group(f, 20, py);
      group(f, 30, 0.0);
      if (r.next() < 0.2) group(f, 42, r.in(-1, 1));
      px += r.in(-20, 20);
      py += r.in(-20, 20);
    }
    group(f, 0, "SEQEND");
    group(f, 100, "AcDbEntity");
    group(f, 8, "0");
  }
}

// Release 12: lines 35 %, circles 20 %, arcs 20 %, bulged polylines 25 %.
void writeR12Entity(std::FILE* f, Lcg& r) {
  const double pick = r.next();
  const double x = r.in(0, 2000), y = r.in(0, 1000);
  const auto head = [&](const char* type) {
    group(f, 0, type);
    group(f, 8, "0");
    group(f, 62, static_cast<int>(r.in(1, 8)));
  };
  if (pick < 0.35) {
    head("LINE");
    group(f, 10, x);
    group(f, 20, y);
    group(f, 30, 0.0);
    group(f, 11, x + r.in(-50, 50));
    group(f, 21, y + r.in(-50, 50));
    group(f, 31, 0.0);
  } else if (pick < 0.55) {
    head("CIRCLE");
    group(f, 10, x);
    group(f, 20, y);
    group(f, 30, 0.0);
    group(f, 40, r.in(0.5, 40));
  } else if (pick < 0.75) {
    head("ARC");
    group(f, 10, x);
    group(f, 20, y);
    group(f, 30, 0.0);
    group(f, 40, r.in(0.5, 40));
    group(f, 50, r.in(0, 360));
    group(f, 51, r.in(0, 360));
  } else {
    head("POLYLINE");
    group(f, 66, 1);
    group(f, 10, 0.0);
    group(f, 20, 0.0);
    group(f, 30, 0.0);
    group(f, 70, r.next() < 0.5 ? 1 : 0);
    const int n = static_cast<int>(r.in(3, 10));
    double px = x, py = y;
    for (int i = 0; i < n; ++i) {
      group(f, 0, "VERTEX");
      group(f, 8, "0");
      group(f, 10, px);
      group(f, 20, py);
      group(f, 30, 0.0);
      if (r.next() < 0.4) group(f, 42, r.in(-1, 1));
      px += r.in(-20, 20);
      py += r.in(-20, 20);
    }
    group(f, 0, "SEQEND");
    group(f, 8, "0");
  }
}

}  // namespace

int main(int argc, char** argv) {
  const std::string first = argc > 1 ? argv[1] : "";
  if (first == "-h" || first == "--help") {
    std::printf("usage: %s OUT.dxf [ENTITIES [--r12]]\n", argv[0]);
    return 0;
  }
  // An option where the file name belongs would otherwise become a file of that name.
  if (argc < 2 || first.empty() || first[0] == '-') {
    std::fprintf(stderr, "usage: %s OUT.dxf [ENTITIES [--r12]]\n", argv[0]);
    return 2;
  }
  char* end = nullptr;
  const long count = argc > 2 ? std::strtol(argv[2], &end, 10) : 100000;
  if (argc > 2 && (*end != '\0' || count <= 0)) {
    std::fprintf(stderr, "%s: ENTITIES must be a positive number, not \"%s\"\n", argv[0], argv[2]);
    return 2;
  }
  const bool r12 = argc > 3 && std::string(argv[3]) == "--r12";
  std::FILE* f = std::fopen(argv[1], "w");
  if (!f) {
    std::perror(argv[1]);
    return 1;
  }
  Lcg r;
  group(f, 0, "SECTION");
  group(f, 2, "HEADER");
  group(f, 9, "$ACADVER");
  group(f, 1, r12 ? "AC1009" : "AC1015");
  group(f, 0, "ENDSEC");
  group(f, 0, "SECTION");
  group(f, 2, "ENTITIES");
  for (long i = 0; i < count; ++i) {
    if (r12)
      writeR12Entity(f, r);
    else
      writeEntity(f, r);
  }
  group(f, 0, "ENDSEC");
  group(f, 0, "EOF");
  return std::fclose(f) == 0 ? 0 : 1;
}
