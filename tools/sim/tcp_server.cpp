#include "tcp_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <deque>
#include <stdexcept>

namespace trazvik::sim {

using Clock = std::chrono::steady_clock;

struct TcpServer::Listener {
  int fd = -1;
  std::uint16_t port = 0;
  PortHandler handler;
  std::function<void(int)> onClose;
};

struct TcpServer::Connection {
  int fd = -1;
  Listener* listener = nullptr;
  struct Pending {
    Bytes data;
    Clock::time_point due;
  };
  std::deque<Pending> outgoing;
  bool closeWhenSent = false;
};

namespace {

void setNonBlocking(int fd) {
  const int flags = fcntl(fd, F_GETFL, 0);
  if (flags >= 0) fcntl(fd, F_SETFL, flags | O_NONBLOCK);
}

}  // namespace

TcpServer::TcpServer() {
  if (pipe(wakePipe_) != 0) throw std::runtime_error(std::string("cannot create a pipe: ") + std::strerror(errno));
  setNonBlocking(wakePipe_[0]);
  setNonBlocking(wakePipe_[1]);
}

TcpServer::~TcpServer() {
  stop();
  for (int fd : wakePipe_)
    if (fd >= 0) ::close(fd);
}

std::uint16_t TcpServer::listen(const std::string& address, std::uint16_t port, PortHandler handler,
                                std::function<void(int)> onClose) {
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(port);
  if (inet_pton(AF_INET, address.c_str(), &addr.sin_addr) != 1)
    throw std::runtime_error("not an IPv4 address: \"" + address + "\"");
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) throw std::runtime_error(std::string("cannot create a socket: ") + std::strerror(errno));
  const int yes = 1;
  setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 8) != 0) {
    const std::string reason = std::strerror(errno);
    ::close(fd);
    throw std::runtime_error("cannot listen on " + address + ":" + std::to_string(port) + ": " + reason);
  }
  socklen_t len = sizeof addr;
  getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
  setNonBlocking(fd);
  auto l = std::make_unique<Listener>();
  l->fd = fd;
  l->port = ntohs(addr.sin_port);
  l->handler = std::move(handler);
  l->onClose = std::move(onClose);
  listeners_.push_back(std::move(l));
  return listeners_.back()->port;
}

void TcpServer::setTicker(std::function<void()> ticker, std::chrono::milliseconds period) {
  ticker_ = std::move(ticker);
  tickPeriod_ = std::max(period, std::chrono::milliseconds(1));
}

void TcpServer::start() {
  if (running_.exchange(true)) return;
  thread_ = std::thread([this] { run(); });
}

void TcpServer::stop() {
  if (running_.exchange(false)) {
    const char wake = 1;
    [[maybe_unused]] auto n = ::write(wakePipe_[1], &wake, 1);
    if (thread_.joinable()) thread_.join();
  }
  while (!connections_.empty()) closeConnection(connections_.begin()->first);
  for (auto& l : listeners_)
    if (l->fd >= 0) {
      ::close(l->fd);
      l->fd = -1;
    }
}

void TcpServer::dropConnections(std::uint16_t port) {
  {
    std::lock_guard lock(dropMutex_);
    dropRequests_.push_back(port);
  }
  const char wake = 1;
  [[maybe_unused]] auto n = ::write(wakePipe_[1], &wake, 1);
}

void TcpServer::closeConnection(int fd) {
  auto it = connections_.find(fd);
  if (it == connections_.end()) return;
  Listener* l = it->second->listener;
  ::close(fd);
  connections_.erase(it);
  connectionCount_ = connections_.size();
  if (l && l->onClose) l->onClose(fd);
}

