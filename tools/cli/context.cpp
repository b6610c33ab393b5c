#include "commands.h"

#include "texts/language_choice.h"

#include <CLI/CLI.hpp>

#include <iostream>
#include <unistd.h>

namespace trazvik::cli {
namespace {

// Every word the program takes as a language switch.
const std::vector<std::string> kLanguageWords = {"USA", "US", "GB",    "POLSKA", "PL",    "DE",      "RU",
                                                 "CN",  "SK", "ITALY", "IT",     "SPAIN", "ESPANOL", "ES",
                                                 "SA",  "HU", "RO",    "FR",     "TW"};

}  // namespace

Context::Context()
    : boxes_(std::make_unique<texts::ConsoleMessageBoxes>(std::cout, std::cerr,
                                                          ::isatty(STDIN_FILENO) ? &std::cin : nullptr)) {}

Context::~Context() = default;

base::CommandLine Context::programArguments() const {
  std::vector<std::string> arguments = passThrough;
  if (!languageCode.empty()) arguments.push_back(languageCode);
  if (!dataDir.empty()) arguments.push_back("dataDir='" + dataDir + "'");
  return base::CommandLine(std::move(arguments));
}

app::ProgramFrame& Context::frame() {
  if (frame_) return *frame_;
  auto frame = std::make_unique<app::ProgramFrame>(*boxes_);
  app::ProgramFrame::Setup start = setup;
  start.commandLine = programArguments();
  const app::ProgramFrame::Outcome outcome = frame->start(std::move(start));
  if (outcome != app::ProgramFrame::Outcome::Ready) throw CommandFailed(2, "the program frame did not start");
  frame_ = std::move(frame);
  return *frame_;
}

void Context::requireSingleInstance() {
  if (!frame().applySingleInstanceRule()) throw CommandFailed(3, "another copy of Trazvik is working");
}

void Context::useMessageBoxes(std::unique_ptr<texts::MessageBoxes> boxes) {
  boxes_ = std::move(boxes);
  frame_.reset();
}

void addSharedOptions(CLI::App& app, Context& context) {
  // Subcommands created after this inherit it, so the shared options may
  // also follow the command's name.
  app.fallthrough();
  app.add_option("--data-dir", context.dataDir, "Folder for settings, job file and logs (as the switch dataDir='DIR')")
      ->type_name("DIR");
  app.add_option("--lang", context.languageCode, "Language of the texts: US, PL, DE, ... (as the switch CODE)")
      ->type_name("CODE")
      ->check(CLI::IsMember(kLanguageWords, CLI::ignore_case));
  app.add_option("--switch", context.passThrough,
                 "A switch of the program, passed through as given: service, testy, spline, "
                 "SaveLogToXML, OnlyMachine='name', maxX='n', ... (repeatable)")
      ->type_name("WORD")
      ->allow_extra_args(false);
}

}  // namespace trazvik::cli
