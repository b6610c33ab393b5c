// A blocking TCP client with bounded waits: the connect gives up after its
// time-out (and early when asked to), a receive after its own. The socket is
// guarded so that one thread may connect while another asks whether the
// client is connected or closes it.
#pragma once
#include "no_qt.h"

#include "geometry/bytes.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <span>
#include <string>

namespace trazvik {

class tTcpClient {
 public:
  tTcpClient() = default;
  ~tTcpClient();
  tTcpClient(const tTcpClient&) = delete;
  tTcpClient& operator=(const tTcpClient&) = delete;

  void setRemote(const std::string& host, std::uint16_t port);
  std::string host() const;
  std::uint16_t port() const;

  // 0 when connected, else the socket error code (errno). `abort` is polled
  // about every 50 ms so a waiting connect can be left early (ECANCELED).
  int connect(std::chrono::milliseconds timeout, const std::function<bool()>& abort = {});
  void disconnect();
  bool connected() const { return fd_.load() >= 0; }

  // 0 when every byte went out, else the socket error code.
  int sendAll(std::span<const std::uint8_t> data);
  // Bytes of one receive (at most maxBytes), waiting at most `timeout`.
  // Empty with error 0: nothing arrived in time. `peerClosed` is set when
  // the other side closed the connection; `error` holds a socket error.
  struct Received {
    Bytes data;
    bool peerClosed = false;
    int error = 0;
  };
  Received receive(std::size_t maxBytes, std::chrono::milliseconds timeout);

 private:
  mutable std::mutex mutex_;  // host, port
  std::string host_ = "127.0.0.1";
  std::uint16_t port_ = 0;
  std::atomic<int> fd_{-1};
};

}  // namespace trazvik
