// Reading speed of the DXF reader: reads a drawing into figures (curves cut
// into segments, OCS conversion, figure finishing) several times and reports
// megabytes per second of the median and the best run on one core. The program's own CPU
// time is the measure (other work on a shared machine does not count); the
// wall-clock time is shown beside it.
//
//   trazvik-bench-read-dxf DRAWING.dxf [RUNS]
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

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s DRAWING.dxf [RUNS]\n", argv[0]);
    return 2;
  }
  const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
  const double megabytes = static_cast<double>(std::filesystem::file_size(argv[1])) / 1e6;
  double best = 1e300, bestWall = 1e300;
  std::vector<double> cpu;
  std::size_t figures = 0, points = 0;
  for (int run = 0; run < std::max(runs, 1); ++run) {
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = cpuSeconds();
    const auto file = trazvik::import::readFigureFile(argv[1], trazvik::kFileTypeDxf);
    const double seconds = cpuSeconds() - cpuStart;
    bestWall = std::min(bestWall, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    if (!file.ok()) {
      std::fprintf(stderr, "%s\n", file.errorText(argv[1]).c_str());
      return 1;
    }
    best = std::min(best, seconds);
    cpu.push_back(seconds);
    figures = file.figures.size();
    points = 0;
    for (const auto& f : file.figures) points += f->p.size();
  }
  std::printf("file %.1f MB, %zu figures, %zu points\n", megabytes, figures, points);
  std::sort(cpu.begin(), cpu.end());
  const double median = cpu[cpu.size() / 2];
  std::printf("median of %d runs: %.3f s CPU, %.1f MB/s\n", runs, median, megabytes / median);
  std::printf("best of %d runs: %.3f s CPU, %.1f MB/s (wall clock %.3f s, %.1f MB/s)\n", runs, best, megabytes / best,
              bestWall, megabytes / bestWall);
  return 0;
}
