// Runs the real trazvik-cli and collects what it prints.
#pragma once

#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace trazvik::testing {

struct CliRun {
  int exitCode = -1;
  std::string output;  // standard output, then standard error when asked
};

// Arguments are passed through the shell: quote them when needed.
inline CliRun runCli(const std::string& arguments, bool withErrors = false) {
  const std::string command =
      std::string("'") + TRAZVIK_BIN_DIR + "/trazvik-cli' " + arguments + (withErrors ? " 2>&1" : " 2>/dev/null");
  CliRun run;
  std::FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return run;
  char buffer[4096];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, got);
  const int status = ::pclose(pipe);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

}  // namespace trazvik::testing
