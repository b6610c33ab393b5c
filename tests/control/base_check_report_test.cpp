// The base-check reports' lines as a reader of the files sees them: the
// file name from the start time, the header, a measurement with and
// without the figure column, the abort and summary lines and the global
// report's columns, with the decimal comma of a Polish system.
#include "control/base_check_report.h"

#include <gtest/gtest.h>

namespace trazvik {
namespace {

tBaseCheckJobInfo jobInfo() {
  tBaseCheckJobInfo i;
  i.caption = "Trazvik   version 3.50";
  i.info1 = "YFB 32";
  i.processor = "STM32";
  i.firmware = "7.20.0";
  i.computer = "hala2";
  i.projectPath = "/tests/set1/a.plt";
  i.workSpeed = 1500;
  i.travelSpeed = 2500.5;
  i.drillFeed = 100;
  i.drillRetract = 200;
  i.toolDiameter = 3.175;
  i.doOutline = true;
  i.spiralStep = 1;
  i.scale = 100;
  i.radiusFactorStraight = 12;
  i.radiusFactorSmooth = 8;
  i.radiusFactorSlope = 5;
  i.rampStep = 40;
  i.cornerAngle = 165;
  i.cornerAngleFlat = 150.5;
  return i;
}

TEST(BaseCheckReport, FileNameComesFromTheStartTime) {
  EXPECT_EQ(baseCheckFileName(logging::toDateTime({2024, 6, 14, 10, 11, 12, 0})), "CheckBase2024-06-14.10-11-12.txt");
  EXPECT_EQ(baseCheckFileName(logging::toDateTime({2025, 1, 2, 0, 0, 5, 700})), "CheckBase2025-01-02.00-00-05.txt");
}

TEST(BaseCheckReport, HeaderLines) {
  const std::vector<std::string> expected{
      "[Trazvik   version 3.50, YFB 32 STM32 7.20.0]",
      "\n\r  Komputer: hala2\n\r\n\r  a.plt   [/tests/set1/a.plt]\n\r",
      "  Vr=1500 Vp=2500,5\n\r  Vposuw=100 Vcofanie=200\n\r  Srednica=3,175 Uwzgl.sredn.frezu=-1\n\r"
      "  Skok spirali=1 Skala=100\n\r",
      "  WspolczynnikSzybkosciNaLukach = 12\n\r  WspolczynnikSzybkosciNaLukachWygladzanie = 8\n\r"
      "  WspolczynnikSzybkosciNaLukachDz = 5\n\r",
      "  Przyspieszenie = 40\n\r  kat_tech_normalny_dz = 165\n\r  kat_tech_normalny_plaski = 150,5",
      "============================= START: 14.06.2024 10:11:12 =====================================\n\r",
  };
  EXPECT_EQ(baseCheckHeaderLines(jobInfo(), "14.06.2024 10:11:12", ','), expected);
}

TEST(BaseCheckReport, MeasurementAbortAndSummaryLines) {
  const trpoint3d at{125.5, -3, 4.25};
  EXPECT_EQ(baseCheckLine("00:01:05", at, 17, {0.02, -0.01, 0}, ','),
            "00:01:05      125,500    -3,000     4,250 fig=    17  baza=       0,020    -0,010     0,000");
  EXPECT_EQ(baseCheckLine("00:01:05", at, std::nullopt, {0.7, 0, 0}, '.'),
            "00:01:05      125.500    -3.000     4.250  baza=       0.700     0.000     0.000");

  tMinMax m = emptyDeviations();
  addDeviations(m, 0.2, 0, -0.01);
  addDeviations(m, 0.7, 0.03, 0);
  const std::vector<std::string> deviations{"odchyłka min X 0,200", "odchyłka max X 0,700",  "odchyłka min Y 0,000",
                                            "odchyłka max Y 0,030", "odchyłka min Z -0,010", "odchyłka max Z 0,000"};
  std::vector<std::string> abort{"---- TEST ZOSTAŁ PRZERWANY - pomyłka powyżej 0,5mm ----", " "};
  abort.insert(abort.end(), deviations.begin(), deviations.end());
  EXPECT_EQ(abortLines(m, ','), abort);

  std::vector<std::string> summary{"----- Koniec obróbki 14.06.2024 11:00:00 ------",
                                   "----- Czas   obróbki 00:48:48 ------", "----- Brak łączności ------", ""};
  summary.insert(summary.end(), deviations.begin(), deviations.end());
  EXPECT_EQ(summaryLines("14.06.2024 11:00:00", "00:48:48", true, m, ','), summary);
  summary.erase(summary.begin() + 2);
  EXPECT_EQ(summaryLines("14.06.2024 11:00:00", "00:48:48", false, m, ','), summary);
}

TEST(BaseCheckReport, ExactlyTheLimitPasses) {
  struct Case {
    trpoint3d deviation;
    bool beyond;
  };
  for (const Case& c : {Case{{0.5, -0.5, 0.5}, false}, Case{{0.501, 0, 0}, true}, Case{{0, -0.501, 0}, true},
                        Case{{0, 0, 0.6}, true}, Case{{0, 0, 0}, false}})
    EXPECT_EQ(beyondLimit(c.deviation), c.beyond) << c.deviation.x << " " << c.deviation.y << " " << c.deviation.z;
}

TEST(BaseCheckReport, GlobalReportColumns) {
  tMinMax m = emptyDeviations();
  addDeviations(m, 0.02, -0.01, 0);
  addDeviations(m, 0.04, 0.01, 0.005);
  EXPECT_EQ(globalReportLine("14.06.2024 10:11:12", jobInfo(), kResultOk, m, ','),
            "14.06.2024 10:11:12;a.plt;Ok;0,020;0,040;-0,010;0,010;0,000;0,005;STM32 7.20.0;"
            "Trazvik   version 3.50;YFB 32;40;12;5;165;150,5;");
  // A statistic no check has touched keeps the largest number: written in
  // the scientific form rather than as 309 digits.
  EXPECT_EQ(deviationText(emptyDeviations().minX, ','), "1,7976931E+308");
}

}  // namespace
}  // namespace trazvik
