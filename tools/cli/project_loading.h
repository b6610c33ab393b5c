// Opening a design file as a project for the commands open and preview:
// the settings (default, a settings file, single values by name) and the
// project document loaded with them.
#pragma once

#include "commands.h"
#include "config/tdlgkonfig.h"
#include "project/tmdichild.h"

#include <memory>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace trazvik::cli {

struct ProjectOptions {
  std::string file;
  std::string settingsFile;          // --settings F.mcc
  std::vector<std::string> sets;     // --set NAME=VALUE
};

// Adds FILE, --settings and --set to a command.
void addProjectOptions(CLI::App& command, ProjectOptions& options);

struct LoadedProject {
  std::unique_ptr<TDlgkonfig> settings;
  std::unique_ptr<TMDIChild> project;
};

// Applies the settings and opens the file. Every failure has been told
// through the message boxes and ends in CommandFailed.
LoadedProject loadProject(Context& context, const ProjectOptions& options);

}  // namespace trazvik::cli
