#pragma once
#include "no_qt.h"

#include <functional>
#include <optional>
#include <string>

namespace trazvik::base {

// The application title: folder names, the lock name, language file names.
inline constexpr const char* kApplicationTitle = "Trazvik";

// Reads one variable of the environment; nothing when it is not set.
using EnvironmentLookup = std::function<std::optional<std::string>(const std::string& name)>;
// The process's own environment.
EnvironmentLookup processEnvironment();

// Adds the final "/" that every folder text of the program carries.
std::string withFinalSeparator(std::string folder);

// Folder of the running program file, with a final "/".
std::string programFileDirectory();

// The user's data folder: $XDG_DATA_HOME, or ~/.local/share when it is
// unset or not an absolute path, with a final "/".
std::string userDataFolder(const EnvironmentLookup& environment);

// Where the program writes its files: the folder of dataDir='folder' when
// given (made absolute against the current folder), otherwise the user's
// data folder + "Dornelis/Trazvik/". Always ends with "/".
std::string dataDirectoryFor(const std::optional<std::string>& dataDirOption, const EnvironmentLookup& environment);

// Creates the folder with all its parents when missing. Returns false when
// it does not exist afterwards (or is not a folder), with the reason.
bool ensureDirectory(const std::string& folder, std::string* reason = nullptr);

}  // namespace trazvik::base
