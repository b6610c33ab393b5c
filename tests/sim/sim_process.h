// Runs the trazvik-sim program for a test: starts it with free ports, reads
// the ports from its first line, and stops it with SIGTERM.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace trazvik::sim::test {

class SimProcess {
 public:
  ~SimProcess();
  // Starts the program with `args` plus "--port 0 --identity-port 0"; false
  // when it did not report its ports within the time-out (see output()).
  bool start(const std::vector<std::string>& args);
  // Sends SIGTERM and waits for the end; returns the exit code (-1 when it
  // had to be killed or did not start).
  int stop();

  std::uint16_t commandPort() const { return commandPort_; }
  std::uint16_t identityPort() const { return identityPort_; }
  // Everything the program wrote to standard output and error so far.
  const std::string& output();

 private:
  void drain(std::chrono::milliseconds wait);

  int pid_ = -1;
  int outFd_ = -1;
  std::string output_;
  std::uint16_t commandPort_ = 0, identityPort_ = 0;
};

}  // namespace trazvik::sim::test
