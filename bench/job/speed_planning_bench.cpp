// Corner speed planning over a generated project; prints points per second.
#include "job/corner_planner.h"
#include "machine/identify_machine.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace trazvik;

namespace {

// Figure k of the project: a circle of 1000 points entering on a ramp, or
// every fourth one a square with sharp corners; file units of a plot file.
void makeFigure(int k, std::vector<trpoint3d>& sp) {
  sp.clear();
  const double cx = (k % 40) * 4000.0, cy = (k / 40) * 4000.0;
  if (k % 4 == 3) {
    for (int i = 0; i < 1000; ++i) {
      const int side = i / 250, t = i % 250;
      const double a = t * 8.0;
      const double x = side == 0 ? a : side == 1 ? 2000 : side == 2 ? 2000 - a : 0;
      const double y = side == 0 ? 0 : side == 1 ? a : side == 2 ? 2000 : 2000 - a;
      sp.push_back({cx + x, cy + y, -200});
    }
    return;
  }
  const double r = 200 + (k % 17) * 100.0;
  for (int i = 0; i < 1000; ++i) {
    const double a = i * 2 * 3.14159265358979 / 999;
    const double z = i < 100 ? -2.0 * i : -200;
    sp.push_back({cx + r * std::cos(a), cy + r * std::sin(a), z});
  }
}

void run(const std::string& product, int minor, long points) {
  tLinkState link;
  const tMachineModel model = machineModelFor(product, 7, minor, 0, link);
  tSpeedPlanParams p = speedPlanParamsOf(model, link);
  const int figures = int(points / 1000);
  std::vector<std::vector<trpoint3d>> project(figures);
  for (int k = 0; k < figures; ++k) makeFigure(k, project[k]);

  std::vector<std::uint16_t> tnx;
  std::size_t largest = 0;
  unsigned long checksum = 0;
  const auto start = std::chrono::steady_clock::now();
  for (const auto& sp : project) {
    planSpeedCodes(sp, p, tnx);
    largest = std::max(largest, tnx.capacity());
    for (std::uint16_t c : tnx) checksum += c;
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%-8s %ld points in %.3f s: %.0f points/s; largest code list %zu entries; checksum %lu\n",
              product.c_str(), points, seconds, double(points) / seconds, largest, checksum);
}

}  // namespace

int main(int argc, char** argv) {
  const long points = argc > 1 ? std::max(1000L, std::atol(argv[1])) : 1000000L;
  if (argc > 2) {
    run(argv[2], 20, points);
    return 0;
  }
  run("YFB 32", 20, points);
  run("YFV", 20, points);
  return 0;
}
