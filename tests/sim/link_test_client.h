// The tests' own Ethernet client of the controller, written from the link's
// description: one command per exchange with its echo check (errors 101, 102,
// 103), the "SX" status exchange and the "HTTP" identity exchange with its
// field positions. It is deliberately small and independent of the
// program's transports.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace trazvik::sim::test {

using Bytes = std::vector<std::uint8_t>;

class LinkTestClient {
 public:
  ~LinkTestClient();
  bool connect(std::uint16_t port, std::chrono::milliseconds timeout = std::chrono::milliseconds(2000));
  void close();
  bool isOpen() const { return fd_ >= 0; }

  // One command exchange; returns the link's error code: 0 when the echo
  // matched, 101 nothing received, 102 other length, 103 other bytes.
  int command(const Bytes& command);
  // One status exchange: the bytes received (empty when nothing came).
  Bytes status();
  // Sends bytes and returns what one receive of up to `max` bytes brings.
  Bytes exchange(const Bytes& out, std::size_t max);
  // Receives whatever arrives within the timeout (empty on close or silence).
  Bytes receive(std::size_t max, std::chrono::milliseconds timeout);
  // True when the peer has closed the connection (waits up to `timeout`).
  bool peerClosed(std::chrono::milliseconds timeout);

  std::chrono::milliseconds replyTimeout{1000};

 private:
  int fd_ = -1;
};

struct IdentityReply {
  bool received = false;
  std::string info0, info1, info2;  // maker, product, serial
  int protocolLevel = 0, firmwareMinor = 0;
};

// Connects to the identity port, sends "HTTP" and reads the fields as the
// workstation reads them.
IdentityReply readIdentity(std::uint16_t port);

}  // namespace trazvik::sim::test
