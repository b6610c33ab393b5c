// Bezier smoothing of opened projects: the outline step fits chains when
// smoothing is on and the controller cuts Bezier records, and only then.
#include "../common/bezier_distance.h"
#include "config/tdlgkonfig.h"
#include "prepare/bezier_fit.h"
#include "project/open_project.h"
#include "project/tmdichild.h"
#include "texts/interfejs.h"
#include "texts/recording_message_boxes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace trazvik {
namespace {

class SmoothedProject : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(texts_.loadLanguageFile(std::string(TRAZVIK_SOURCE_DIR) + "/lang/", "US", "0.1"));
  }
  void machine(bool bezier) {
    config::MachineContext m;
    m.identified = true;
    m.machineType = "YFB 32";
    m.cncMachine = true;
    m.controllerVersion = bezier ? 720 : 540;
    m.bezierCommands = bezier;
    m.smoothJointCosine = 0.94;
    m.axisFactorX = 1;
    settings_.SetParam(m);
    settings_.set("wygladzanie", 1);
  }
  std::unique_ptr<TMDIChild> open() { return OtworzProjekt(GetParam(), settings_, texts_, {}); }

  texts::RecordingMessageBoxes boxes_;
  texts::tInterfejs texts_{boxes_};
  TDlgkonfig settings_;
};

TEST_P(SmoothedProject, EveryOutlinePointLiesWithinAHundredthsOfTheChain) {
  machine(true);
  auto p = open();
  ASSERT_NE(p, nullptr);
  const double unitsPerMm = p->ImportFileType == 1 ? 40 : 100;
  int smoothed = 0;
  for (const auto& f : p->fig) {
    if (f->otwor) continue;
    ASSERT_FALSE(f->LBezier.empty());
    ASSERT_FALSE(f->SpiralaBezier.empty());
    ++smoothed;
    double worst = 0;
    for (const trealpoint& q : f->op) worst = std::max(worst, testing::distanceToBezierChain(q, f->LBezier));
    // 0.05 mm, and a little for the sampling of the curve.
    EXPECT_LE(worst / unitsPerMm, 0.05 + 0.002) << "figure " << f->org_index;
    double length = 0;
    for (const tBezier& b : f->LBezier) length += b.Dlugosc;
    EXPECT_DOUBLE_EQ(f->obwod, length);
    EXPECT_LT(f->LBezier.size(), f->op.size());
  }
  EXPECT_GT(smoothed, 0);
}

TEST_P(SmoothedProject, NoChainWithoutAControllerThatTakesThem) {
  machine(false);
  auto p = open();
  ASSERT_NE(p, nullptr);
  for (const auto& f : p->fig) EXPECT_TRUE(f->LBezier.empty() && f->SpiralaBezier.empty());
}

INSTANTIATE_TEST_SUITE_P(Designs, SmoothedProject,
                         ::testing::Values(TRAZVIK_SOURCE_DIR "/tests/fixtures/letter_b.dxf",
                                           TRAZVIK_SOURCE_DIR "/samples/star.plt",
                                           TRAZVIK_SOURCE_DIR "/samples/plate.dxf"));

}  // namespace
}  // namespace trazvik
