// Writes a deterministic G-code program for the reading benchmark: pockets
// of straight and arc moves (G2/G3 with centres relative to the start, as
// the program's G91.1 says), rapid moves between them with Z lifts and
// plunges, comments in parentheses and after ";", and every eighth pocket
// written in inches (G20 ... G21).
//
//   trazvik-bench-make-gcode OUT.nc [LINES]     (500000 by default, ~12 MB)
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

namespace {

class Program {
 public:
  explicit Program(std::FILE* out) : out_(out) { text_.reserve(1 << 20); }
  ~Program() { flush(); }
  void line(const std::string& s) {
    text_ += s;
    text_ += '\n';
    ++lines_;
    if (text_.size() > (1 << 20) - 256) flush();
  }
  long lines() const { return lines_; }

 private:
  void flush() {
    std::fwrite(text_.data(), 1, text_.size(), out_);
    text_.clear();
  }
  std::FILE* out_;
  std::string text_;
  long lines_ = 0;
};

// A coordinate as the program writes it: 3 decimals in mm, 4 in inches.
struct Units {
  double perMm = 1;  // file units per mm
  int decimals = 3;
  double rounded(double mm) const {
    const double scale = std::pow(10.0, decimals);
    return std::round(mm * perMm * scale) / scale / perMm;
  }
  std::string text(double mm) const {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, mm * perMm);
    return buf;
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s OUT.nc [LINES]\n", argv[0]);
    return 2;
  }
  const long target = argc > 2 ? std::atol(argv[2]) : 500000;
  std::FILE* out = std::fopen(argv[1], "wb");
  if (!out) {
    std::perror(argv[1]);
    return 1;
  }
  std::mt19937_64 random(20261210);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  {
    Program p(out);
    p.line("%");
    p.line("(benchmark program: pockets of lines and arcs)");
    p.line("G17 G21 G90 G91.1 G94");
    p.line("T1 M6");
    p.line("S12000 M3");
    long pocket = 0;
    while (p.lines() < target - 3) {
      const Units u = pocket % 8 == 7 ? Units{1 / 25.4, 4} : Units{1, 3};
      if (pocket % 8 == 7) p.line("G20 (inch block)");
      double x = u.rounded(20 + 900 * unit(random)), y = u.rounded(20 + 600 * unit(random));
      p.line("G0 Z" + u.text(5));
      p.line("G0 X" + u.text(x) + " Y" + u.text(y));
      p.line("G1 Z" + u.text(-1 - pocket % 3) + " F" + std::to_string(300));
      p.line("; pocket " + std::to_string(pocket));
      bool lastWasLine = false;
      const int moves = 20 + static_cast<int>(unit(random) * 40);
      for (int m = 0; m < moves; ++m) {
        if (unit(random) < 0.55) {
          const double nx = u.rounded(x + 20 * (unit(random) - 0.5)), ny = u.rounded(y + 20 * (unit(random) - 0.5));
          // Straight moves after a straight move leave the modal G1 out.
          std::string l = (lastWasLine ? "X" : "G1 X") + u.text(nx) + " Y" + u.text(ny);
          if (m == 0) l += " F" + std::to_string(1200);
          p.line(l);
          x = nx;
          y = ny;
          lastWasLine = true;
        } else {
          lastWasLine = false;
          // Centre at radius r from the start, end a random sweep around it.
          const double r = 1 + 15 * unit(random);
          const double a = 2 * M_PI * unit(random);
          const double i = u.rounded(r * std::cos(a)), j = u.rounded(r * std::sin(a));
          const bool ccw = unit(random) < 0.5;
          const double sweep = (0.3 + 2.5 * unit(random)) * (ccw ? 1 : -1);
          const double cx = x + i, cy = y + j;
          const double start = std::atan2(y - cy, x - cx), rr = std::hypot(i, j);
          const double ex = u.rounded(cx + rr * std::cos(start + sweep)),
                       ey = u.rounded(cy + rr * std::sin(start + sweep));
          p.line(std::string(ccw ? "G3" : "G2") + " X" + u.text(ex) + " Y" + u.text(ey) + " I" + u.text(i) + " J" +
                 u.text(j));
          x = ex;
          y = ey;
        }
      }
      p.line("G0 Z" + u.text(5));
      if (pocket % 8 == 7) p.line("G21");
      ++pocket;
    }
    p.line("M5");
    p.line("M30");
    p.line("%");
  }
  std::fclose(out);
  return 0;
}
