// A small poll-driven TCP server on one thread: listening ports, each with a
// handler that turns the bytes of one receive into reply pieces (optionally
// delayed), plus a ticker called every loop so a simulation can advance with
// the wall clock. Loopback by default; port 0 picks a free port.
#pragma once
#include "no_qt.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <thread>
#include <vector>

namespace trazvik::sim {

using Bytes = std::vector<std::uint8_t>;

struct ReplyPiece {
  Bytes data;
  std::chrono::milliseconds delay{0};  // after the previous piece
};

struct PortResponse {
  std::vector<ReplyPiece> pieces;
  bool close = false;  // close the connection after the pieces went out
};

// Called on the server thread with the bytes of one receive.
using PortHandler = std::function<PortResponse(int connection, std::span<const std::uint8_t> data)>;

class TcpServer {
 public:
  TcpServer();
  ~TcpServer();
  TcpServer(const TcpServer&) = delete;
  TcpServer& operator=(const TcpServer&) = delete;

  // Binds and listens; returns the port actually bound (useful with 0).
  // Throws std::runtime_error with the reason when the port cannot be had.
  std::uint16_t listen(const std::string& address, std::uint16_t port, PortHandler handler,
                       std::function<void(int connection)> onClose = {});

  // `ticker` runs on the server thread about every `period`.
  void setTicker(std::function<void()> ticker, std::chrono::milliseconds period);

  void start();
  // Stops the thread and closes every socket; safe to call twice.
  void stop();

  // Closes every open connection of the listening port (server thread or not).
  void dropConnections(std::uint16_t port);
  std::size_t connectionCount() const { return connectionCount_.load(); }

 private:
  struct Listener;
  struct Connection;

  void run();
  void acceptOn(Listener& l);
  void serve(Connection& c);
  void flush(Connection& c, std::chrono::steady_clock::time_point now);
  void closeConnection(int fd);
  int pollTimeoutMs(std::chrono::steady_clock::time_point now) const;

  std::vector<std::unique_ptr<Listener>> listeners_;
  std::map<int, std::unique_ptr<Connection>> connections_;
  std::function<void()> ticker_;
  std::chrono::milliseconds tickPeriod_{2};
  std::thread thread_;
  std::atomic<bool> running_{false};
  std::atomic<std::size_t> connectionCount_{0};
  int wakePipe_[2] = {-1, -1};
  std::mutex dropMutex_;
  std::vector<std::uint16_t> dropRequests_;
};

}  // namespace trazvik::sim
