#include "link_test_client.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstring>

namespace trazvik::sim::test {

LinkTestClient::~LinkTestClient() { close(); }

bool LinkTestClient::connect(std::uint16_t port, std::chrono::milliseconds timeout) {
  close();
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  do {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
      const int yes = 1;
      setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
      return true;
    }
    close();
    ::usleep(20000);
  } while (std::chrono::steady_clock::now() < deadline);
  return false;
}

void LinkTestClient::close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

Bytes LinkTestClient::receive(std::size_t max, std::chrono::milliseconds timeout) {
  if (fd_ < 0) return {};
  pollfd p{fd_, POLLIN, 0};
  if (::poll(&p, 1, static_cast<int>(timeout.count())) <= 0) return {};
  Bytes buffer(max);
  const ssize_t n = ::recv(fd_, buffer.data(), buffer.size(), 0);
  if (n <= 0) return {};
  buffer.resize(static_cast<std::size_t>(n));
  return buffer;
}

bool LinkTestClient::peerClosed(std::chrono::milliseconds timeout) {
  if (fd_ < 0) return true;
  pollfd p{fd_, POLLIN, 0};
  if (::poll(&p, 1, static_cast<int>(timeout.count())) <= 0) return false;
  std::uint8_t b;
  return ::recv(fd_, &b, 1, MSG_PEEK) == 0;
}

int LinkTestClient::command(const Bytes& command) {
  if (fd_ < 0 || ::send(fd_, command.data(), command.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(command.size()))
    return 101;
  const Bytes echo = receive(128, replyTimeout);
  if (echo.empty()) return 101;
  if (echo.size() != command.size()) return 102;
  Bytes expected = command;
  if (expected[0] >= 'a' && expected[0] <= 'z') expected[0] = static_cast<std::uint8_t>(expected[0] - 'a' + 'A');
  return echo == expected ? 0 : 103;
}

Bytes LinkTestClient::exchange(const Bytes& out, std::size_t max) {
  if (fd_ < 0 || ::send(fd_, out.data(), out.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(out.size())) return {};
  return receive(max, replyTimeout);
}

Bytes LinkTestClient::status() { return exchange(Bytes{'S', 'X'}, 256); }

namespace {

// Digit at a 1-based text position, or nothing.
std::optional<int> digitAt(const std::string& text, std::size_t position) {
  if (position < 1 || position > text.size()) return std::nullopt;
  const char c = text[position - 1];
  if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
  return c - '0';
}

}  // namespace

IdentityReply readIdentity(std::uint16_t port) {
  IdentityReply r;
  LinkTestClient c;
  if (!c.connect(port)) return r;
  Bytes buffer(256, 0);
  const Bytes reply = c.exchange(Bytes{'H', 'T', 'T', 'P'}, 256);
  if (reply.empty()) return r;
  r.received = true;
  std::copy(reply.begin(), reply.end(), buffer.begin());
  const std::string text(reinterpret_cast<const char*>(buffer.data()),
                         strnlen(reinterpret_cast<const char*>(buffer.data()), 256));
  const std::size_t k = text.find("DORNELIS");
  if (k != std::string::npos && k + 50 <= buffer.size()) {
    auto field = [&](std::size_t at) {
      return std::string(buffer.begin() + static_cast<std::ptrdiff_t>(at),
                         buffer.begin() + static_cast<std::ptrdiff_t>(at + 8));
    };
    r.info0 = field(k);
    r.info1 = field(k + 21);
    r.info2 = field(k + 42);
  }
  const std::size_t v = text.find("ver");
  if (v != std::string::npos) {
    const std::size_t i = v + 1;  // 1-based position of "v"
    const auto level = digitAt(text, i + 4), tens = digitAt(text, i + 6), ones = digitAt(text, i + 7);
    if (level && tens && ones) {
      r.protocolLevel = *level;
      r.firmwareMinor = 10 * *tens + *ones;
    }
  }
  return r;
}

}  // namespace trazvik::sim::test
