#pragma once
#include "app/program_frame.h"
#include "config/configuration.h"
#include "frame/qt_message_boxes.h"
#include "link/ethernet.h"
#include "link/hid_service.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace trazvik::ui {

// The shared objects of the running program that the windows show: the
// frame (switches, folders, texts), the settings with their files, and the
// message boxes. Created once at start-up and alive until the end.
struct ProgramContext {
  app::ProgramFrame& frame;
  config::Configuration& configuration;
  QtMessageBoxes& boxes;

  const texts::tInterfejs& texts() const { return frame.texts(); }
  TDlgkonfig& settings() const { return configuration.settings(); }
  const base::StartupSwitches& switches() const { return frame.switches(); }
};

// Where the controller's Ethernet module listens: its own ports, unless a
// simulated controller on other ports is meant (tests).
struct MachinePorts {
  std::uint16_t command = defaultCommandPort;
  std::uint16_t identity = defaultIdentityPort;
};

// The HID devices the USB side looks at; unset: the system's (tests put a
// simulated controller behind it).
using HidServiceFactory = std::function<std::unique_ptr<tHidService>()>;

// What the main window needs to know about the machine; the control side
// answers it (nothing present until a controller is found).
struct MachineFacts {
  bool present = false;       // DornelisFrezExist
  bool canContinue = false;   // a paused job can be continued
  bool transferOpen = false;  // a job is being sent
  bool jobActive = false;     // a job is being sent, runs or is paused
  bool isLaser = false;
  bool toolMeasureMachine = false;  // tool length family, firmware 7.17 or later
  int headCount = 1;
  bool vacuumPump = false;
  bool notificationPending = false;
};

}  // namespace trazvik::ui
