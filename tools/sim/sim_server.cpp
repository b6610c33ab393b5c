#include "sim_server.h"

namespace trazvik::sim {

SimServer::SimServer(std::shared_ptr<SimController> controller, ServerPorts ports)
    : controller_(std::move(controller)), ports_(std::move(ports)) {}

SimServer::~SimServer() { stop(); }

void SimServer::start() {
  SimController* c = controller_.get();
  commandPort_ = server_.listen(
      ports_.address, ports_.commandPort,
      [c](int connection, std::span<const std::uint8_t> data) { return c->onCommandData(connection, data); },
      [c](int connection) { c->onCommandClosed(connection); });
  identityPort_ = server_.listen(ports_.address, ports_.identityPort,
                                 [c](int, std::span<const std::uint8_t> data) { return c->onIdentityData(data); });
  lastTick_ = std::chrono::steady_clock::now();
  server_.setTicker(
      [this, c] {
        const auto now = std::chrono::steady_clock::now();
        c->advanceWall(now - lastTick_);
        lastTick_ = now;
        if (c->takeLinkDrop()) server_.dropConnections(commandPort_);
      },
      std::chrono::milliseconds(2));
  server_.start();
}

void SimServer::stop() { server_.stop(); }

}  // namespace trazvik::sim
