// Runs trazvik-cli as a child process whose input the test writes and whose
// output it reads while it runs (Ctrl-C and the questions that follow).
#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace trazvik::testing {

class CliProcess {
 public:
  ~CliProcess();
  bool start(const std::vector<std::string>& arguments);
  // Waits until the output holds `text` (true) or the time is up (false).
  bool waitFor(const std::string& text, std::chrono::milliseconds limit);
  void write(const std::string& text);
  void interrupt();  // SIGINT, as Ctrl-C does
  // Waits for the end (killing the child after `limit`); the exit code, or -1.
  int finish(std::chrono::milliseconds limit);
  const std::string& output() const { return output_; }

 private:
  void drain(std::chrono::milliseconds wait);

  int pid_ = -1;
  int in_ = -1;
  int out_ = -1;
  std::string output_;
};

}  // namespace trazvik::testing
