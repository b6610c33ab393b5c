// The machine link as the program starts it and ends it: the USB side
// (TfUsb) and the Ethernet side (TfEthernet with its watchdog), the queue
// that hands their events to the interface thread, the status reads and
// the command operations over them. The desktop program and the command
// line tool both use it; the desktop's panel timer calls tick().
#pragma once
#include "no_qt.h"

#include "base/startup_switches.h"
#include "link/ethernet.h"
#include "link/ethernet_watchdog.h"
#include "link/hid_service.h"
#include "machine/identify_machine.h"
#include "machine/machine_state.h"
#include "link/interface_queue.h"
#include "link/machine_link.h"
#include "link/machine_ops.h"
#include "link/status_operations.h"
#include "link/usb.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace trazvik {

struct tConnectionOptions {
  bool createUsb = true;         // false with the "95" switch
  std::string machineFilter;     // "OnlyMachine"
  bool ethernetEnabled = false;  // the settings' Ethernet connection box
  std::string machineAddress;    // dotted IPv4 text; empty: no Ethernet
  std::uint16_t commandPort = defaultCommandPort;
  std::uint16_t identityPort = defaultIdentityPort;
  TfEthernet::Timeouts timeouts{};
  base::StartupSwitches switches{};  // overrides applied after reading the machine
  std::string programDirectory;      // where "kalibracja.txt" lies
};

// The controller address of "IPPloter.txt" in `dataDirectory` as dotted
// text; nothing when the file is missing or does not hold four numbers of
// 0 to 255.
std::optional<std::string> machineAddressFromFile(const std::filesystem::path& dataDirectory);

class tMachineConnection {
 public:
  // `state` is the machine state this connection fills and its operations
  // work on; it must outlive the connection. `hid` may be null: no USB side
  // at all.
  tMachineConnection(tMachineState& state, std::unique_ptr<tHidService> hid);
  ~tMachineConnection();
  tMachineConnection(const tMachineConnection&) = delete;
  tMachineConnection& operator=(const tMachineConnection&) = delete;

  // Interface texts by section and key (the key itself when unset).
  std::function<std::string(const std::string& section, const std::string& key)> text;
  // The first panel of the main window's status bar.
  std::function<void(const std::string& text)> statusBarText;
  // A machine was identified: the main window adapts to its type.
  std::function<void()> machineIdentified;
  // The main window updates its menu items after a device change.
  std::function<void()> menuUpdate;

  // Start-up: the USB side (enumerate, identify a present controller,
  // send "X"), the Ethernet side with its address and the watchdog,
  // created suspended.
  void FormCreate(const tConnectionOptions& options);
  // One beat of the panel timer: plugging and unplugging, the work the
  // Ethernet events handed over, and a reconnection attempt while the
  // Ethernet setting is on and the link is down.
  void tick();
  // End: the watchdog first (its thread may still post events), then the
  // queued events, then the Ethernet connection; the destructor then
  // frees the Ethernet side. Call it while the hooks' targets still live
  // (the destructor calls it with the hooks cleared). Safe to call twice.
  void shutdown();

  void setEthernetEnabled(bool on) { options_.ethernetEnabled = on; }
  bool ethernetEnabled() const { return options_.ethernetEnabled; }
  // A new controller address (programmed into the controller): both
  // connections go there from now on.
  void restart(const std::string& machineAddress);

  // The USB plug/unplug handler's work after the selection.
  void onDeviceChange(bool present);

  TfUsb* usb() { return usb_.get(); }
  TfEthernet& ethernet() { return *ethernet_; }
  tEthernetCzuwanie* watchdog() { return watchdog_.get(); }
  tInterfaceQueue& queue() { return queue_; }
  tMachineLink& link() { return machineLink_; }
  tStatusReader& status() { return reader_; }
  tMachineOps& ops() { return ops_; }
  // What is known about the connected machine (identification, link values, status).
  tMachineState& state() { return state_; }
  const tMachineState& state() const { return state_; }
  bool connected() const { return ops_.linkUp(); }
  // What identification needs besides the controller's answers: the
  // program's folder and switches of the last FormCreate, and the USB reads.
  tIdentifyEnvironment identifyEnvironment() const;

 private:
  std::string textOf(const std::string& section, const std::string& key) const;
  void showStatus(const std::string& s) const;

  tMachineState& state_;
  std::unique_ptr<tHidService> hid_;
  tConnectionOptions options_;
  tInterfaceQueue queue_;
  std::unique_ptr<TfUsb> usb_;
  std::unique_ptr<TfEthernet> ethernet_;
  std::unique_ptr<tEthernetCzuwanie> watchdog_;
  tMachineLink machineLink_;
  tLinkStatusChannel channel_;
  tStatusReader reader_;
  tMachineOps ops_;
  bool shutDown_ = false;
};

}  // namespace trazvik
