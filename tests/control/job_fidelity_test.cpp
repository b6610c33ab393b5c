// The job-fidelity matrix: every machine type of the machine table at
// protocol levels 5, 6 and 7 with each sample and the default settings, and
// every setting that changes the job toggled alone on each family of
// machines, each written as the start of cutting writes it and run on the
// simulated controller. Every toolpath point is cut within tolerance, the
// tool is off at the end and nothing is cut outside the project's box.
#include "job_fidelity.h"

#include "job/job_machine.h"
#include "machine/machine_table.h"
#include "texts/recording_message_boxes.h"

#include <gtest/gtest.h>

#include <chrono>
#include <iostream>

namespace trazvik::testing {
namespace {

class JobFidelity : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(texts_.loadLanguageFile(std::string(TRAZVIK_SOURCE_DIR) + "/lang/", "US", "0.1"));
  }

  void runAll(const std::vector<FidelityCase>& cases, const char* what) {
    const auto begin = std::chrono::steady_clock::now();
    std::size_t points = 0, refused = 0;
    double machineHours = 0;
    for (const FidelityCase& c : cases) {
      const FidelityOutcome o = runFidelityCase(c, texts_);
      EXPECT_TRUE(o.passed) << o.failure;
      points += o.points;
      refused += o.refused;
      machineHours += o.simulatedSeconds / 3600;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    std::cout << "job fidelity, " << what << ": " << cases.size() << " jobs (" << refused << " refused as expected), "
              << points << " toolpath points, " << machineHours << " h of machine time in " << seconds << " s\n";
  }

  texts::RecordingMessageBoxes boxes_;
  texts::tInterfejs texts_{boxes_};
};

constexpr const char* kFirmwares[] = {"5.10", "6.34", "7.20"};
constexpr const char* kSamples[] = {"star.plt", "plate.dxf", "pocket.nc"};

TEST_F(JobFidelity, EveryMachineTypeAtEveryLevelCutsEverySample) {
  std::vector<FidelityCase> cases;
  for (const std::string& type : machineTypeCodes()) {
    // The drills take their spindle speed in rpm: a program's S word does
    // not fit the one-byte power command of firmware below 6.
    const bool drill = jobMachineFor(type, 5, 10).link.drillSlots;
    for (const char* firmware : kFirmwares)
      for (const char* sample : kSamples) {
        FidelityCase c{type, firmware, sample, {}, {}};
        if (drill && std::string(firmware) == "5.10" && std::string(sample) == "pocket.nc")
          c.refusal = "firmware below 6 takes at most 255";
        cases.push_back(c);
      }
  }
  runAll(cases, "machine types with the default settings");
}

// One machine of each family: plotter-class and narrow-set routers, the
// wide-set router, the multi-head and the knife machine, the drills, the
// lasers without Z, with a focus axis and without heads.
struct Family {
  const char* machine;
  const char* firmware;
};
constexpr Family kFamilies[] = {
    {"LFV", "5.10"}, {"YFF", "5.10"}, {"YFB 32", "7.20"}, {"YJB", "7.20"},   {"YHB 32", "7.20"},
    {"RB2", "7.20"}, {"PFF", "6.34"}, {"WTK32", "7.20"},  {"WTK11", "7.20"}, {"WTK64", "7.20"},
};

using Settings = std::vector<std::pair<std::string, double>>;

// Each setting that changes the job, away from its default.
const Settings kToggles[] = {
    {{"doOutline", 0}},
    {{"cbZejsciePoSpirali", 1}},
    {{"cbZejsciePoSpirali", 1}, {"skok", 0.5}},
    {{"cbZejsciePoSpirali", 1}, {"polerowanie", 1}},
    {{"polerowanie", 1}},
    {{"wygladzanie", 1}},
    {{"wygladzanie", 1}, {"cbZejsciePoSpirali", 1}},
    {{"Glebokosc", 4}},
    {{"Skok_wiercenia", 0.3}},
    {{"order_fig", 0}},
    {{"order_fig", 2}},
    {{"Order_global", 0}},
    {{"Order_global", 2}},
    {{"Order_global", 3}},
    {{"Order_global", 4}},
    {{"Order_global", 5}},
    {{"out_dir", 0}},
    {{"out_dir", 1}},
    {{"in_dir", 0}},
    {{"LaserMiekkiStart", 1}},
    {{"LotnyStart", 1}},
    {{"CBAktywnaGlowica", 1}},
    {{"CBAktywnaGlowica", 1}, {"CBDwuKierunkowyNoz", 1}},
    {{"ProjektType", 1}},
    {{"rbOdjazdDoPunktu", 1}},
    {{"rbTylkoGlowicaDoGory", 1}},
};

TEST_F(JobFidelity, EachSettingAloneOnEachFamilyCutsTheStar) {
  std::vector<FidelityCase> cases;
  for (const Family& f : kFamilies)
    for (const Settings& s : kToggles) cases.push_back({f.machine, f.firmware, "star.plt", s, {}});
  runAll(cases, "settings toggled on each family");
}

}  // namespace
}  // namespace trazvik::testing
