#include "sim_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <regex>
#include <thread>

extern char** environ;

namespace trazvik::sim::test {

SimProcess::~SimProcess() { stop(); }

void SimProcess::drain(std::chrono::milliseconds wait) {
  if (outFd_ < 0) return;
  pollfd p{outFd_, POLLIN, 0};
  while (::poll(&p, 1, static_cast<int>(wait.count())) > 0) {
    char buffer[4096];
    const ssize_t n = ::read(outFd_, buffer, sizeof buffer);
    if (n <= 0) break;
    output_.append(buffer, static_cast<std::size_t>(n));
    wait = std::chrono::milliseconds(0);
  }
}

const std::string& SimProcess::output() {
  drain(std::chrono::milliseconds(0));
  return output_;
}

bool SimProcess::start(const std::vector<std::string>& args) {
  int pipeFds[2];
  if (::pipe(pipeFds) != 0) return false;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 2);
  posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
  std::vector<std::string> all{std::string(TRAZVIK_BIN_DIR) + "/trazvik-sim"};
  all.insert(all.end(), args.begin(), args.end());
  for (const char* a : {"--port", "0", "--identity-port", "0"}) all.emplace_back(a);
  std::vector<char*> argv;
  for (auto& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  const int rc = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipeFds[1]);
  outFd_ = pipeFds[0];
  if (rc != 0) {
    pid_ = -1;
    return false;
  }
  static const std::regex ports("command port (\\d+), identity port (\\d+)");
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::chrono::steady_clock::now() < deadline) {
    drain(std::chrono::milliseconds(50));
    std::smatch m;
    if (std::regex_search(output_, m, ports)) {
      commandPort_ = static_cast<std::uint16_t>(std::stoi(m[1]));
      identityPort_ = static_cast<std::uint16_t>(std::stoi(m[2]));
      return true;
    }
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      drain(std::chrono::milliseconds(0));
      return false;
    }
  }
  return false;
}

int SimProcess::stop() {
  if (pid_ < 0) return -1;
  ::kill(pid_, SIGTERM);
  int status = 0;
  for (int i = 0; i < 500; ++i) {
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      drain(std::chrono::milliseconds(0));
      ::close(outFd_);
      outFd_ = -1;
      return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ::kill(pid_, SIGKILL);
  ::waitpid(pid_, &status, 0);
  pid_ = -1;
  return -1;
}

}  // namespace trazvik::sim::test
