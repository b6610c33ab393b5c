// The --machine option of the commands that talk to a controller, and the
// connection they make with it:
//   sim:TYPE                          a simulated controller of machine type
//                                     TYPE, started in this process and
//                                     reached over TCP on 127.0.0.1
//   tcp:HOST[:PORT[:IDENTITY_PORT]]   a controller with a network module
//                                     (ports 9999 and 80 unless given)
//   usb                               the controller attached by USB
//   sim-usb:TYPE                      a simulated controller of machine type
//                                     TYPE behind a USB device in this
//                                     process, at the link's pace of 1000
//                                     reports a second
// The session owns the machine state of its connection (the identified
// machine, the link values, the status), as the desktop program's does.
#pragma once

#include "link/machine_connection.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace CLI {
class App;
class Option;
}  // namespace CLI

namespace trazvik::sim {
class SimController;
class SimServer;
class SimHidDevice;
}  // namespace trazvik::sim

namespace trazvik::cli {

class Context;

struct MachineTarget {
  enum class Kind { sim, tcp, usb, simUsb };
  Kind kind = Kind::usb;
  std::string simType;  // sim: the product string, e.g. "YFB 32"
  std::string host;     // tcp
  std::uint16_t commandPort = defaultCommandPort;
  std::uint16_t identityPort = defaultIdentityPort;
  std::string machineFilter;  // usb: only the controller of this product name
  double simTimeScale = 1;    // sim: simulated seconds per wall-clock second
  // sim: faults scheduled in the simulated controller ("stop@40", ...)
  std::vector<std::string> simFaults;
  bool simulated() const { return kind == Kind::sim || kind == Kind::simUsb; }
};

// Parses the option's text; nothing with `error` filled on a bad one.
std::optional<MachineTarget> parseMachineTarget(const std::string& text, std::string& error);

// Adds --machine (required) to a command, storing the text in `text`.
CLI::Option* addMachineOption(CLI::App& command, std::string& text);

// A live connection to the controller of a target, identified and ready
// for commands; ended (and a simulated controller stopped) when destroyed.
class MachineSession {
 public:
  struct Limits {
    std::chrono::milliseconds connect{3000};  // one TCP connect attempt
    std::chrono::milliseconds receive{1000};  // one TCP receive
    std::chrono::milliseconds overall{8000};  // connect, identity and first status
  };

  // Connects; nothing with `error` filled (a sentence for the operator)
  // when the type is unknown, the host cannot be reached in time or no
  // USB controller is attached.
  // `base` carries what the connection needs besides the transport (the
  // start-up switches, the program's folder); its transport fields are
  // set from the target.
  static std::unique_ptr<MachineSession> open(const MachineTarget& target, std::string& error, Limits limits,
                                              const tConnectionOptions& base = {});
  static std::unique_ptr<MachineSession> open(const MachineTarget& target, std::string& error) {
    return open(target, error, Limits{});
  }
  ~MachineSession();

  tMachineConnection& connection() { return *connection_; }
  tMachineState& state() { return machine_; }
  tMachineOps& ops() { return connection_->ops(); }
  tStatusReader& status() { return connection_->status(); }
  // "USB", "TCP 192.168.0.10:9999" or "simulated YFB 32 (TCP 127.0.0.1:port)".
  const std::string& description() const { return description_; }
  bool overEthernet() const {
    return target_.kind == MachineTarget::Kind::sim || target_.kind == MachineTarget::Kind::tcp;
  }
  // The simulated controller of a sim: target (null otherwise).
  sim::SimController* simController() { return simController_.get(); }
  // The simulated USB device of a sim-usb: target (null otherwise).
  const sim::SimHidDevice* simUsbDevice() const { return simUsbDevice_.get(); }

  // Runs the interface thread's pending work (the link's events).
  void pump();

 private:
  MachineSession() = default;
  bool connectTcp(std::string& error, Limits limits, tConnectionOptions options);
  bool connectUsb(std::string& error, tConnectionOptions options);
  bool connectSimUsb(std::string& error, tConnectionOptions options);

  MachineTarget target_;
  std::string description_;
  std::shared_ptr<sim::SimController> simController_;
  std::unique_ptr<sim::SimServer> simServer_;
  std::shared_ptr<sim::SimHidDevice> simUsbDevice_;
  tMachineState machine_;
  std::unique_ptr<tMachineConnection> connection_;
};

// What a job command (cut, burn) wants of its connection besides the
// target itself.
struct JobConnectionRequest {
  const char* command = "";            // "cut", "burn": the prefix of its messages
  double connectSeconds = 10;          // waiting for the controller
  double simTimeScale = 1;             // simulated targets: their clock against the wall clock
  std::vector<std::string> simFaults;  // simulated targets: faults scheduled before the start
};

// Opens the session a job command works with: the program's "OnlyMachine"
// filter, start-up switches and folder, the program's texts for the link's
// messages. Tells "Connected to ..." on `out`, or the reason on `err` and
// gives nothing.
std::unique_ptr<MachineSession> connectForJob(Context& context, MachineTarget target,
                                              const JobConnectionRequest& request, std::ostream& out,
                                              std::ostream& err);

// The session of a command's --machine text, with the program's
// "OnlyMachine" filter for USB. A bad text or a failed connection is told
// on standard error and ends the command (CommandFailed 2 or 4).
std::unique_ptr<MachineSession> openMachine(Context& context, const std::string& machineText);

}  // namespace trazvik::cli
