// A workstation wired to a simulated controller the way the program wires
// it: the Ethernet link over TCP on 127.0.0.1 (to an in-process server or to
// a running trazvik-sim) or the in-process USB device, the status reader,
// the interface texts with recorded message boxes, the job flags, the
// transfer and the control panel, and a loop that drives the panel's timer.
#pragma once

#include "control/control_context.h"
#include "control/job_commands.h"
#include "control/trans_arm.h"
#include "control/tster.h"
#include "machine/command_set.h"
#include "link/ethernet.h"
#include "link/machine_connection.h"
#include "link/usb.h"
#include "texts/recording_message_boxes.h"

#include "controller.h"
#include "sim_server.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace trazvik::control_test {

// A job written with the job language's builders: `laps` squares of 20 mm
// cut at 1 mm depth, framed by the usual set-up and end commands.
Bytes squareJob(const tMachineModel& machine, const tLinkState& link, int laps);
// A job of exactly `commands` commands (set-up, moves, end record).
Bytes shortJob(const tMachineModel& machine, const tLinkState& link, int moves);
// The number of commands of a job when cut by the machine's lengths.
int commandCount(const Bytes& job, const tCommandLengths& lengths);

// The machine connection's options for the Ethernet link to a simulated
// controller on 127.0.0.1 at these ports (no USB side).
tConnectionOptions localConnectionOptions(std::uint16_t commandPort, std::uint16_t identityPort);

struct RigOptions {
  sim::SimConfig config{};
  bool usb = false;                // in-process USB device instead of TCP
  std::uint16_t externalPort = 0;  // a running trazvik-sim
  std::uint16_t externalIdentityPort = 0;
  bool safetyEnclosure = false;  // the program switch "SafetyEnclosure"
};

// A job of `moves` long moves with no end record: on a wide machine it
// runs, then holds for an empty buffer (state bit 25).
Bytes openEndedJob(const tMachineModel& machine, const tLinkState& link, int moves, double lengthMm);

class ControlRig {
 public:
  explicit ControlRig(RigOptions options = {});
  ~ControlRig();

  // Connects and identifies the machine; false when that did not happen.
  bool connect();
  // The real pause, continue and repeat commands in place of the
  // counting stand-ins (travel height and material surface in mm).
  tJobCommands& useJobCommands(double travelHeight = 5, double top = 0);
  // Writes out.cnx into the data folder.
  void writeJob(const Bytes& job);
  // One timer event of the panel, then the interface queue.
  void timerEvent();
  // Runs timer events (each followed by the timer's interval, capped at
  // `maxWait`) until `done` or until `timeout`; true when done.
  bool runUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout,
                std::chrono::milliseconds maxWait = std::chrono::milliseconds(10));
  // Events of one kind seen so far.
  int count(tControlEventKind kind) const;
  // Messages shown whose text contains `part`.
  int messages(const std::string& part) const;

  sim::SimController* controller() { return controller_.get(); }
  tCommandSet commandSet() const { return commandSetOf(machine, link); }

  RigOptions options;
  std::filesystem::path dataDir;
  tMachineState state;
  tLinkState& link = state.link;
  tplotstate& st = state.status;
  tMachineModel& machine = state.model;
  tInterfaceQueue queue;
  texts::RecordingMessageBoxes boxes;
  std::unique_ptr<texts::tInterfejs> texts;
  tControlState flags;
  std::unique_ptr<tMachineLink> machineLink;
  std::unique_ptr<tLinkStatusChannel> channel;
  std::unique_ptr<tStatusReader> reader;
  std::unique_ptr<tControlContext> ctx;
  std::unique_ptr<TTransArm> trans;
  std::unique_ptr<Tster> ster;
  std::unique_ptr<TfEthernet> ethernet;
  std::unique_ptr<TfUsb> usb;
  std::unique_ptr<tMachineOps> ops;
  std::unique_ptr<tJobCommands> commands;
  std::vector<tControlEvent> events;
  std::vector<std::string> statusTexts;
  int starts = 0, pauses = 0, continues = 0, signals = 0;

 private:
  std::shared_ptr<sim::SimController> controller_;
  std::unique_ptr<sim::SimServer> server_;
  std::unique_ptr<tHidService> hid_;
  tIdentifyEnvironment identify_;
};

}  // namespace trazvik::control_test
