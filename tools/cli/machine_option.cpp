#include "machine_option.h"

#include "commands.h"

#include "controller.h"
#include "sim_server.h"
#include "usb_device.h"

#include <CLI/CLI.hpp>

#include <charconv>
#include <iostream>
#include <cstring>
#include <stdexcept>

namespace trazvik::cli {

namespace {

std::optional<std::uint16_t> portOf(const std::string& text) {
  unsigned value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc{} || end != text.data() + text.size() || value == 0 || value > 65535) return std::nullopt;
  return static_cast<std::uint16_t>(value);
}

std::vector<std::string> splitColons(const std::string& text) {
  std::vector<std::string> parts;
  std::size_t from = 0;
  for (;;) {
    const std::size_t colon = text.find(':', from);
    parts.push_back(text.substr(from, colon - from));
    if (colon == std::string::npos) return parts;
    from = colon + 1;
  }
}

const char* kForms = "sim:TYPE, tcp:HOST[:PORT[:IDENTITY_PORT]], usb or sim-usb:TYPE";

}  // namespace

std::optional<MachineTarget> parseMachineTarget(const std::string& text, std::string& error) {
  MachineTarget t;
  if (text == "usb") return t;
  for (const auto& [prefix, kind] : {std::pair<std::string, MachineTarget::Kind>{"sim:", MachineTarget::Kind::sim},
                                     {"sim-usb:", MachineTarget::Kind::simUsb}}) {
    if (text.rfind(prefix, 0) != 0) continue;
    t.kind = kind;
    t.simType = text.substr(prefix.size());
    if (t.simType.empty()) {
      error = prefix + " needs a machine type, for example " + prefix + "\"YFB 32\"";
      return std::nullopt;
    }
    return t;
  }
  if (text.rfind("tcp:", 0) == 0) {
    t.kind = MachineTarget::Kind::tcp;
    const std::vector<std::string> parts = splitColons(text.substr(4));
    if (parts.size() > 3 || parts[0].empty()) {
      error = "\"" + text + "\" is not tcp:HOST[:PORT[:IDENTITY_PORT]]";
      return std::nullopt;
    }
    t.host = parts[0];
    std::uint16_t* ports[] = {&t.commandPort, &t.identityPort};
    for (std::size_t i = 1; i < parts.size(); ++i) {
      const auto port = portOf(parts[i]);
      if (!port) {
        error = "\"" + parts[i] + "\" is not a port number (1 to 65535)";
        return std::nullopt;
      }
      *ports[i - 1] = *port;
    }
    return t;
  }
  error = "unknown machine \"" + text + "\": use " + kForms;
  return std::nullopt;
}

CLI::Option* addMachineOption(CLI::App& command, std::string& text) {
  return command.add_option("--machine", text, std::string("The controller: ") + kForms)
      ->type_name("MACHINE")
      ->required();
}

std::unique_ptr<MachineSession> MachineSession::open(const MachineTarget& target, std::string& error, Limits limits,
                                                     const tConnectionOptions& base) {
  std::unique_ptr<MachineSession> s(new MachineSession());
  s->target_ = target;
  if (target.simulated()) {
    sim::SimConfig config;
    config.product = target.simType;
    config.timeScale = target.simTimeScale;
    try {
      s->simController_ = std::make_shared<sim::SimController>(config);
    } catch (const std::invalid_argument&) {
      error = "unknown machine type \"" + target.simType + "\" for the simulated controller";
      return nullptr;
    }
    for (const std::string& text : target.simFaults) {
      const std::optional<sim::ScheduledFault> fault = sim::parseFault(text, error);
      if (!fault) return nullptr;
      s->simController_->schedule(*fault);
    }
  }
  if (target.kind == MachineTarget::Kind::simUsb) {
    if (!s->connectSimUsb(error, base)) return nullptr;
    return s;
  }
  if (target.kind == MachineTarget::Kind::sim) {
    s->simServer_ = std::make_unique<sim::SimServer>(s->simController_, sim::ServerPorts{"127.0.0.1", 0, 0});
    try {
      s->simServer_->start();
    } catch (const std::runtime_error& e) {
      error = std::string("the simulated controller could not start: ") + e.what();
      return nullptr;
    }
    s->target_.host = "127.0.0.1";
    s->target_.commandPort = s->simServer_->commandPort();
    s->target_.identityPort = s->simServer_->identityPort();
  }
  const bool ok =
      target.kind == MachineTarget::Kind::usb ? s->connectUsb(error, base) : s->connectTcp(error, limits, base);
  if (!ok) return nullptr;
  return s;
}

MachineSession::~MachineSession() {
  if (connection_) connection_->shutdown();
  connection_.reset();
  if (simServer_) simServer_->stop();
}

void MachineSession::pump() {
  if (connection_) connection_->queue().runPending();
}

