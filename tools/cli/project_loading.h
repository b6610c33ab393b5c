// Opening a design file for the commands that read one (open, preview,
// export-dxf, cut, figures): the settings (default, a settings file, single
// values by name) and the project document loaded with them.
#pragma once

#include "commands.h"
#include "config/tdlgkonfig.h"
#include "project/hatching_form.h"
#include "project/tmdichild.h"

#include <optional>

#include <memory>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace trazvik::cli {

struct ProjectOptions {
  std::string file;
  std::string settingsFile;                     // --settings F.mcc
  std::vector<std::string> sets;                // --set NAME=VALUE
  std::optional<tUstawieniaKreskowania> hatch;  // hatched after opening
};

// Adds --hatch MM,DEG[,both-ways][,contours] to a command.
void addHatchOption(CLI::App& command, ProjectOptions& options);

// Adds FILE, --settings and --set to a command.
void addProjectOptions(CLI::App& command, ProjectOptions& options);

// The default settings with the settings file and then every --set applied.
// A bad file or value has been told through the message boxes and ends in
// CommandFailed.
std::unique_ptr<TDlgkonfig> loadSettings(Context& context, const ProjectOptions& options);

// Prints the lines on standard error, one each (what the reader passed
// over in a file that was read).
void printWarnings(const std::vector<std::string>& lines);
// The figures narrower than the tool, which the job leaves out, for stderr.
std::vector<std::string> narrowFigureWarnings(const TMDIChild& project, const texts::tInterfejs& texts);

struct LoadedProject {
  std::unique_ptr<TDlgkonfig> settings;
  std::unique_ptr<TMDIChild> project;
};

// Applies the settings and opens the file; the reader's warnings go to
// standard error. Every failure has been told through the message boxes and
// ends in CommandFailed.
LoadedProject loadProject(Context& context, const ProjectOptions& options);

}  // namespace trazvik::cli
