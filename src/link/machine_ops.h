// What the immediate command operations work on: the link that sends, the
// status reads, the plot state and the identified machine, the settings
// they consult, and the hooks that keep the interface alive while they wait
// for the machine. One instance lives for the whole program (the start-up
// wiring owns it); tests and tools make their own.
#pragma once
#include "no_qt.h"

#include "machine/command_set.h"
#include "link/machine_link.h"
#include "machine/machine_state.h"
#include "link/status_operations.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

namespace trazvik {

// A text of the interface by section and key.
struct tTextRef {
  std::string section;
  std::string key;
};

// Settings the operations read (kept in step with the settings dialog).
struct tOperationSettings {
  double travelHeight = 0;     // mm above the work zero for safe travel
  double powerScale = 1.0;     // multiplies powers sent from the status
  bool twoEdgedKnife = false;  // a knife that cuts both ways turns at most a quarter turn
  struct Offset {
    double x = 0, y = 0;  // mm
  };
  std::array<Offset, 3> headOffsets{};  // head 1 is 0, 0
};

// How a wait for the machine ended.
enum class tWaitResult {
  idle,      // neither motion nor homing reported
  stopped,   // the operator asked to stop
  linkLost,  // the controller stopped answering or went away
};

struct tMachineOps {
  tMachineLink& link;
  tStatusReader& status;
  // What is known about the machine; st and machine are its status and model.
  tMachineState& state;
  tplotstate& st;
  tMachineModel& machine;
  tOperationSettings settings;

  // Runs the caller's pending interface events while an operation waits
  // for the machine (repaint, the STOP button). It must not start machine
  // operations itself. Unset: nothing runs.
  std::function<void()> pumpEvents;
  // True while the operator's STOP is pending; the waits then end early.
  std::function<bool()> stopRequested;
  // Modal error box: text and caption are interface texts.
  std::function<void(const tTextRef& text, const tTextRef& caption)> errorBox;
  // Modal information box with a ready text.
  std::function<void(const std::string& text)> informationBox;

  // The head mask last activated ("R" 1 mask); the job writer switches
  // the same head on.
  std::uint8_t activeHeadMask = 0x90;

  // `l` and `s` work on `machineState` (its link values and status), as a
  // machine connection's do.
  tMachineOps(tMachineLink& l, tStatusReader& s, tMachineState& machineState)
      : link(l), status(s), state(machineState), st(machineState.status), machine(machineState.model) {}

  tLinkState& linkState() const { return state.link; }
  const tMachineParams& params() const { return machine.machineParams; }
  tCommandSet commandSet() const { return commandSetOf(machine, link.link); }
  // A controller can be reached: USB present or the Ethernet connection up.
  bool linkUp() const { return link.usbPresent() || link.ethernetInUse(); }

  void send(ByteSpan command) { sendCommand(link, command); }
  void wait(std::chrono::milliseconds d) { link.sleep(d); }
  bool stopPending() const { return stopRequested && stopRequested(); }
};

// Waits while the machine reports motion (bit 0) or homing (bit 3): 10 ms,
// a state read, and again, running the caller's events between reads.
// Motion may take as long as it takes; the wait ends early when the
// operator stops or the controller no longer answers.
tWaitResult waitWhileBusy(tMachineOps& ops);

}  // namespace trazvik
