// A deterministic G-code program for measuring the memory of opening a large
// program: about 12 MB and 500 000 lines of parts, each a comment, a rapid
// approach, a Z plunge and a run of straight moves and half and quarter
// arcs (G2/G3) whose centres are given relative to the start (I/J from the
// current position, so it reads right with chkAbsolutArcPos=0). Every tenth
// part is written in inches between G20 and G21.
//
//   trazvik-bench-make-gcode-memory OUT.nc [lines]
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// A small fixed generator, so that every build writes the same file.
class Losowe {
 public:
  std::uint32_t next() {
    stan_ = stan_ * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<std::uint32_t>(stan_ >> 33);
  }
  int zakres(int od, int doLiczby) {
    return od + static_cast<int>(next() % static_cast<std::uint32_t>(doLiczby - od + 1));
  }

 private:
  std::uint64_t stan_ = 0x2545F4914F6CDD1Dull;
};

struct Pisarz {
  std::FILE* out;
  long linie = 0;
  double skala = 1;  // 1 in millimetres, 1/25.4 in inches
  int miejsca = 3;   // decimals

  void linia(const char* tekst) {
    std::fputs(tekst, out);
    std::fputc('\n', out);
    ++linie;
  }
  void ruch(const char* g, double x, double y) {
    std::fprintf(out, "%s X%.*f Y%.*f\n", g, miejsca, x * skala, miejsca, y * skala);
    ++linie;
  }
  void luk(const char* g, double x, double y, double i, double j) {
    std::fprintf(out, "%s X%.*f Y%.*f I%.*f J%.*f\n", g, miejsca, x * skala, miejsca, y * skala, miejsca, i * skala,
                 miejsca, j * skala);
    ++linie;
  }
  void z(const char* g, double z, const char* reszta = "") {
    std::fprintf(out, "%s Z%.*f%s\n", g, miejsca, z * skala, reszta);
    ++linie;
  }
};

// One part: about 20 lines. Coordinates in millimetres; the writer scales
// them for an inch part.
void czesc(Pisarz& w, Losowe& los, int numer) {
  const bool cale = numer % 10 == 9;
  if (cale) w.linia("G20");
  // Inch values need more decimals to keep the arcs' ends on their circles.
  w.skala = cale ? 1 / 25.4 : 1;
  w.miejsca = cale ? 5 : 3;
  char komentarz[64];
  std::snprintf(komentarz, sizeof komentarz, "(part %d)", numer);
  w.linia(komentarz);
  double x = los.zakres(0, 1500), y = los.zakres(0, 1000);
  w.z("G0", 5);
  w.ruch("G0", x, y);
  w.z("G1", -1.5, " F400");
  for (int k = 0; k < 7; ++k) {
    const double r = los.zakres(4, 60);
    const char* g = los.next() % 2 ? "G2" : "G3";
    if (los.next() % 2) {
      // Half circle: centre r to the right, end 2r to the right.
      w.luk(g, x + 2 * r, y, r, 0);
      x += 2 * r;
    } else {
      // Quarter circle about the point r to the right: clockwise from its
      // left end goes up, counter-clockwise goes down.
      const double dy = (g[1] == '2') ? r : -r;
      w.luk(g, x + r, y + dy, r, 0);
      x += r;
      y += dy;
    }
    x -= los.zakres(10, 80);
    y += los.zakres(-20, 20);
    w.ruch("G1", x, y);
  }
  w.z("G0", 5);
  if (cale) w.linia("G21");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s OUT.nc [lines]\n", argv[0]);
    return 2;
  }
  const long cel = argc > 2 ? std::atol(argv[2]) : 500000;
  std::FILE* out = std::fopen(argv[1], "w");
  if (!out) {
    std::perror(argv[1]);
    return 1;
  }
  Pisarz w{out};
  Losowe los;
  w.linia("(generated program for the loading benchmark)");
  w.linia("G21 G90 G17");
  w.linia("S12000 M3");
  for (int numer = 0; w.linie < cel - 2; ++numer) czesc(w, los, numer);
  w.linia("M5");
  w.linia("M30");
  const long bajty = std::ftell(out);
  if (std::fclose(out) != 0) {
    std::perror(argv[1]);
    return 1;
  }
  std::printf("%s: %ld lines, %ld bytes\n", argv[1], w.linie, bajty);
  return 0;
}
