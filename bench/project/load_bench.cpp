// Opening and preparing a large plot file: 20 000 closed letter-like
// figures with holes and 5 000 strokes that join into 1 000 chains. Prints
// the time of the whole load (read, join, de-duplicate, nest, direction,
// order, outline, toolpath) on one core, and of the reading and cleaning
// alone, best of a few runs.
//
//   trazvik-bench-project-load [runs] [--keep FILE]
#include "plot_generator.h"

#include "config/tdlgkonfig.h"
#include "import/thpgl.h"
#include "project/figure_collector.h"
#include "import/file_type.h"
#include "project/tmdichild.h"
#include "texts/interfejs.h"
#include "texts/recording_message_boxes.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <time.h>

using namespace trazvik;

namespace {

double sekundy(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

// Processor time of this thread: what the load costs on one core even when
// other programs share the machine.
double czasProcesora() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Only the reader and the cleaning of the figures (no preparation).
double czasWczytania(const std::string& path, std::size_t& ilosc) {
  const auto t0 = std::chrono::steady_clock::now();
  import::Thpgl hpgl;
  hpgl.accuracy = 2.0;
  if (hpgl.open(path, 1, false) != 0) return -1;
  tUstawieniaWczytania u;
  u.auto_add = u.auto_remove = u.crosstopoint = true;
  u.prj_accuracy = 2.0;
  tZbieraczFigur z(u);
  while (!hpgl.EndOfFile) {
    auto f = std::make_unique<tfigura>();
    hpgl.get_figura(*f);
    if (f->valid) z.dodaj(std::move(f));
  }
  hpgl.close();
  ilosc = z.odbierz().size();
  return sekundy(std::chrono::steady_clock::now() - t0);
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 3;
  std::string keep;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--keep" && i + 1 < argc) {
      keep = argv[++i];
    } else {
      runs = std::max(1, std::atoi(argv[i]));
    }
  }
  const bench::tOpisPlotu plot = bench::generujPlot({});
  const std::string path =
      keep.empty() ? (std::filesystem::temp_directory_path() / "trazvik_bench_letters.plt").string() : keep;
  std::ofstream(path, std::ios::binary) << plot.hpgl;
  std::printf("file %s: %zu bytes, %d closed figures, %d strokes in %d chains\n", path.c_str(), plot.hpgl.size(),
              plot.figuryZamkniete, plot.kreski, plot.lancuchy);

  double najlepszyOdczyt = 1e9, najlepszyCaly = 1e9, najlepszyProcesor = 1e9;
  std::size_t iloscOdczyt = 0, iloscCaly = 0;
  int poziom = 0;
  for (int r = 0; r < runs; ++r) {
    najlepszyOdczyt = std::min(najlepszyOdczyt, czasWczytania(path, iloscOdczyt));

    TDlgkonfig konfig;
    texts::RecordingMessageBoxes boxes;
    texts::tInterfejs interfejs(boxes);
    TMDIChild projekt(konfig, interfejs);
    projekt.DostosujWgTypuProjektu(import::fileTypeFromExtension(path));
    const auto t0 = std::chrono::steady_clock::now();
    const double c0 = czasProcesora();
    if (!projekt.Load(path)) {
      std::fprintf(stderr, "loading failed\n");
      return 1;
    }
    najlepszyCaly = std::min(najlepszyCaly, sekundy(std::chrono::steady_clock::now() - t0));
    najlepszyProcesor = std::min(najlepszyProcesor, czasProcesora() - c0);
    iloscCaly = projekt.fig.size();
    poziom = projekt.max_poziom;
  }
  std::printf("read + join + de-duplicate: %.3f s (%zu figures)\n", najlepszyOdczyt, iloscOdczyt);
  std::printf("open and prepare (whole Load): %.3f s wall, %.3f s processor (%zu figures, deepest level %d)\n",
              najlepszyCaly, najlepszyProcesor, iloscCaly, poziom);
  const std::size_t oczekiwane = static_cast<std::size_t>(plot.figuryZamkniete + plot.lancuchy);
  if (iloscCaly != oczekiwane) {
    std::fprintf(stderr, "expected %zu figures after joining, got %zu\n", oczekiwane, iloscCaly);
    return 1;
  }
  std::printf("target: at most 2 s on one core -> %s\n", najlepszyProcesor <= 2.0 ? "met" : "NOT met");
  if (keep.empty()) std::filesystem::remove(path);
  return 0;
}
