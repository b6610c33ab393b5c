// trazvik-cli frame: how the program starts with the given options — its
// caption, version, folders, language and switches.
#include "commands.h"

#include "base/version_text.h"

#include <CLI/CLI.hpp>

#include <iostream>

namespace trazvik::cli {
namespace {

void printFrame(Context& context, bool takeLock) {
  app::ProgramFrame& frame = context.frame();
  if (takeLock) context.requireSingleInstance();
  const base::StartupSwitches& s = frame.switches();
  std::cout << "caption: " << frame.caption() << '\n'
            << "version: " << base::programVersionText() << '\n'
            << "program directory: " << frame.programDirectory() << '\n'
            << "data directory: " << frame.dataDirectory() << '\n'
            << "language: " << frame.texts().skrotJez() << " (country " << frame.texts().country() << ", file "
            << frame.texts().loadedFile() << ")\n";
  std::cout << "switches:";
  const std::pair<const char*, bool> flags[] = {{"95", s.skipUsb},
                                                {"service", s.serviceMode},
                                                {"testy", s.testMode},
                                                {"spline", s.spline},
                                                {"SaveLastPos", s.saveLastPos},
                                                {"SaveLogToXML", s.saveLogToXml},
                                                {"JobLogging", s.jobLogging},
                                                {"Ethernet", s.ethernet},
                                                {"arcV", s.arcV},
                                                {"calib", s.calibration},
                                                {"touchPanel", s.touchPanel},
                                                {"DSCH", s.showBaseCheck},
                                                {"SafetyEnclosure", s.safetyEnclosure}};
  for (const auto& [name, on] : flags) {
    if (on) std::cout << ' ' << name;
  }
  if (s.checkBaseMode) std::cout << " CHECKBASE=" << s.checkBaseInterval;
  std::cout << '\n';
  if (!s.machineFilter.empty()) std::cout << "only machine: " << s.machineFilter << '\n';
  if (s.maxX) std::cout << "maxX: " << *s.maxX << '\n';
  if (s.maxY) std::cout << "maxY: " << *s.maxY << '\n';
  if (s.laserFullPower) std::cout << "ADres: " << *s.laserFullPower << '\n';
  if (takeLock) std::cout << "single instance: held\n";
}

}  // namespace

void addFrameCommand(CLI::App& app, Context& context) {
  CLI::App* command = app.add_subcommand("frame", "Show how the program starts: caption, folders, language, switches");
  auto lock = std::make_shared<bool>(false);
  command->add_flag("--lock", *lock, "Also apply the single-instance rule, as the desktop program does");
  command->callback([&context, lock] { printFrame(context, *lock); });
}

}  // namespace trazvik::cli
