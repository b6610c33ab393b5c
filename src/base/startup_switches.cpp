#include "base/startup_switches.h"

#include <charconv>

namespace trazvik::base {
namespace {

constexpr std::string_view kCheckBase = "CHECKBASE";
constexpr int kDefaultCheckBaseInterval = 60;

// The seconds after "CHECKBASE=": a positive whole number, else the default.
int checkBaseInterval(std::string_view text) {
  int value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || value <= 0) return kDefaultCheckBaseInterval;
  return value;
}

}  // namespace

std::optional<int> checkBaseSwitch(const CommandLine& commandLine) {
  for (const std::string& argument : commandLine.arguments()) {
    if (equalsIgnoringCase(argument, kCheckBase)) return kDefaultCheckBaseInterval;
    if (startsWithIgnoringCase(argument, kCheckBase) && argument.size() > kCheckBase.size() &&
        argument[kCheckBase.size()] == '=') {
      return checkBaseInterval(std::string_view(argument).substr(kCheckBase.size() + 1));
    }
  }
  return std::nullopt;
}

StartupSwitches readStartupSwitches(const CommandLine& commandLine) {
  StartupSwitches s;
  s.skipUsb = commandLine.argumentAt(0, "95") || commandLine.argumentAt(1, "95");
  s.serviceMode = commandLine.hasSwitch("service");
  s.testMode = commandLine.hasSwitch("testy");
  s.spline = commandLine.hasSwitch("spline");
  s.saveLastPos = commandLine.hasSwitch("SaveLastPos");
  s.saveLogToXml = commandLine.hasSwitch("SaveLogToXML");
  s.jobLogging = commandLine.hasSwitch("JobLogging");
  s.ethernet = commandLine.hasSwitch("Ethernet");
  s.arcV = commandLine.hasSwitch("arcV");
  s.calibration = commandLine.hasAnySwitch({"kalib", "calib"});
  s.touchPanel = commandLine.hasSwitch("touchPanel");
  s.showBaseCheck = commandLine.hasAnySwitch({"DebugShowCheckHome", "DSCH", "Service"});
  if (std::optional<int> interval = checkBaseSwitch(commandLine)) {
    s.checkBaseMode = true;
    s.checkBaseInterval = *interval;
  }
  s.safetyEnclosure = commandLine.hasSwitch("SafetyEnclosure");

  s.machineFilter = commandLine.valueOption("OnlyMachine").value_or("");
  s.dataDir = commandLine.valueOption("dataDir");
  s.maxX = commandLine.integerOption("maxX");
  s.maxY = commandLine.integerOption("maxY");
  s.laserFullPower = commandLine.integerOption("ADres");
  return s;
}

}  // namespace trazvik::base
