// Writes a deterministic plot file for the reading benchmark: pen-down
// polylines (2 to 18 points, 10 on average) in absolute and relative
// plotting, over several pens and widths, with the separators that plot
// writers use (",", ";", blanks, line breaks, none).
//
//   plot_generate OUT.plt [POLYLINES]      (200000 by default)
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

namespace {

class Writer {
 public:
  explicit Writer(std::FILE* out) : out_(out) { text_.reserve(1 << 20); }
  ~Writer() { flush(); }
  void put(const char* s) { text_ += s; }
  void put(std::int64_t v) { text_ += std::to_string(v); }
  void flushIfLarge() {
    if (text_.size() > (1 << 20) - 256) flush();
  }
  void flush() {
    std::fwrite(text_.data(), 1, text_.size(), out_);
    text_.clear();
  }

 private:
  std::FILE* out_;
  std::string text_;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s OUT.plt [POLYLINES]\n", argv[0]);
    return 2;
  }
  const long polylines = argc > 2 ? std::atol(argv[2]) : 200000;
  const bool curves = argc > 3 && std::string(argv[3]) == "--curves";
  std::FILE* out = std::fopen(argv[1], "wb");
  if (!out) {
    std::perror(argv[1]);
    return 1;
  }
  std::mt19937 random(1210);  // raw outputs only: the same file everywhere
  const auto below = [&](std::uint32_t n) { return static_cast<std::int64_t>(random() % n); };
  // Steps of up to 1 cm, or 10 cm in the file with curves (its strokes are
  // longer, so the figures do not crowd the table).
  const std::int64_t reach = curves ? 4000 : 400;
  const auto step = [&] { return below(static_cast<std::uint32_t>(2 * reach + 1)) - reach; };
  // A 1 m table in plotter units, or 3 m by 2 m for the file with curves.
  const std::uint32_t width = curves ? 120000 : 40000, height = curves ? 80000 : 40000;
  long points = 0;
  {
    Writer w(out);
    w.put("IN;PW0.35,1;PW0.5,2;PW0.25,3;PW1,4;PW0.1,5;PW0.7,6;\n");
    for (long i = 0; i < polylines; ++i) {
      if (i % 40 == 0) {
        w.put("SP");
        w.put(1 + below(6));
        w.put(";");
      }
      const int count = 2 + static_cast<int>(below(17));  // points of this polyline
      std::int64_t x = below(width), y = below(height);
      const int kind = curves ? static_cast<int>(i % 5) : static_cast<int>(i % 3);
      if (kind == 3) {  // a circle round the pen position
        points += 1;
        w.put("PA"), w.put(x), w.put(","), w.put(y), w.put(";CI"), w.put(20 + below(800)), w.put(";\n");
        w.flushIfLarge();
        continue;
      }
      if (kind == 4) {  // stroke, arc round a centre beside it, stroke
        points += 4;
        const std::int64_t cx = x + step(), cy = y + step();
        w.put("PU"), w.put(x), w.put(","), w.put(y), w.put(";PD"), w.put(x + below(201) - 100), w.put(",");
        w.put(y + below(201) - 100), w.put(";AA"), w.put(cx), w.put(","), w.put(cy), w.put(",");
        w.put(below(541) - 270), w.put(";PD"), w.put(cx), w.put(","), w.put(cy), w.put(";PU;\n");
        w.flushIfLarge();
        continue;
      }
      points += count;
      switch (kind) {
        case 0:  // absolute, comma and semicolon
          w.put("PU");
          w.put(x), w.put(","), w.put(y), w.put(";PD");
          for (int k = 1; k < count; ++k) {
            x += step(), y += step();
            if (k > 1) w.put(",");
            w.put(x), w.put(","), w.put(y);
          }
          w.put(";PU;");
          break;
        case 1:  // absolute, blanks only
          w.put("PU "), w.put(x), w.put(" "), w.put(y), w.put(" PD");
          for (int k = 1; k < count; ++k) {
            x += step(), y += step();
            w.put(" "), w.put(x), w.put(" "), w.put(y);
          }
          w.put(" PU\r\n");
          break;
        default:  // relative pairs after an absolute start
          w.put("PA"), w.put(x), w.put(","), w.put(y), w.put(";PR;PD");
          for (int k = 1; k < count; ++k) {
            w.put(k > 1 ? "," : ""), w.put(step()), w.put(","), w.put(step());
          }
          w.put(";PU;PA;\n");
          break;
      }
      w.flushIfLarge();
    }
    w.put("PU;SP0;\n");
  }
  std::fclose(out);
  std::printf("%s: %ld polylines, %ld coordinate pairs\n", argv[1], polylines, points);
  return 0;
}
