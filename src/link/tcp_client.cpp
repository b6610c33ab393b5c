#include "link/tcp_client.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace trazvik {

namespace {

constexpr std::chrono::milliseconds kAbortPollSlice{50};

int resolve(const std::string& host, std::uint16_t port, sockaddr_in& out) {
  out = {};
  out.sin_family = AF_INET;
  out.sin_port = htons(port);
  if (inet_pton(AF_INET, host.c_str(), &out.sin_addr) == 1) return 0;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || !found) return EHOSTUNREACH;
  out.sin_addr = reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr;
  freeaddrinfo(found);
  return 0;
}

}  // namespace

tTcpClient::~tTcpClient() { disconnect(); }

void tTcpClient::setRemote(const std::string& host, std::uint16_t port) {
  std::lock_guard lock(mutex_);
  host_ = host;
  port_ = port;
}

std::string tTcpClient::host() const {
  std::lock_guard lock(mutex_);
  return host_;
}

std::uint16_t tTcpClient::port() const {
  std::lock_guard lock(mutex_);
  return port_;
}

int tTcpClient::connect(std::chrono::milliseconds timeout, const std::function<bool()>& abort) {
  disconnect();
  sockaddr_in address{};
  if (int e = resolve(host(), port(), address)) return e;
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return errno;
  int e = 0;
  if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    e = errno;
    if (e == EINPROGRESS) {
      e = ETIMEDOUT;
      const auto deadline = std::chrono::steady_clock::now() + timeout;
      while (std::chrono::steady_clock::now() < deadline) {
        if (abort && abort()) {
          e = ECANCELED;
          break;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd p{fd, POLLOUT, 0};
        const int n = ::poll(&p, 1, static_cast<int>(std::min(left, kAbortPollSlice).count()) + 1);
        if (n < 0 && errno != EINTR) {
          e = errno;
          break;
        }
        if (n > 0) {
          int soError = 0;
          socklen_t len = sizeof soError;
          ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &soError, &len);
          e = soError;
          break;
        }
      }
    }
  }
  if (e != 0) {
    ::close(fd);
    return e;
  }
  // Back to blocking mode: sends block, receives are bounded by poll.
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  const int one = 1;
  ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  fd_.store(fd);
  return 0;
}

void tTcpClient::disconnect() {
  const int fd = fd_.exchange(-1);
  if (fd >= 0) {
    ::shutdown(fd, SHUT_RDWR);
    ::close(fd);
  }
}

int tTcpClient::sendAll(std::span<const std::uint8_t> data) {
  const int fd = fd_.load();
  if (fd < 0) return ENOTCONN;
  std::size_t sent = 0;
  while (sent < data.size()) {
    const ssize_t n = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    sent += static_cast<std::size_t>(n);
  }
  return 0;
}

tTcpClient::Received tTcpClient::receive(std::size_t maxBytes, std::chrono::milliseconds timeout) {
  Received r;
  const int fd = fd_.load();
  if (fd < 0) {
    r.error = ENOTCONN;
    return r;
  }
  pollfd p{fd, POLLIN, 0};
  int n;
  do {
    n = ::poll(&p, 1, static_cast<int>(timeout.count()));
  } while (n < 0 && errno == EINTR);
  if (n < 0) {
    r.error = errno;
    return r;
  }
  if (n == 0) return r;  // nothing in time
  r.data.resize(maxBytes);
  ssize_t got;
  do {
    got = ::recv(fd, r.data.data(), maxBytes, 0);
  } while (got < 0 && errno == EINTR);
  if (got < 0) {
    r.error = errno;
    r.data.clear();
  } else if (got == 0) {
    r.peerClosed = true;
    r.data.clear();
  } else {
    r.data.resize(static_cast<std::size_t>(got));
  }
  return r;
}

}  // namespace trazvik
