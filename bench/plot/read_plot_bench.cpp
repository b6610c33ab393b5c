// Reads a plot file into figures several times and reports the speed
// (median MB/s of input) and the heap held per stored point beyond the
// 16 bytes of the point itself.
//
//   plot_read_bench FILE.plt [RUNS]        (5 runs by default)
#include "import/read_figures.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <malloc.h>
#include <time.h>
#include <vector>

namespace {

// CPU time of this process: on a shared machine the wall clock also counts
// the time other programs held the core.
double cpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

std::size_t heapInUse() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s FILE.plt [RUNS]\n", argv[0]);
    return 2;
  }
  const std::string path = argv[1];
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  const double megabytes = static_cast<double>(std::filesystem::file_size(path)) / 1e6;

  std::vector<double> seconds, cpu;
  std::size_t figures = 0, points = 0, heldBytes = 0;
  for (int run = 0; run < runs; ++run) {
    const std::size_t before = heapInUse();
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = cpuSeconds();
    trazvik::import::tFigureFile file = trazvik::import::readFigureFile(path, trazvik::kFileTypeHpgl);
    const auto stop = std::chrono::steady_clock::now();
    cpu.push_back(cpuSeconds() - cpuStart);
    if (!file.ok()) {
      std::fprintf(stderr, "%s\n", file.errorText(path).c_str());
      return 1;
    }
    heldBytes = heapInUse() - before;
    figures = file.figures.size();
    points = 0;
    for (const auto& f : file.figures) points += f->p.size();
    seconds.push_back(std::chrono::duration<double>(stop - start).count());
    std::printf("run %d: wall %.3f s (%.1f MB/s), cpu %.3f s (%.1f MB/s)\n", run + 1, seconds.back(),
                megabytes / seconds.back(), cpu.back(), megabytes / cpu.back());
  }
  std::sort(seconds.begin(), seconds.end());
  std::sort(cpu.begin(), cpu.end());
  const double median = seconds[seconds.size() / 2];
  const double medianCpu = cpu[cpu.size() / 2];
  const double perPoint = static_cast<double>(heldBytes) / static_cast<double>(points);
  std::printf("file: %.1f MB, %zu figures, %zu points\n", megabytes, figures, points);
  std::printf("median of %d runs: wall %.3f s (%.1f MB/s), cpu %.3f s (%.1f MB/s)\n", runs, median, megabytes / median,
              medianCpu, megabytes / medianCpu);
  std::printf("heap held by the figures: %.1f MB, %.1f bytes per point, %.1f beyond the point itself\n",
              static_cast<double>(heldBytes) / 1e6, perPoint, perPoint - 16.0);
  return 0;
}
