// Everything the transfer, the monitoring loop and the pause and continue
// operations work on: the link, the status reader, the records the status
// reads fill, the interface texts and boxes, the job flags, the data folder,
// and the hooks through which the main window and the logs take part.
#pragma once
#include "no_qt.h"

#include "control/control_events.h"
#include "control/control_settings.h"
#include "control/control_state.h"
#include "link/ethernet_watchdog.h"
#include "machine/identify_machine.h"
#include "link/interface_queue.h"
#include "link/machine_link.h"
#include "machine/machine_state.h"
#include "link/status_operations.h"
#include "texts/interfejs.h"

#include <chrono>
#include <functional>
#include <string>

namespace trazvik {

// What the main window does for the panel. Every hook may be left empty.
struct tMainWindowHooks {
  // A text in a panel of the main window's status bar (0 or 1).
  std::function<void(int panel, const std::string& text)> statusBar;
  std::function<void()> startCommand;     // Start1Click
  std::function<void()> pauseCommand;     // Wstrzymaj1Click
  std::function<void()> continueCommand;  // Kontynuacja1Click
  // Operator input waits in the interface thread's queue (stage C is
  // skipped then); the interface queue is looked at as well.
  std::function<bool()> inputWaiting;
  // The panel was closed (hidden) by the loop.
  std::function<void()> panelClosed;
  std::function<void(bool busy)> hourglass;
  std::function<void()> updateMenuItems;
  // The end-of-job signal: a beep and the button that switches it off.
  std::function<void()> endOfJobSignal;
  // The next item of a multi-project test.
  std::function<void()> nextTestItem;
  // The base check during a job (forced: at once).
  std::function<void(bool forced)> baseCheckMonitor;
  // The base-check mode's summary at the end of a job.
  std::function<void()> baseCheckSummary;
  // The bitmap engraving worker is to resume.
  std::function<void()> resumeEngraving;
  // The import type of the active project window (4: bitmap); 0 or unset:
  // no project window.
  std::function<int()> activeProjectType;
  // A bitmap engraving worker exists (it can be resumed).
  std::function<bool()> engravingWorkerExists;
  // The file name last chosen in the open dialog (caption of the repeat box).
  std::function<std::string()> lastOpenedFile;
};

struct tControlContext {
  tMachineLink& link;
  tStatusReader& reader;
  // What is known about the machine; st and machine are its status and model.
  tMachineState& state;
  tplotstate& st;
  tMachineModel& machine;
  const texts::tInterfejs& texts;
  tControlState& flags;
  std::string dataDirectory;  // ends with "/"
  tControlSettings settings{};
  tInterfaceQueue* interfaceQueue = nullptr;
  // The Ethernet watchdog of the machine connection (it may not exist
  // yet, or ever); the panel resumes it while the link is down.
  std::function<tEthernetCzuwanie*()> watchdog;
  // Without a machine connection that owns one, the panel makes its own
  // watchdog at creation. Two watchdogs must never share one link, so
  // this is off unless asked for.
  bool panelMakesWatchdog = false;
  // Identification's outside needs (the program's folder and switches, the
  // USB reads), as the machine connection gives them; unset: none of them.
  std::function<tIdentifyEnvironment()> identifyEnvironment;
  tMainWindowHooks mainWindow{};
  // Every event of the job's life goes here (event log, job log, CLI).
  std::function<void(const tControlEvent&)> onEvent;
  std::function<std::chrono::system_clock::time_point()> now = [] { return std::chrono::system_clock::now(); };

  // `machineLink` and `statusReader` work on `machineState` (its link values
  // and its status), as a machine connection's do.
  tControlContext(tMachineLink& machineLink, tStatusReader& statusReader, tMachineState& machineState,
                  const texts::tInterfejs& interfaceTexts, tControlState& jobFlags, std::string dataFolder)
      : link(machineLink),
        reader(statusReader),
        state(machineState),
        st(machineState.status),
        machine(machineState.model),
        texts(interfaceTexts),
        flags(jobFlags),
        dataDirectory(std::move(dataFolder)) {}

  tLinkState& linkState() const { return state.link; }
  const tMachineParams& params() const { return machine.machineParams; }
  // The USB controller is present or the Ethernet command link is up.
  bool linkUp() const { return link.usbPresent() || link.ethernetInUse(); }
  std::string text(const char* section, const char* key) const { return texts.dajTxt(section, key); }
  void errorBox(const std::string& text, const std::string& caption) const { texts.messageBox(text, true, caption); }
  // Hands an event of the job's life to onEvent.
  void report(const tControlEvent& e) const {
    if (onEvent) onEvent(e);
  }
  // An event at the transfer's last known place.
  void report(tControlEventKind kind, std::int64_t value = 0, std::string detail = {}) const {
    if (!onEvent) return;
    tControlEvent e;
    e.kind = kind;
    e.filePos = flags.lastFilePos;
    e.percent = flags.transmissionPercent;
    e.value = value;
    e.detail = std::move(detail);
    onEvent(e);
  }
  void statusBar(int panel, const std::string& text) const {
    if (mainWindow.statusBar) mainWindow.statusBar(panel, text);
  }
  void hourglass(bool busy) const {
    if (mainWindow.hourglass) mainWindow.hourglass(busy);
  }
  void sleep(std::chrono::milliseconds d) const {
    if (link.sleep) link.sleep(d);
  }
  void send(ByteSpan command) const { sendCommand(link, command); }
};

}  // namespace trazvik
