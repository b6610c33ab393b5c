#include "prepare/frame_and_pick.h"

#include "geometry/segment_distance.h"
#include "geometry/units.h"
#include "layers/warstwy.h"

#include <limits>

namespace trazvik {

void oznaczToCutRamki(tListaFigur& figury, bool jestRamka, bool bezramki, tWarstwy* warstwy) {
  if (!jestRamka) return;
  for (auto& f : figury) {
    if (!f->ramka) continue;
    const bool tocut = !bezramki;
    if (warstwy != nullptr && f->tocut != tocut) {
      if (tocut) {
        warstwy->incIloscFigAktywnych(f->org_color);
      } else {
        warstwy->decIloscFigAktywnych(f->org_color);
      }
    }
    f->tocut = tocut;
    return;
  }
}

int ktoraToFigura(const tListaFigur& figury, double y, double x, int fileType, double skala) {
  const trealpoint target{x, y};
  const double scale = skala / 100;
  int best = -1;
  double bestDistance = std::numeric_limits<double>::infinity();
  for (std::size_t i = 0; i < figury.size(); ++i) {
    const tfigura& f = *figury[i];
    auto mm = [&](const trealpoint& p) {
      return trealpoint{toMm(fileType, p.x - f.xp) * scale, toMm(fileType, p.y - f.yp) * scale};
    };
    for (std::size_t k = 1; k < f.op.size(); ++k) {
      double angle = 0;
      int endCode = 0;
      const double d = pointSegmentDistance(target, {mm(f.op[k - 1]), mm(f.op[k])}, 0, angle, endCode);
      if (d < bestDistance) {
        bestDistance = d;
        best = static_cast<int>(i);
      }
    }
  }
  return best;
}

}  // namespace trazvik
