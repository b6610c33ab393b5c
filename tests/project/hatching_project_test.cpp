// Hatching a project opened from a file: a letter with holes from a DXF
// drawing filled at a slant, the lines replaced by a second hatching, the
// contours' cut flags, and the layer of black hatch lines.
#include "project/hatching_form.h"

#include "config/tdlgkonfig.h"
#include "geometry/units.h"
#include "prepare/containment.h"
#include "project/open_project.h"
#include "project/tmdichild.h"
#include "texts/interfejs.h"
#include "texts/recording_message_boxes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace trazvik {
namespace {

const std::string kLetter = std::string(TRAZVIK_SOURCE_DIR) + "/tests/fixtures/letter_b.dxf";

class HatchedProject : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(texts_.loadLanguageFile(std::string(TRAZVIK_SOURCE_DIR) + "/lang/", "US", "0.1"));
    settings_.set("doOutline", 0);  // the hatch lines stop at the drawn contours
  }
  std::unique_ptr<TMDIChild> open() {
    auto p = OtworzProjekt(kLetter, settings_, texts_, {});
    EXPECT_NE(p, nullptr);
    return p;
  }
  static std::vector<const tfigura*> lines(const TMDIChild& p) {
    std::vector<const tfigura*> l;
    for (const auto& f : p.fig)
      if (f->kreska) l.push_back(f.get());
    return l;
  }
  static std::vector<const tfigura*> contours(const TMDIChild& p) {
    std::vector<const tfigura*> c;
    for (const auto& f : p.fig)
      if (!f->kreska) c.push_back(f.get());
    return c;
  }

  texts::RecordingMessageBoxes boxes_;
  texts::tInterfejs texts_{boxes_};
  TDlgkonfig settings_;
};

double distanceToSegment(trealpoint p, trealpoint a, trealpoint b) {
  const double vx = b.x - a.x, vy = b.y - a.y;
  const double len2 = vx * vx + vy * vy;
  const double t = len2 > 0 ? std::clamp(((p.x - a.x) * vx + (p.y - a.y) * vy) / len2, 0.0, 1.0) : 0.0;
  return std::hypot(p.x - a.x - t * vx, p.y - a.y - t * vy);
}

TEST_F(HatchedProject, LetterWithHolesIsFilledInsideItsMaterialOnly) {
  auto p = open();
  ASSERT_NE(p, nullptr);
  ASSERT_EQ(p->fig.size(), 3u);
  tUstawieniaKreskowania u;
  u.Odstep = 1;
  u.Kat = 30;
  std::string error;
  ASSERT_TRUE(zakreskujProjekt(*p, u, false, error)) << error;
  const auto hatch = lines(*p);
  const auto drawn = contours(*p);
  ASSERT_EQ(drawn.size(), 3u);
  const tfigura* outer = *std::max_element(drawn.begin(), drawn.end(), [](const tfigura* a, const tfigura* b) {
    return a->fig_x_size * a->fig_y_size < b->fig_x_size * b->fig_y_size;
  });
  auto inMaterial = [&](trealpoint q) {
    if (!IsPointInPoly(q, outer->p)) return false;
    for (const tfigura* h : drawn)
      if (h != outer && IsPointInPoly(q, h->p)) return false;
    return true;
  };
  // Every line lies in the material, sampled along its length.
  ASSERT_GT(hatch.size(), 50u);
  for (const tfigura* l : hatch) {
    EXPECT_NEAR(std::atan2(std::fabs(l->p[1].y - l->p[0].y), std::fabs(l->p[1].x - l->p[0].x)) * 180 / M_PI, 30, 1e-6);
    EXPECT_EQ(l->lezy_w, outer);
    for (int k = 1; k < 40; ++k) {
      const double t = k / 40.0;
      const trealpoint q{l->p[0].x + t * (l->p[1].x - l->p[0].x), l->p[0].y + t * (l->p[1].y - l->p[0].y)};
      ASSERT_TRUE(inMaterial(q)) << "(" << q.x << ", " << q.y << ")";
    }
  }
  // Together they cover the material: every point of it farther than one
  // spacing from the edges is within half a spacing of a line.
  const double spacing = 100;  // file units of a DXF drawing
  int checked = 0;
  for (double x = outer->fig_pp.x; x <= outer->fig_pk.x; x += 37) {
    for (double y = outer->fig_pp.y; y <= outer->fig_pk.y; y += 37) {
      const trealpoint q{x, y};
      if (!inMaterial(q)) continue;
      double edge = 1e300;
      for (const tfigura* f : drawn)
        for (std::size_t i = 0; i + 1 < f->p.size(); ++i)
          edge = std::min(edge, distanceToSegment(q, f->p[i], f->p[i + 1]));
      if (edge <= spacing) continue;
      double nearest = 1e300;
      for (const tfigura* l : hatch) nearest = std::min(nearest, distanceToSegment(q, l->p[0], l->p[1]));
      EXPECT_LE(nearest, spacing / 2 + 1e-6) << "(" << x << ", " << y << ") is not covered";
      ++checked;
    }
  }
  EXPECT_GT(checked, 200);
}

