// trazvik-sim: a simulated motion controller on TCP, for end-to-end tests and
// for an operator's dry run. It serves the command port and the identity port
// until SIGINT or SIGTERM, then writes the trace of the tool if asked.
#include "controller.h"
#include "faults.h"
#include "sim_server.h"
#include "journal.h"
#include "trace_writer.h"

#include "build_info.h"

#include <CLI/CLI.hpp>

#include <csignal>
#include <iostream>
#include <memory>
#include <sstream>

namespace {

using namespace trazvik::sim;

bool parseArea(const std::string& text, std::array<double, 3>& area) {
  std::istringstream in(text);
  char comma1 = 0, comma2 = 0;
  in >> area[0] >> comma1 >> area[1] >> comma2 >> area[2];
  return in && !in.rdbuf()->in_avail() && comma1 == ',' && comma2 == ',' && area[0] > 0 && area[1] > 0 && area[2] >= 0;
}

struct Options {
  SimConfig config;
  ServerPorts ports;
  std::string firmware = "7.20";
  std::string area, secondArea;
  std::vector<std::string> faults;
  std::string tracePath;
  std::string journalPath;
  std::string knife;
  std::string tableSurface;
};

int run(Options& o) {
  if (!parseFirmware(o.firmware, o.config)) {
    std::cerr << "trazvik-sim: the firmware version must look like 7.20 or 7.20.3, not \"" << o.firmware << "\"\n";
    return 2;
  }
  if (!o.area.empty() && !parseArea(o.area, o.config.workArea)) {
    std::cerr << "trazvik-sim: the working area must be X,Y,Z in millimetres, not \"" << o.area << "\"\n";
    return 2;
  }
  if (!o.secondArea.empty()) {
    std::array<double, 3> a{};
    if (!parseArea(o.secondArea, a)) {
      std::cerr << "trazvik-sim: the second working area must be X,Y,Z in millimetres\n";
      return 2;
    }
    o.config.secondWorkArea = a;
  }
  if (!o.knife.empty()) o.config.knifeAxis = o.knife == "on";
  if (!o.tableSurface.empty()) {
    std::string error;
    o.config.tableSurface = parseTableSurface(o.tableSurface, error);
    if (!o.config.tableSurface) {
      std::cerr << "trazvik-sim: " << error << "\n";
      return 2;
    }
  }
  std::vector<ScheduledFault> faults;
  for (const auto& text : o.faults) {
    std::string error;
    auto f = parseFault(text, error);
    if (!f) {
      std::cerr << "trazvik-sim: " << error << "\n";
      return 2;
    }
    faults.push_back(*f);
  }

  std::shared_ptr<SimController> controller;
  try {
    controller = std::make_shared<SimController>(o.config);
  } catch (const std::exception& e) {
    std::cerr << "trazvik-sim: " << e.what() << "\n";
    return 2;
  }
  for (const auto& f : faults) controller->schedule(f);

  // The server thread must not take the stop signals; this thread waits for them.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  SimServer server(controller, o.ports);
  try {
    server.start();
  } catch (const std::exception& e) {
    std::cerr << "trazvik-sim: " << e.what() << "\n";
    return 1;
  }
  const auto& machine = controller->machine();
  std::cout << "trazvik-sim: " << machine.model.machineType << ", firmware " << o.config.firmwareMajor << "."
            << (o.config.firmwareMinor < 10 ? "0" : "") << o.config.firmwareMinor << ", command port "
            << server.commandPort() << ", identity port " << server.identityPort() << ", time scale "
            << o.config.timeScale << std::endl;

  int signal = 0;
  sigwait(&stopSignals, &signal);
  server.stop();

  const SimCounters c = controller->counters();
  std::cout << "trazvik-sim: stopped; " << c.commands << " commands, " << c.jobExecuted << " job commands executed, "
            << c.jobsEnded << " jobs ended";
  if (c.droppedJobCommands) std::cout << ", " << c.droppedJobCommands << " job commands lost to a full buffer";
  if (c.unknownCommands) std::cout << ", " << c.unknownCommands << " unknown commands";
  std::cout << std::endl;
  if (!o.journalPath.empty()) {
    std::string error;
    if (!writeJournal(controller->executedJobCommands(), o.journalPath, error)) {
      std::cerr << "trazvik-sim: " << error << "\n";
      return 1;
    }
  }
  if (!o.tracePath.empty()) {
    std::string error;
    if (!writeTrace(controller->trace(), o.tracePath, error)) {
      std::cerr << "trazvik-sim: " << error << "\n";
      return 1;
    }
    std::cout << "trazvik-sim: trace of the tool written to " << o.tracePath << std::endl;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"trazvik-sim: a simulated motion controller on TCP (command and identity ports)"};
  app.set_version_flag("--version", trazvik::buildVersion());
  Options o;
  app.add_option("--type", o.config.product, "product string; it begins with the machine type code")
      ->capture_default_str();
  app.add_option("--firmware", o.firmware, "firmware version, for example 7.20")->capture_default_str();
  app.add_option("--address", o.ports.address, "address to listen on")->capture_default_str();
  app.add_option("--port", o.ports.commandPort, "command port (0: pick a free one)")->capture_default_str();
  app.add_option("--identity-port", o.ports.identityPort, "identity port (0: pick a free one)")->capture_default_str();
  app.add_option("--serial", o.config.serial, "serial number")->capture_default_str();
  app.add_option("--version-text", o.config.versionText, "version text of report 15")->capture_default_str();
  app.add_option("--area", o.area, "working area X,Y,Z in mm (default 1000,600,120)");
  app.add_option("--second-area", o.secondArea, "working area of the second head set, X,Y,Z in mm");
  app.add_option("--laser-full-power", o.config.laserFullPower, "full-scale laser power value")
      ->check(CLI::Range(1, 65535))
      ->capture_default_str();
  app.add_option("--heads", o.config.heads, "number of heads (replaces the machine type's)")->check(CLI::Range(0, 3));
  app.add_option("--knife-axis", o.knife, "tangential knife axis on or off (replaces the machine type's)")
      ->check(CLI::IsMember({"on", "off"}));
  app.add_option("--inputs", o.config.inputs, "input byte (bit 3: enclosure open)");
  app.add_option("--travel-variant", o.config.travelVariant, "L for the long-travel variant");
  app.add_option("--buffer", o.config.bufferBytes, "job buffer size in bytes")
      ->check(CLI::Range(16, 1 << 26))
      ->capture_default_str();
  app.add_option("--time-scale", o.config.timeScale, "simulated seconds per real second")
      ->check(CLI::Range(0.01, 100000.0))
      ->capture_default_str();
  app.add_option("--probe-z", o.config.probeTouchMm, "machine Z (mm) where the length sensor is touched")
      ->capture_default_str();
  app.add_option("--head-probe-z", o.config.headProbeTouchMm,
                 "machine Z (mm) where the tool of each head touches the sensor, heads 1 to 3")
      ->delimiter(',')
      ->expected(1, 3);
  app.add_option("--table-surface", o.tableSurface,
                 "table under the probe: HEIGHT[,TILTX,TILTY[,BOW]], machine Z (mm) at X 0, Y 0, rise per mm of X "
                 "and of Y, rise in the middle");
  app.add_option("--fault", o.faults,
                 "fault NAME[=VALUE][@COMMANDS]: start, stop, continue, request1, request2, overload, "
                 "driver-error=X,Y1,Y2,Z, enclosure-open, enclosure-closed, inverter-error, buffer-full, "
                 "drop, stall, wrong-echo=N, lost-echo=N, split-echo=N, short-status=N, garbage-status=N (N=-1: "
                 "always), lost-steps=DX,DY,DZ (mm the true position slips against the counted one), reset (the "
                 "controller restarts: job and position lost, link dropped)");
  app.add_option("--trace", o.tracePath, "write the tool's path at the end (.svg or .png)");
  app.add_option("--journal", o.journalPath, "write the job commands executed, one hexadecimal line each, at the end");
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    return app.exit(e);
  }
  return run(o);
}
