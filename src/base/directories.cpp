#include "base/directories.h"

#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <unistd.h>

namespace trazvik::base {
namespace fs = std::filesystem;

EnvironmentLookup processEnvironment() {
  return [](const std::string& name) -> std::optional<std::string> {
    const char* value = std::getenv(name.c_str());
    if (!value) return std::nullopt;
    return std::string(value);
  };
}

std::string withFinalSeparator(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

std::string programFileDirectory() {
  std::error_code ec;
  fs::path program = fs::read_symlink("/proc/self/exe", ec);
  if (ec || program.empty()) return withFinalSeparator(fs::current_path(ec).string());
  return withFinalSeparator(program.parent_path().string());
}

namespace {

std::string homeFolder(const EnvironmentLookup& environment) {
  if (std::optional<std::string> home = environment("HOME"); home && !home->empty()) return *home;
  if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir) return entry->pw_dir;
  return "/tmp";
}

}  // namespace

std::string userDataFolder(const EnvironmentLookup& environment) {
  std::optional<std::string> xdg = environment("XDG_DATA_HOME");
  if (xdg && !xdg->empty() && fs::path(*xdg).is_absolute()) return withFinalSeparator(*xdg);
  return withFinalSeparator(homeFolder(environment)) + ".local/share/";
}

std::string dataDirectoryFor(const std::optional<std::string>& dataDirOption, const EnvironmentLookup& environment) {
  if (dataDirOption) {
    if (dataDirOption->empty()) return {};
    std::error_code ec;
    fs::path folder = fs::absolute(fs::path(*dataDirOption), ec);
    return withFinalSeparator(ec ? *dataDirOption : folder.string());
  }
  return userDataFolder(environment) + "Dornelis/" + kApplicationTitle + "/";
}

bool ensureDirectory(const std::string& folder, std::string* reason) {
  if (folder.empty()) {
    if (reason) *reason = "no folder name";
    return false;
  }
  std::error_code ec;
  fs::create_directories(fs::path(folder), ec);
  if (fs::is_directory(fs::path(folder))) return true;
  if (reason) *reason = ec ? ec.message() : "a file of that name is in the way";
  return false;
}

}  // namespace trazvik::base
