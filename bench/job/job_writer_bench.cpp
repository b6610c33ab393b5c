// Writing a prepared project of generated figures into a job file, speed
// planning included; prints points per second of processor time (the
// machine may be shared, so wall time would mislead) and the job's size.
// Run it under /usr/bin/time -v to see the peak memory.
#include "config/tdlgkonfig.h"
#include "job/job_writer.h"
#include "project/tmdichild.h"
#include "texts/interfejs.h"
#include "texts/recording_message_boxes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>

using namespace trazvik;

namespace {

// Figure k: a circle of 1000 points entering on a ramp or, every fourth, a
// square with sharp corners; file units of a plot file, 1 mm = 40.
std::unique_ptr<tfigura> makeFigure(int k) {
  auto f = std::make_unique<tfigura>();
  f->tocut = true;
  f->org_color = 1;
  auto& sp = f->sp;
  sp.reserve(1000);
  const double cx = (k % 40) * 4000.0, cy = (k / 40 % 40) * 4000.0;
  const double bottom = 359.6;  // 8.99 mm: 1.5 mm into 10 mm of material on 0.49 mm
  if (k % 4 == 3) {
    for (int i = 0; i < 1000; ++i) {
      const int side = i / 250, t = i % 250;
      const double a = t * 8.0;
      const double x = side == 0 ? a : side == 1 ? 2000 : side == 2 ? 2000 - a : 0;
      const double y = side == 0 ? 0 : side == 1 ? a : side == 2 ? 2000 : 2000 - a;
      sp.push_back({cx + x, cy + y, bottom});
    }
    return f;
  }
  const double r = 200 + (k % 17) * 100.0;
  for (int i = 0; i < 1000; ++i) {
    const double a = i * 2 * 3.14159265358979 / 999;
    const double z = i < 100 ? 419.6 - 0.6 * i : bottom;
    sp.push_back({cx + r * std::cos(a), cy + r * std::sin(a), z});
  }
  return f;
}

double cpuSeconds() { return double(std::clock()) / CLOCKS_PER_SEC; }

}  // namespace

int main(int argc, char** argv) {
  const long points = argc > 1 ? std::max(1000L, std::atol(argv[1])) : 1000000L;
  const std::string type = argc > 2 ? argv[2] : "YFB 32";
  const std::filesystem::path out = argc > 3 ? argv[3] : (std::filesystem::temp_directory_path() / "bench_out.cnx");

  TDlgkonfig konfig;
  texts::RecordingMessageBoxes boxes;
  texts::tInterfejs interfejs(boxes);
  TMDIChild project(konfig, interfejs);
  project.ImportFileType = kFileTypeHpgl;
  const int figures = int(points / 1000);
  for (int k = 0; k < figures; ++k) project.fig.push_back(makeFigure(k));
  const tMachineState machine = jobMachineFor(type, 7, 20);

  const double start = cpuSeconds();
  const tJobResult r = writeJob(project, konfig, machine, out, {});
  const double seconds = cpuSeconds() - start;
  if (!r.ok) {
    std::fprintf(stderr, "%s\n", r.error.c_str());
    return 1;
  }
  std::printf("%-8s %ld points written in %.3f s of processor time: %.0f points/s; job %llu bytes at %s\n",
              type.c_str(), long(figures) * 1000, seconds, double(figures) * 1000 / seconds,
              static_cast<unsigned long long>(r.bytes), out.string().c_str());
  return 0;
}