bool MachineSession::connectTcp(std::string& error, Limits limits, tConnectionOptions options) {
  const std::string where = target_.host + ":" + std::to_string(target_.commandPort);
  description_ = target_.kind == MachineTarget::Kind::sim ? "simulated " + target_.simType + " (TCP " + where + ")"
                                                          : "TCP " + where;
  connection_ = std::make_unique<tMachineConnection>(machine_, nullptr);
  options.createUsb = false;
  options.ethernetEnabled = true;
  options.machineAddress = target_.host;
  options.commandPort = target_.commandPort;
  options.identityPort = target_.identityPort;
  options.timeouts = {limits.connect, limits.receive};
  machine_.link.ethernetError = 0;
  connection_->FormCreate(options);
  const auto deadline = std::chrono::steady_clock::now() + limits.overall;
  while (!connection_->connected()) {
    if (std::chrono::steady_clock::now() >= deadline) {
      error = "no answer from " + where + " within " +
              std::to_string(std::chrono::duration_cast<std::chrono::seconds>(limits.overall).count()) + " s";
      return false;
    }
    connection_->tick();
    connection_->queue().waitAndRun(std::chrono::milliseconds(50));
    // Not connected with an error: the connect attempt failed (the
    // exchange errors only arise on a live connection).
    const int e = machine_.link.ethernetError;
    if (connection_->ethernet().connectedButSilent()) {
      error = machine_.status.info1.empty()
                  ? "the controller at " + where + " did not identify itself (identity port " +
                        std::to_string(target_.identityPort) + ") and does not answer"
                  : "the controller at " + where + " took the connection but does not answer";
      return false;
    }
    if (!connection_->connected() && !connection_->ethernet().commandConnected() && e != 0) {
      error = "cannot reach " + where + ": " + std::strerror(e);
      return false;
    }
  }
  if (machine_.status.info1.empty()) {
    error = "the controller at " + where + " did not identify itself (identity port " +
            std::to_string(target_.identityPort) + ")";
    return false;
  }
  return true;
}

bool MachineSession::connectSimUsb(std::string& error, tConnectionOptions options) {
  description_ = "simulated " + target_.simType + " (USB in this program)";
  auto service = std::make_unique<sim::ListedHidService>();
  auto device = std::make_shared<sim::SimHidDevice>(simController_, true);
  device->reportInterval = std::chrono::microseconds(1000);  // a full-speed interrupt endpoint
  service->devices.push_back(device);
  simUsbDevice_ = device;
  connection_ = std::make_unique<tMachineConnection>(machine_, std::move(service));
  options.createUsb = true;
  connection_->FormCreate(options);
  if (!connection_->connected()) {
    error = "the simulated USB controller was not found";
    return false;
  }
  return true;
}

bool MachineSession::connectUsb(std::string& error, tConnectionOptions options) {
  description_ = "USB";
  connection_ = std::make_unique<tMachineConnection>(machine_, makeHidapiService());
  options.createUsb = true;
  options.machineFilter = target_.machineFilter;
  connection_->FormCreate(options);
  if (!connection_->connected()) {
    error = target_.machineFilter.empty() ? "no USB controller found (is it plugged in, and may this user open it?)"
                                          : "no USB controller named \"" + target_.machineFilter + "\" found";
    return false;
  }
  return true;
}

std::unique_ptr<MachineSession> connectForJob(Context& context, MachineTarget target,
                                              const JobConnectionRequest& request, std::ostream& out,
                                              std::ostream& err) {
  target.machineFilter = context.switches().machineFilter;
  if (target.simulated()) {
    target.simTimeScale = request.simTimeScale;
    target.simFaults = request.simFaults;
  }
  MachineSession::Limits limits;
  limits.overall = std::chrono::milliseconds(static_cast<long long>(request.connectSeconds * 1000));
  tConnectionOptions base;
  base.switches = context.switches();
  base.programDirectory = context.programDirectory();
  std::string error;
  std::unique_ptr<MachineSession> session = MachineSession::open(target, error, limits, base);
  if (!session) {
    err << "trazvik-cli " << request.command << ": " << error << "\n";
    return nullptr;
  }
  texts::tInterfejs& texts = context.texts();
  session->connection().text = [&texts](const std::string& section, const std::string& key) {
    return texts.dajTxt(section, key);
  };
  out << "Connected to " << session->description();
  if (target.simulated()) out << ", " << target.simTimeScale << " times real time";
  out << "\n";
  return session;
}

std::unique_ptr<MachineSession> openMachine(Context& context, const std::string& machineText) {
  std::string error;
  std::optional<MachineTarget> target = parseMachineTarget(machineText, error);
  if (!target) {
    std::cerr << "trazvik-cli: " << error << '\n';
    throw CommandFailed(2, error);
  }
  target->machineFilter = context.switches().machineFilter;
  std::unique_ptr<MachineSession> session = MachineSession::open(*target, error);
  if (!session) {
    std::cerr << "trazvik-cli: " << error << '\n';
    throw CommandFailed(4, error);
  }
  return session;
}

}  // namespace trazvik::cli
