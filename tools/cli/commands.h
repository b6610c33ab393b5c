// Each subcommand of trazvik-cli lives in its own file and registers itself
// on the application here, with the shared context of the program frame.
#pragma once

#include "app/program_frame.h"
#include "texts/console_message_boxes.h"

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace trazvik::cli {

// Thrown by a command that has already told the operator what went wrong
// (through the message boxes); main ends the program with `exitCode`.
struct CommandFailed : std::runtime_error {
  explicit CommandFailed(int code, const std::string& what = "command failed")
      : std::runtime_error(what), exitCode(code) {}
  int exitCode;
};

// What every command shares: the options common to all commands and the
// program frame they give (switches, folders, texts, message boxes).
//
// A command registers with `void addXCommand(CLI::App& app, Context& context)`
// and, when it runs, calls `context.frame()` (or texts(), switches(),
// dataDirectory(), boxes()). The frame starts on the first such call: it
// reads the switches, loads the language file and creates the data folder.
// When that fails, the message has been printed and CommandFailed is thrown.
// Commands that drive a machine call requireSingleInstance() first.
class Context {
 public:
  Context();
  ~Context();

  // Filled by the shared options before any command runs.
  std::string dataDir;                   // --data-dir DIR  = dataDir='DIR'
  std::string languageCode;              // --lang CODE     = the switch CODE
  std::vector<std::string> passThrough;  // --switch WORD   = the program's own switches

  // The program's arguments as the desktop program would see them.
  base::CommandLine programArguments() const;

  app::ProgramFrame& frame();
  texts::tInterfejs& texts() { return frame().texts(); }
  const base::StartupSwitches& switches() { return frame().switches(); }
  const std::string& dataDirectory() { return frame().dataDirectory(); }
  const std::string& programDirectory() { return frame().programDirectory(); }
  texts::MessageBoxes& boxes() { return *boxes_; }

  // The single-instance rule of the program: throws CommandFailed when
  // another copy of Trazvik works (unless OnlyMachine='name' is given).
  void requireSingleInstance();

  // For tests of the CLI's own pieces: use other message boxes or folders.
  void useMessageBoxes(std::unique_ptr<texts::MessageBoxes> boxes);
  app::ProgramFrame::Setup setup;  // commandLine is filled from the options

 private:
  std::unique_ptr<texts::MessageBoxes> boxes_;
  std::unique_ptr<app::ProgramFrame> frame_;
};

// --data-dir, --lang and --switch on the top-level application; they are
// accepted before and after the command's name.
void addSharedOptions(CLI::App& app, Context& context);

// The commands.
void addFrameCommand(CLI::App& app, Context& context);
void addDumpCommand(CLI::App& app, Context& context);
void addFiguresCommand(CLI::App& app, Context& context);
void addSettingsCommand(CLI::App& app, Context& context);
void addExportDxfCommand(CLI::App& app, Context& context);
void addOpenCommand(CLI::App& app, Context& context);
void addPreviewCommand(CLI::App& app, Context& context);
void addJobCommand(CLI::App& app, Context& context);
void addStatusCommand(CLI::App& app, Context& context);
void addHomeCommand(CLI::App& app, Context& context);
void addMoveCommand(CLI::App& app, Context& context);
void addSendCommand(CLI::App& app, Context& context);
void addCutCommand(CLI::App& app, Context& context);
void addBurnCommand(CLI::App& app, Context& context);
void addMultitestCommand(CLI::App& app, Context& context);
void addSurfacingCommand(CLI::App& app, Context& context);
void addHatchCommand(CLI::App& app, Context& context);

}  // namespace trazvik::cli
