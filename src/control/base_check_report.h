// The lines of the base-check reports: the per-job report ("CheckBase" +
// the start time + ".txt") with its header, measurement and summary lines,
// and the global report "CheckBase_GlobalRaport.txt" with one line per
// checked job. Pure text: the caller supplies the values, the decimal
// separator and the date texts, and writes the lines with CR LF ends.
#pragma once
#include "no_qt.h"

#include "geometry/records.h"
#include "logging/date_time.h"

#include <optional>
#include <string>
#include <vector>

namespace trazvik {

inline constexpr double kBaseCheckLimitMm = 0.5;
inline constexpr const char* kGlobalReportName = "CheckBase_GlobalRaport.txt";
inline constexpr const char* kResultOk = "Ok";
inline constexpr const char* kResultFailed = "Pomyłka";

// The deviation statistics of a job before its first check: the smallest
// values start at the largest number and the largest at the lowest.
tMinMax emptyDeviations();
// Lowers the minima and raises the maxima with one check's deviations (mm).
void addDeviations(tMinMax& m, double x, double y, double z);

// What the report header and the global line tell about the machine and
// the job.
struct tBaseCheckJobInfo {
  std::string caption;      // the main window's caption
  std::string info1;        // the controller's product string
  std::string processor;    // processorName
  std::string firmware;     // protocol level, minor and build joined by "."
  std::string computer;     // network name of this computer
  std::string projectPath;  // full path of the project file
  // Settings (mm, mm/min, percent).
  double workSpeed = 0, travelSpeed = 0, drillFeed = 0, drillRetract = 0;
  double toolDiameter = 0, spiralStep = 0, scale = 100;
  bool doOutline = false;
  // Machine parameters.
  int radiusFactorStraight = 0, radiusFactorSmooth = 0, radiusFactorSlope = 0, rampStep = 0;
  double cornerAngle = 0, cornerAngleFlat = 0;
};

// "CheckBase2024-06-14.10-11-12.txt" for a start at 2024-06-14 10:11:12.
std::string baseCheckFileName(logging::DateTime start);
// The file name of a path, after its last "/" or "\".
std::string fileNameOf(const std::string& path);

// The header lines written at the start of a job; `startText` is the
// current date and time in the computer's short date and long time form.
std::vector<std::string> baseCheckHeaderLines(const tBaseCheckJobInfo& info, const std::string& startText,
                                              char separator);

// One measurement: the elapsed time, the break point (mm from the work
// zero), the nearest figure (none for G-code projects) and the deviations
// (mm). Ends without the abort text; the caller adds it above the limit.
std::string baseCheckLine(const std::string& elapsed, const trpoint3d& breakPointMm, std::optional<int> figure,
                          const trpoint3d& deviationMm, char separator);
// The deviation exceeds the limit in some axis (exactly the limit passes).
bool beyondLimit(const trpoint3d& deviationMm);
// The abort lines: the abort text, a line holding one blank, the six
// deviation lines.
std::vector<std::string> abortLines(const tMinMax& deviations, char separator);
// "odchyłka min X " ... "odchyłka max Z " with their values.
std::vector<std::string> deviationLines(const tMinMax& deviations, char separator);
// The lines at the end of a job: end time, duration, the lost link when
// the controller is gone, an empty line and the six deviation lines.
std::vector<std::string> summaryLines(const std::string& endText, const std::string& duration, bool linkLost,
                                      const tMinMax& deviations, char separator);

// The global report's header line and one job's line.
std::string globalReportHeader();
std::string globalReportLine(const std::string& startText, const tBaseCheckJobInfo& info, const std::string& result,
                             const tMinMax& deviations, char separator);

// A deviation as the reports write it: fixed, 3 decimals, at most 8
// significant digits before the scientific form takes over.
std::string deviationText(double mm, char separator);

}  // namespace trazvik
