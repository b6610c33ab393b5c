// trazvik-cli status: what the controller says about itself — identity,
// firmware, working area, the state bits by name, positions, work zero,
// speed slots and power.
#include "commands.h"
#include "machine_option.h"

#include "base/text.h"

#include "link/speed_operations.h"
#include "machine/state_bits.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <iostream>

namespace trazvik::cli {
namespace {

struct NamedBit {
  int bit;
  const char* name;
};

constexpr NamedBit kStateBits[] = {
    {stateBit::motionRunning, "motion"},
    {stateBit::jobRunning, "job-running"},
    {stateBit::toolOn, "tool-on"},
    {stateBit::homing, "homing"},
    {stateBit::jobStored, "job-stored"},
    {stateBit::jobPaused, "paused"},
    {stateBit::bufferFull, "buffer-full"},
    {stateBit::startRequest, "start-request"},
    {stateBit::stopRequest, "stop-request"},
    {stateBit::continueRequest, "continue-request"},
    {stateBit::spindleOverload, "spindle-overload"},
    {stateBit::rasterEngraving, "raster-engraving"},
    {stateBit::heldForEmptyBuffer, "held-for-empty-buffer"},
    {stateBit::programmableRequest1, "request-1"},
    {stateBit::programmableRequest2, "request-2"},
    {stateBit::axisDriverError, "axis-driver-error"},
    {stateBit::inverterError, "inverter-error"},
};

std::string mm(double hundredths) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", hundredths / 100);
  return text;
}

std::string stateNames(const tplotstate& st) {
  std::string names;
  for (const NamedBit& b : kStateBits)
    if (st.bit(b.bit)) names += (names.empty() ? "" : " ") + std::string(b.name);
  std::uint64_t known = 0;
  for (const NamedBit& b : kStateBits) known |= stateBit::mask(b.bit);
  if (const std::uint64_t other = st.StateExtend & ~known) {
    char text[40];
    std::snprintf(text, sizeof text, "other:0x%llx", static_cast<unsigned long long>(other));
    names += (names.empty() ? "" : " ") + std::string(text);
  }
  return names.empty() ? "idle" : names;
}

std::string feedOfSlot(tMachineOps& ops, std::int32_t period) {
  if (period <= 0 || period >= 65535 * std::max(1, ops.params().speedMultiplier)) return "not loaded";
  const int m = std::max(1, ops.params().speedMultiplier);
  return std::to_string(periodToSpeed(ops, period) / m) + " mm/min (period " + std::to_string(period) + ")";
}

void printStatus(MachineSession& session) {
  tStatusReader& status = session.status();
  status.readState();
  status.readPositions();
  status.readZeroPoint();
  status.readSpeeds();
  status.readPower();
  const tplotstate& st = session.state().status;
  const tLinkState& link = session.state().link;
  tMachineOps& ops = session.ops();
  char word[24];
  std::snprintf(word, sizeof word, "0x%llx", static_cast<unsigned long long>(st.StateExtend));

  std::cout << "machine: " << session.description() << '\n'
            << "identity: " << base::trimmed(st.info0) << " / " << base::trimmed(st.info1) << " / "
            << base::trimmed(st.info2) << '\n'
            << "machine type: " << session.state().model.machineType << '\n'
            << "firmware: " << firmwareVersionText(link) << '\n'
            << "work area: " << link.workArea[0] << " x " << link.workArea[1] << " x " << link.workArea[2] << " mm\n"
            << "state: " << word << ' ' << stateNames(st) << '\n'
            << "position: X " << mm(st.abspos.x) << " Y " << mm(st.abspos.y) << " Z " << mm(st.abspos.z)
            << " mm (steps " << st.realpos.x << ' ' << st.realpos.y << ' ' << st.realpos.z;
  if (ops.params().knifeAxis) std::cout << ", knife " << st.realpos.v;
  std::cout << ")\n"
            << "work zero: X " << mm(st.pos0.x) << " Y " << mm(st.pos0.y) << " Z " << mm(st.pos0.z) << " mm\n"
            << "selected head: " << st.selectedZ + 1 << '\n'
            << "speed slot: " << int(st.sel_speed) << '\n'
            << "travel speed: " << feedOfSlot(ops, st.speedp) << '\n'
            << "work speed: " << feedOfSlot(ops, st.speedr) << '\n'
            << "manual speed: " << feedOfSlot(ops, st.speedm) << '\n'
            << "plunge speed: " << feedOfSlot(ops, st.speedpol) << '\n'
            << "power slot: " << int(st.sel_power) << '\n'
            << "power: " << st.power << " (full scale " << link.laserFullPower << ")\n";
}

}  // namespace

void addStatusCommand(CLI::App& app, Context& context) {
  CLI::App* command = app.add_subcommand("status", "Ask a controller who it is and what it does");
  auto machine = std::make_shared<std::string>();
  addMachineOption(*command, *machine);
  command->callback([&context, machine] {
    std::unique_ptr<MachineSession> session = openMachine(context, *machine);
    printStatus(*session);
  });
}

}  // namespace trazvik::cli
