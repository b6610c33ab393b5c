#pragma once
#include "base/command_line.h"
#include "base/directories.h"
#include "base/single_instance.h"
#include "base/startup_switches.h"
#include "texts/interfejs.h"

#include <optional>
#include <string>

namespace trazvik::app {

// The frame of the running program without its windows: the switches, the
// program and data folders, the interface texts, the single-instance rule
// and the caption. The desktop program and the CLI start it the same way:
//
//   ProgramFrame frame(boxes);
//   auto outcome = frame.start(setup);      // texts, data folder
//   ...start the event log here (it writes into the data folder)...
//   if (outcome != Ready) end;              // message already shown
//   if (!frame.applySingleInstanceRule()) end at once;
class ProgramFrame {
 public:
  // What the start needs from the world; empty fields take the real one.
  struct Setup {
    base::CommandLine commandLine;
    std::string programDirectory;         // default: folder of the program file
    base::EnvironmentLookup environment;  // default: the process's environment
    std::optional<int> countryNumber;     // default: from the user's locale
    std::string majorMinorVersion;        // default: this build's
    std::string lockFilePath;             // default: SingleInstanceLock::lockFilePath
  };

  enum class Outcome {
    Ready,            // texts loaded, data folder exists
    NoLanguageFile,   // the language file was missing or invalid
    NoDataDirectory,  // the data folder cannot be created
  };

  explicit ProgramFrame(texts::MessageBoxes& boxes);

  // Reads the switches, loads the texts and fixes the data folder (creating
  // it with its parents). Failures are shown through the message boxes.
  Outcome start(Setup setup);

  // Only one copy of the program works at a time, except with
  // OnlyMachine='name'. Returns false (after the error box) when another
  // copy holds the lock or the lock cannot be taken: the program must end at
  // once. Calling it again after success does nothing.
  bool applySingleInstanceRule();

  // "Trazvik   <msgWersja> a.b.c.d", followed by the machine filter and the
  // base-check warning when those switches are on. Re-read after the texts
  // change.
  std::string caption() const;

  const base::CommandLine& commandLine() const { return commandLine_; }
  const base::StartupSwitches& switches() const { return switches_; }
  const std::string& programDirectory() const { return programDirectory_; }
  const std::string& dataDirectory() const { return dataDirectory_; }
  texts::tInterfejs& texts() { return texts_; }
  const texts::tInterfejs& texts() const { return texts_; }
  bool holdsSingleInstanceLock() const { return lock_.held(); }

 private:
  base::CommandLine commandLine_;
  base::StartupSwitches switches_;
  std::string programDirectory_;
  std::string dataDirectory_;
  std::string lockFilePath_;
  texts::tInterfejs texts_;
  base::SingleInstanceLock lock_;
};

// The caption of the main window for the given texts, version and switches.
std::string mainWindowCaption(const texts::tInterfejs& texts, const std::string& versionText,
                              const base::StartupSwitches& switches);

}  // namespace trazvik::app
