#include "machine/identify_machine.h"

#include "base/keyed_records.h"
#include "base/text.h"

#include "machine/machine_table.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace trazvik {

namespace {

std::string upperCase(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

void takeRow(tMachineModel& m, const tMachineParams& row) {
  m.machineParams = row;
  m.loadedAxisFactorX = row.axisFactorX;
  m.loadedAxisFactorY = row.axisFactorY;
  m.loadedAxisFactorZ = row.axisFactorZ;
}

void loadRow(tMachineModel& m, const std::string& type) {
  if (auto row = machineRow(type)) takeRow(m, *row);
}

void loadRowFrom635(tMachineModel& m, const std::string& type) {
  if (auto row = machineRowFrom635(type)) takeRow(m, *row);
}

void setAngles(tMachineModel& m, double corner, double flat, double cosine) {
  m.cornerAngle = corner;
  m.cornerAngleFlat = flat;
  m.smoothJointCosine = cosine;
  m.zMotionCoefficient = 500;
  m.flatMotionCoefficient = 1000;
}

void drillSlotsOn(tMachineModel& m, tLinkState& link) {
  link.drillSlots = true;
  m.plungeSlot = 4;
  m.retractSlot = 5;
}

void drillFamilySetUp(tMachineModel& m, tLinkState& link) {
  m.wideRamp = &drillingWideRamp();
  drillSlotsOn(m, link);
  setAngles(m, 155, 155, 0.94);
}

void scaleTimerTick(tMachineModel& m) { m.machineParams.timerTick *= m.machineParams.tickScale; }

void travelVariant(tMachineModel& m, const tLinkState& link, const tIdentifyEnvironment& env) {
  tMachineParams& p = m.machineParams;
  const bool buildAtLeast = link.protocolLevel >= 9 && link.firmwareMinor >= 12 && link.firmwareBuild >= 77;
  if (!buildAtLeast) p.rampStep = 0;
  std::optional<bool> longTravel;
  if (!link.ethernetActive && env.readLongTravel) longTravel = env.readLongTravel();
  const bool isLong = longTravel.value_or(false);
  const std::uint16_t feed = isLong ? 30000 : 15000;
  p.maxFeedXY = p.maxWorkFeed = p.maxTravelFeed = feed;
  p.maxJogSpeed = isLong ? 480 : 330;
}

// Steps 1 to 6: the type code from the product string and the family rules
// that come before the rows.
void typeFromProductString(tMachineModel& m, tLinkState& link, const std::string& info1) {
  const std::string padded = paddedProductString(info1, 8);
  std::string& type = m.machineType;
  type = padded.substr(0, 3);
  const std::string digits = info1.size() > 5 ? info1.substr(3, 3) : std::string();
  if (type == "YNB") {
    type += digits;
    drillFamilySetUp(m, link);
  }
  if (type == "WTK") type = base::trimmedOfControls(info1.size() > 6 ? info1.substr(0, 6) : info1);
  if (type == "YFB") {
    type += digits;
    setAngles(m, 165, 165, 0.94);
    if (!link.firmwareAtLeast(6, 32)) m.machineParams.rampStep = 4;
  }
  if (type == "YHB" || type == "YCP") {
    type += digits;
    setAngles(m, 160, 160, 0.94);
  }
  if (type == "YJB") {
    loadRow(m, "YJB");
    setAngles(m, 160, 160, 0.94);
  }
}

bool isOneOf(const std::string& s, std::initializer_list<const char*> names) {
  return std::any_of(names.begin(), names.end(), [&](const char* n) { return s == n; });
}

// Steps 7 to 14: the rows of the table and their firmware adjustments.
void rowsOfTheTable(tMachineModel& m, tLinkState& link) {
  const std::string& type = m.machineType;
  if (isOneOf(type, {"LFV", "UFV", "TFV", "FV ", "4FV", "WFV", "RFV", "EFV", "EFF", "16W", "YFV", "YFF", "YfF", "EfF"}))
    loadRow(m, type);
  if (type == "PFF") {
    loadRow(m, type);
    m.wideRamp = &drillingWideRamp();
    m.cornerAngle = m.cornerAngleFlat = 160;
    m.smoothJointCosine = 0.966;
    scaleTimerTick(m);
    drillSlotsOn(m, link);
  }
  if (type == "YFB 32") {
    loadRow(m, type);
    m.wideRamp = &drillingWideRamp();
    if (link.protocolLevel == 6 && link.firmwareMinor == 34) {
      m.machineParams.radiusFactorStraight = 700;
      m.machineParams.radiusFactorSlope = 600;
      m.machineParams.rampStep = 4;
      m.cornerAngle = m.cornerAngleFlat = 160;
    }
  }
  if (type == "YHB 32") {
    loadRow(m, type);
    m.wideRamp = &drillingWideRamp();
  }
  if (type == "YFB 46" || type == "YFB 48") {
    loadRow(m, type);
    m.wideRamp = &drillingWideRamp();
  }
  if (isOneOf(type, {"YFB 32", "YFB 46", "YFB 48"}) && link.firmwareAtLeast(6, 35)) {
    m.cornerAngle = m.cornerAngleFlat = type == "YFB 48" ? 165 : 155;
    loadRowFrom635(m, type);
    scaleTimerTick(m);
  }
  if (isOneOf(type, {"YCP 50", "WTK55", "WTK32", "WTK32Q", "WTK32D", "WTK32V", "WTK11", "WTK64", "WTK65"})) {
    loadRow(m, type);
    m.wideRamp = &drillingWideRamp();
  }
  if (type == "YNB 15" || type == "YNB 30") loadRow(m, type);
}

// Steps 15 to 18: the drilling controllers and the remaining rows.
void laterFamilies(tMachineModel& m, tLinkState& link, const std::string& info1, const tIdentifyEnvironment& env) {
  const std::string padded = paddedProductString(info1, 8);
  const std::string core = base::trimmedOfControls(m.machineType);
  if (core == "RZ" || core == "RB" || core == "RB2") {
    if (core == "RZ" && padded[7] == 'b') m.noInverterMarker = true;
    drillFamilySetUp(m, link);
    loadRow(m, core);
    travelVariant(m, link, env);
  }
  if (m.machineType == "YFN") {
    drillFamilySetUp(m, link);
    loadRow(m, "YFN");
  }
  if (m.machineType == "YFF" && info1.size() >= 8 && info1.substr(4, 3) == "333") loadRow(m, "YFF 333");
  if (m.machineType == "YRN" || m.machineType == "YRF") loadRow(m, m.machineType);
}

// Steps 20 to 25: link values and capabilities derived from the result.
void derivedCapabilities(tMachineModel& m, tLinkState& link, const tIdentifyEnvironment& env) {
  const tMachineParams& p = m.machineParams;
  link.cncMachine = p.usbGeneration != 0 || env.directPortAccessForbidden;
  if (p.wideCommandSet) m.commandLengths.applyWideCommandSet();
  m.bezierCommands = link.controllerVersion >= 550;
  m.commandLengths.applyProtocolLevel(link.protocolLevel);
  if (link.firmwareAtLeast(6, 2) && isOneOf(m.machineType, {"WTK32", "WTK32Q", "WTK32D", "WTK32V", "WTK11"}))
    m.machineParams.rampStep = 2;
  m.safetyEnclosure =
      upperCase(m.machineType.substr(0, 3)) == "YFB" && env.safetyEnclosureSwitch && link.firmwareAtLeast(6, 2);
}

// Reads up to three numbers, one per line; stops at the first line that is
// not a number. Either decimal separator is accepted.
std::vector<double> readCalibrationFile(const std::filesystem::path& file) {
  std::vector<double> values;
  std::ifstream in(file);
  std::string line;
  while (values.size() < 3 && std::getline(in, line)) {
    std::replace(line.begin(), line.end(), ',', '.');
    const std::string text = base::trimmedOfControls(line);
    double v = 0;
    if (!base::readFiniteReal(text, v)) break;
    values.push_back(v);
  }
  return values;
}

}  // namespace

std::string paddedProductString(const std::string& info1, std::size_t length) {
  std::string s = info1;
  if (s.size() < length) s.resize(length, ' ');
  return s;
}

void applyAxisCalibration(tMachineModel& m, tLinkState& link, const tIdentifyEnvironment& env) {
  tMachineParams& p = m.machineParams;
  p.axisFactorX = m.loadedAxisFactorX;
  p.axisFactorY = m.loadedAxisFactorY;
  p.axisFactorZ = m.loadedAxisFactorZ;
  double* factors[] = {&p.axisFactorX, &p.axisFactorY, &p.axisFactorZ};
  if (link.drillSlots) {
    std::optional<std::array<float, 3>> report;
    if (env.readCalibration) report = env.readCalibration();
    link.calibrationFactors = report.value_or(std::array<float, 3>{1.0f, 1.0f, 1.0f});
    for (std::size_t i = 0; i < 3; ++i) *factors[i] /= link.calibrationFactors[i];
    return;
  }
  const std::filesystem::path file = std::filesystem::path(env.programDirectory) / "kalibracja.txt";
  std::error_code ec;
  if (env.programDirectory.empty() || !std::filesystem::is_regular_file(file, ec)) return;
  const std::vector<double> values = readCalibrationFile(file);
  for (std::size_t i = 0; i < values.size(); ++i) {
    const double factor = std::clamp(values[i], 0.6, 1.4);
    *factors[i] /= factor;
    link.calibrationFactors[i] = static_cast<float>(factor);
  }
}

void identifyMachine(tMachineModel& machine, tLinkState& link, const tplotstate& st, const tIdentifyEnvironment& env) {
  typeFromProductString(machine, link, st.info1);
  rowsOfTheTable(machine, link);
  laterFamilies(machine, link, st.info1, env);
  applyAxisCalibration(machine, link, env);
  derivedCapabilities(machine, link, env);
}

tMachineModel machineModelFor(const std::string& productString, int protocolLevel, int firmwareMinor, int firmwareBuild,
                              tLinkState& link) {
  link.protocolLevel = static_cast<std::uint16_t>(protocolLevel);
  link.firmwareMinor = static_cast<std::uint16_t>(firmwareMinor);
  link.firmwareBuild = firmwareBuild;
  tplotstate st;
  st.info1 = productString;
  tMachineModel machine;
  identifyMachine(machine, link, st, tIdentifyEnvironment{});
  return machine;
}

}  // namespace trazvik
