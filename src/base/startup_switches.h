#pragma once
#include "base/command_line.h"

#include <optional>
#include <string>

namespace trazvik::base {

// The program's switches and value options, read once at start and never
// changed afterwards.
struct StartupSwitches {
  bool skipUsb = false;          // "95" as the first or second argument, exactly
  bool serviceMode = false;      // "service"
  bool testMode = false;         // "testy"
  bool spline = false;           // "spline"
  bool saveLastPos = false;      // "SaveLastPos"
  bool saveLogToXml = false;     // "SaveLogToXML"
  bool jobLogging = false;       // "JobLogging"
  bool ethernet = false;         // "Ethernet"
  bool arcV = false;             // "arcV"
  bool calibration = false;      // "kalib" or "calib"
  bool touchPanel = false;       // "touchPanel"
  bool showBaseCheck = false;    // "DebugShowCheckHome", "DSCH" or "Service"
  bool checkBaseMode = false;    // "CHECKBASE" or "CHECKBASE=n"
  int checkBaseInterval = 60;    // seconds, the n of "CHECKBASE=n"
  bool safetyEnclosure = false;  // "SafetyEnclosure"

  std::string machineFilter;                // OnlyMachine='name', empty when absent
  std::optional<std::string> dataDir;       // dataDir='folder'
  std::optional<long long> maxX;            // maxX='n', millimetres
  std::optional<long long> maxY;            // maxY='n', millimetres
  std::optional<long long> laserFullPower;  // ADres='n'
};

StartupSwitches readStartupSwitches(const CommandLine& commandLine);

// "CHECKBASE" alone gives the default interval; "CHECKBASE=n" gives n
// seconds. Nothing when no argument is the base-check switch.
std::optional<int> checkBaseSwitch(const CommandLine& commandLine);

}  // namespace trazvik::base
