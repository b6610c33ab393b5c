// The simulated controller's network module: the command port (echoes and
// "SX" status replies) and the identity port ("HTTP"), served on their own
// thread, which also moves the controller's clock with the wall clock.
#pragma once
#include "no_qt.h"

#include "controller.h"
#include "tcp_server.h"

#include <chrono>
#include <memory>
#include <string>

namespace trazvik::sim {

struct ServerPorts {
  std::string address = "127.0.0.1";
  std::uint16_t commandPort = 9999;  // 0: pick a free one
  std::uint16_t identityPort = 80;   // 0: pick a free one
};

class SimServer {
 public:
  SimServer(std::shared_ptr<SimController> controller, ServerPorts ports);
  ~SimServer();

  // Binds both ports and starts serving; throws std::runtime_error with the
  // reason when a port cannot be had.
  void start();
  void stop();

  std::uint16_t commandPort() const { return commandPort_; }
  std::uint16_t identityPort() const { return identityPort_; }
  std::size_t connectionCount() const { return server_.connectionCount(); }
  SimController& controller() { return *controller_; }

 private:
  std::shared_ptr<SimController> controller_;
  ServerPorts ports_;
  TcpServer server_;
  std::uint16_t commandPort_ = 0, identityPort_ = 0;
  std::chrono::steady_clock::time_point lastTick_;
};

}  // namespace trazvik::sim
