// Reading speed of the G-code reader: reads a program into figures (words,
// modes, arcs cut into segments, figure finishing) several times and
// reports megabytes per second of the median and the best run. The
// program's own CPU time on one core is the measure (other work on a shared
// machine does not count); the wall-clock time is shown beside it. Arc
// centres are read relative to the start unless the program says otherwise.
//
//   trazvik-bench-read-gcode PROGRAM.nc [RUNS]
#include "import/read_figures.h"

#include "geometry/units.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <vector>

namespace {

double cpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s PROGRAM.nc [RUNS]\n", argv[0]);
    return 2;
  }
  const int runs = std::max(argc > 2 ? std::atoi(argv[2]) : 5, 1);
  const double megabytes = static_cast<double>(std::filesystem::file_size(argv[1])) / 1e6;
  trazvik::import::tReaderSettings settings;
  settings.gcode.chkAbsolutArcPos = false;
  std::vector<double> cpu, wall;
  std::size_t figures = 0, points = 0;
  for (int run = 0; run < runs; ++run) {
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = cpuSeconds();
    const auto file = trazvik::import::readFigureFile(argv[1], trazvik::kFileTypeGcode, settings);
    cpu.push_back(cpuSeconds() - cpuStart);
    wall.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    if (!file.ok()) {
      std::fprintf(stderr, "%s\n", file.errorText(argv[1]).c_str());
      return 1;
    }
    figures = file.figures.size();
    points = 0;
    for (const auto& f : file.figures) points += f->p.size();
  }
  std::printf("file %.1f MB, %zu figures, %zu points\n", megabytes, figures, points);
  std::printf("%d runs: median %.3f s CPU, %.1f MB/s; best %.3f s, %.1f MB/s (median wall clock %.3f s)\n", runs,
              median(cpu), megabytes / median(cpu), *std::min_element(cpu.begin(), cpu.end()),
              megabytes / *std::min_element(cpu.begin(), cpu.end()), median(wall));
  return 0;
}
