// trazvik-cli cut FILE --machine M: the whole road of a job from the shell.
#include "commands.h"
#include "cut_session.h"

#include <CLI/CLI.hpp>

#include <iostream>
#include <array>
#include <memory>
#include <vector>

namespace trazvik::cli {

void addCutCommand(CLI::App& app, Context& context) {
  auto options = std::make_shared<CutOptions>();
  auto zero = std::make_shared<std::vector<double>>();
  CLI::App* cmd = app.add_subcommand(
      "cut", "Cut a design file: checks, job file, transfer with progress, pause with Ctrl-C, summary and logs");
  addProjectOptions(*cmd, options->project);
  addHatchOption(*cmd, options->project);
  cmd->add_option("--machine", options->machine, "sim:TYPE | sim-usb:TYPE | tcp:HOST[:PORT[:IDENTITY_PORT]] | usb")
      ->required();
  cmd->add_option("--sim-fault", options->simFaults,
                  "sim: a fault of the simulated controller, NAME[=VALUE][@COMMANDS] as trazvik-sim's --fault");
  cmd->add_option("--sim-journal", options->simJournal,
                  "sim: write the job commands the simulated controller executed, one hexadecimal line each");
  cmd->add_option("--max-stall", options->maxStallSeconds,
                  "stop the job when the controller reports its buffer full while the machine stands still this "
                  "many seconds (default: wait)")
      ->check(CLI::PositiveNumber);
  cmd->add_option("--max-pause", options->maxPauseSeconds,
                  "end, leaving the job paused, when it stays paused at the machine this many seconds (default: wait "
                  "while standard input is a terminal, else 300)")
      ->check(CLI::PositiveNumber);
  cmd->add_option("--sim-speed", options->simSpeed, "sim: simulated seconds per real second (default 20)")
      ->check(CLI::PositiveNumber);
  cmd->add_option("--trace", options->tracePath, "sim: picture of the tool's path at the end (.png or .svg)");
  cmd->add_option("--connect-timeout", options->connectSeconds, "seconds to wait for the controller (default 10)");
  cmd->add_option("--reconnect-timeout", options->reconnectSeconds,
                  "seconds to wait for a lost link to come back (default 30)");
  cmd->add_option("--max-time", options->maxSeconds, "give up after this many seconds (default: never)");
  cmd->add_option("--work-zero", *zero,
                  "work zero X,Y,Z in machine millimetres, set before the start (sim default 20,20,60)")
      ->delimiter(',')
      ->expected(3);
  cmd->add_option("--repeat", options->repeat, "run the job stored in the controller again N times")
      ->check(CLI::NonNegativeNumber);
  auto* resume = cmd->add_flag("--resume", options->resume,
                               "take up the interrupted job of the data folder where the machine stopped");
  auto fromNext = std::make_shared<bool>(false);
  auto fromInterrupted = std::make_shared<bool>(false);
  cmd->add_flag("--from-next", *fromNext, "with --resume: go on with the figure after the interrupted one")
      ->needs(resume);
  cmd->add_flag("--from-interrupted", *fromInterrupted,
                "with --resume: cut the interrupted figure again from its start (the default for routers)")
      ->needs(resume)
      ->excludes("--from-next");
  cmd->add_option("--head", options->head, "head of a single-layer job (1 to 3, default 1)")->check(CLI::Range(1, 3));
  cmd->callback([options, zero, fromNext, fromInterrupted, &context] {
    if (!zero->empty()) options->workZero = std::array<double, 3>{(*zero)[0], (*zero)[1], (*zero)[2]};
    if (*fromNext) options->resumeFromNext = true;
    if (*fromInterrupted) options->resumeFromNext = false;
    const int code = runCut(context, *options, std::cin, std::cout, std::cerr);
    if (code != 0) throw CommandFailed(code);
  });
}

}  // namespace trazvik::cli
