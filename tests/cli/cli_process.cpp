#include "cli_process.h"

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace trazvik::testing {

CliProcess::~CliProcess() {
  if (pid_ > 0) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
  if (in_ >= 0) ::close(in_);
  if (out_ >= 0) ::close(out_);
}

bool CliProcess::start(const std::vector<std::string>& arguments) {
  int toChild[2];
  int fromChild[2];
  if (::pipe(toChild) != 0 || ::pipe(fromChild) != 0) return false;
  const std::string program = std::string(TRAZVIK_BIN_DIR) + "/trazvik-cli";
  pid_ = ::fork();
  if (pid_ < 0) return false;
  if (pid_ == 0) {
    ::dup2(toChild[0], 0);
    ::dup2(fromChild[1], 1);
    ::dup2(fromChild[1], 2);
    ::close(toChild[1]);
    ::close(fromChild[0]);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const auto& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  ::close(toChild[0]);
  ::close(fromChild[1]);
  in_ = toChild[1];
  out_ = fromChild[0];
  ::fcntl(out_, F_SETFL, ::fcntl(out_, F_GETFL) | O_NONBLOCK);
  return true;
}

void CliProcess::drain(std::chrono::milliseconds wait) {
  pollfd p{out_, POLLIN, 0};
  if (::poll(&p, 1, static_cast<int>(wait.count())) <= 0) return;
  char buffer[4096];
  ssize_t got;
  while ((got = ::read(out_, buffer, sizeof buffer)) > 0) output_.append(buffer, static_cast<std::size_t>(got));
}

bool CliProcess::waitFor(const std::string& text, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (output_.find(text) == std::string::npos) {
    if (std::chrono::steady_clock::now() >= end) return false;
    drain(std::chrono::milliseconds(50));
  }
  return true;
}

void CliProcess::write(const std::string& text) {
  if (in_ >= 0) (void)!::write(in_, text.data(), text.size());
}

void CliProcess::interrupt() {
  if (pid_ > 0) ::kill(pid_, SIGINT);
}

int CliProcess::finish(std::chrono::milliseconds limit) {
  if (pid_ <= 0) return -1;
  if (in_ >= 0) {
    ::close(in_);
    in_ = -1;
  }
  const auto end = std::chrono::steady_clock::now() + limit;
  int status = 0;
  for (;;) {
    drain(std::chrono::milliseconds(20));
    const pid_t r = ::waitpid(pid_, &status, WNOHANG);
    if (r == pid_) break;
    if (std::chrono::steady_clock::now() >= end) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, &status, 0);
      pid_ = -1;
      return -1;
    }
  }
  pid_ = -1;
  drain(std::chrono::milliseconds(0));
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace trazvik::testing