TEST_F(HatchedProject, HatchingAgainReplacesTheLinesAndTheContoursFollowTheirChoice) {
  auto p = open();
  ASSERT_NE(p, nullptr);
  tUstawieniaKreskowania u;
  u.Odstep = 1;
  u.Kat = 0;
  std::string error;
  ASSERT_TRUE(zakreskujProjekt(*p, u, false, error)) << error;
  const std::size_t fine = lines(*p).size();
  for (const tfigura* c : contours(*p)) EXPECT_FALSE(c->tocut);
  // The hatch lines come first in the cutting order.
  for (std::size_t i = 0; i < fine; ++i) EXPECT_TRUE(p->fig[i]->kreska) << i;

  u.Odstep = 2;
  u.WytnijObrys = true;
  ASSERT_TRUE(zakreskujProjekt(*p, u, false, error)) << error;
  const std::size_t coarse = lines(*p).size();
  EXPECT_EQ(contours(*p).size(), 3u);
  for (const tfigura* c : contours(*p)) EXPECT_TRUE(c->tocut);

  auto fresh = open();
  ASSERT_TRUE(zakreskujProjekt(*fresh, u, false, error)) << error;
  EXPECT_EQ(coarse, lines(*fresh).size());
  EXPECT_LT(coarse, fine);
  EXPECT_TRUE(p->hasHatching);
}

TEST_F(HatchedProject, RefusedHatchingLeavesTheProjectAsItWas) {
  auto p = open();
  ASSERT_NE(p, nullptr);
  tUstawieniaKreskowania u;
  u.Odstep = 1;
  std::string error;
  ASSERT_TRUE(zakreskujProjekt(*p, u, false, error));
  const std::size_t before = p->fig.size();
  u.Odstep = 0;
  EXPECT_FALSE(zakreskujProjekt(*p, u, false, error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(p->fig.size(), before);
}

TEST_F(HatchedProject, BlackLinesOfAMultiLayerProjectGetTheirOwnLayer) {
  settings_.set("ProjektType", 1);
  for (int colour : {0, 1}) {
    auto p = open();
    ASSERT_NE(p, nullptr);
    ASSERT_NE(p->warstwy, nullptr);
    tUstawieniaKreskowania u;
    u.rgKolorDodawanychKresek = colour;
    std::string error;
    ASSERT_TRUE(zakreskujProjekt(*p, u, false, error)) << error;
    const std::size_t n = lines(*p).size();
    for (const tfigura* l : lines(*p)) EXPECT_EQ(l->org_color, colour == 1 ? 0 : 7);
    const tWarstwa& layer = p->warstwy->layer[colour == 1 ? 0 : 7];
    EXPECT_TRUE(layer.wystepuje);
    EXPECT_EQ(layer.iloscFigAktywnych, static_cast<int>(n));
    EXPECT_EQ(p->warstwy->layerCount(), colour == 1 ? 2 : 1);
    EXPECT_GT(layer.szybkosc, 0);
  }
}

}  // namespace
}  // namespace trazvik