void TcpServer::acceptOn(Listener& l) {
  for (;;) {
    const int fd = ::accept4(l.fd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (fd < 0) return;
    const int yes = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
    auto c = std::make_unique<Connection>();
    c->fd = fd;
    c->listener = &l;
    connections_[fd] = std::move(c);
    connectionCount_ = connections_.size();
  }
}

void TcpServer::serve(Connection& c) {
  std::uint8_t buffer[4096];
  const ssize_t n = ::recv(c.fd, buffer, sizeof buffer, 0);
  if (n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
    closeConnection(c.fd);
    return;
  }
  if (n < 0) return;
  PortResponse response = c.listener->handler(c.fd, std::span<const std::uint8_t>(buffer, static_cast<std::size_t>(n)));
  Clock::time_point due = c.outgoing.empty() ? Clock::now() : c.outgoing.back().due;
  for (auto& piece : response.pieces) {
    due += piece.delay;
    c.outgoing.push_back({std::move(piece.data), due});
  }
  c.closeWhenSent = c.closeWhenSent || response.close;
}

void TcpServer::flush(Connection& c, Clock::time_point now) {
  while (!c.outgoing.empty() && c.outgoing.front().due <= now) {
    auto& front = c.outgoing.front();
    if (!front.data.empty()) {
      const ssize_t sent = ::send(c.fd, front.data.data(), front.data.size(), MSG_NOSIGNAL);
      if (sent < 0) {
        if (errno == EAGAIN || errno == EWOULDBLOCK) return;
        closeConnection(c.fd);
        return;
      }
      front.data.erase(front.data.begin(), front.data.begin() + sent);
      if (!front.data.empty()) return;
    }
    c.outgoing.pop_front();
  }
  if (c.outgoing.empty() && c.closeWhenSent) closeConnection(c.fd);
}

int TcpServer::pollTimeoutMs(Clock::time_point now) const {
  auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(tickPeriod_);
  for (const auto& [fd, c] : connections_)
    if (!c->outgoing.empty())
      wait = std::min(wait, std::chrono::duration_cast<std::chrono::milliseconds>(c->outgoing.front().due - now));
  return static_cast<int>(std::max<std::int64_t>(0, wait.count()));
}

void TcpServer::run() {
  std::vector<pollfd> fds;
  auto lastTick = Clock::now();
  while (running_) {
    fds.clear();
    fds.push_back({wakePipe_[0], POLLIN, 0});
    for (auto& l : listeners_) fds.push_back({l->fd, POLLIN, 0});
    for (auto& [fd, c] : connections_)
      fds.push_back({fd, static_cast<short>(POLLIN | (c->outgoing.empty() ? 0 : POLLOUT)), 0});
    ::poll(fds.data(), fds.size(), pollTimeoutMs(Clock::now()));
    if (!running_) break;
    if (fds[0].revents & POLLIN) {
      char drain[64];
      while (::read(wakePipe_[0], drain, sizeof drain) > 0) {
      }
    }
    for (std::size_t i = 0; i < listeners_.size(); ++i)
      if (fds[1 + i].revents & POLLIN) acceptOn(*listeners_[i]);
    for (std::size_t i = 1 + listeners_.size(); i < fds.size(); ++i) {
      if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      auto it = connections_.find(fds[i].fd);
      if (it != connections_.end()) serve(*it->second);
    }
    const auto now = Clock::now();
    std::vector<int> open;
    for (auto& [fd, c] : connections_) open.push_back(fd);
    for (int fd : open)
      if (auto it = connections_.find(fd); it != connections_.end()) flush(*it->second, now);
    if (ticker_ && now - lastTick >= tickPeriod_) {
      lastTick = now;
      ticker_();
    }
    std::vector<std::uint16_t> drops;
    {
      std::lock_guard lock(dropMutex_);
      drops.swap(dropRequests_);
    }
    for (std::uint16_t port : drops) {
      std::vector<int> victims;
      for (auto& [fd, c] : connections_)
        if (c->listener->port == port) victims.push_back(fd);
      for (int fd : victims) closeConnection(fd);
    }
  }
}

}  // namespace trazvik::sim
