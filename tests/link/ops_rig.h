// A machine connection to the simulated controller for the operation
// tests: over TCP on 127.0.0.1 (the simulator's server, moving with the
// wall clock, sped up) or through its in-process USB device (its clock
// moved by the link's waits, so motion takes no wall time).
#pragma once

#include "link/machine_connection.h"

#include "controller.h"
#include "sim_server.h"
#include "usb_device.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace trazvik::test {

enum class Transport { tcp, usb };

inline std::string transportName(const ::testing::TestParamInfo<Transport>& info) {
  return info.param == Transport::tcp ? "Tcp" : "Usb";
}

inline Bytes bytesOf(const std::string& s) { return Bytes(s.begin(), s.end()); }

// A 16-byte record: name, argument bytes, blanks.
inline Bytes record16Of(const std::string& name, const Bytes& args = {}) {
  Bytes b = bytesOf(name);
  b.insert(b.end(), args.begin(), args.end());
  b.resize(16, ' ');
  return b;
}

inline void appendLe(Bytes& b, std::int64_t v, int width) {
  for (int i = 0; i < width; ++i) b.push_back(static_cast<std::uint8_t>(static_cast<std::uint64_t>(v) >> (8 * i)));
}

class SimRig {
 public:
  static constexpr double kTimeScale = 20;  // TCP: simulated seconds per wall second

  SimRig(Transport transport, sim::SimConfig config = {}) : transport_(transport) {
    config.timeScale = kTimeScale;
    controller = std::make_shared<sim::SimController>(config);
    std::unique_ptr<tHidService> hid;
    if (transport == Transport::usb) {
      auto service = std::make_unique<sim::ListedHidService>();
      service->devices.push_back(std::make_shared<sim::SimHidDevice>(controller, false));
      hid = std::move(service);
    } else {
      server = std::make_unique<sim::SimServer>(controller, sim::ServerPorts{"127.0.0.1", 0, 0});
      server->start();
    }
    connection = std::make_unique<tMachineConnection>(state, std::move(hid));
    connection->statusBarText = [this](const std::string& s) { statusTexts.push_back(s); };
    if (transport == Transport::usb) {
      // The controller's clock moves with the link's waits, sped up.
      auto ctl = controller;
      connection->link().sleep = [ctl](std::chrono::milliseconds d) {
        ctl->advance(std::chrono::duration_cast<std::chrono::microseconds>(d) * 20);
      };
    }
    tConnectionOptions options;
    if (transport == Transport::tcp) {
      options.machineAddress = "127.0.0.1";
      options.commandPort = server->commandPort();
      options.identityPort = server->identityPort();
      options.ethernetEnabled = true;
      options.timeouts = {std::chrono::milliseconds(2000), std::chrono::milliseconds(400)};
    }
    connection->FormCreate(options);
    waitConnected();
    controller->clearReceivedCommands();
  }
  ~SimRig() {
    connection.reset();
    if (server) server->stop();
  }

  // Runs the panel's tick until the link is up (bounded).
  bool waitConnected(bool up = true) {
    for (int i = 0; i < 100 && connection->connected() != up; ++i) {
      connection->tick();
      connection->queue().waitAndRun(std::chrono::milliseconds(20));
    }
    return connection->connected() == up;
  }

  tMachineOps& ops() { return connection->ops(); }
  std::vector<Bytes> sent() const { return controller->receivedCommands(); }
  // The commands received since the last call.
  std::vector<Bytes> takeSent() {
    auto s = controller->receivedCommands();
    controller->clearReceivedCommands();
    return s;
  }
  Transport transport() const { return transport_; }

  std::shared_ptr<sim::SimController> controller;
  std::unique_ptr<sim::SimServer> server;
  tMachineState state;
  tLinkState& link = state.link;
  tplotstate& st = state.status;
  tMachineModel& machine = state.model;
  std::unique_ptr<tMachineConnection> connection;
  std::vector<std::string> statusTexts;

 private:
  Transport transport_;
};

}  // namespace trazvik::test
