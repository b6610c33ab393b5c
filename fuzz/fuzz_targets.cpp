#include "fuzz_target_list.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace trazvik::fuzz {

namespace {

const FuzzTarget kTargets[] = {
    {"hpgl", fuzzHpgl},
    {"dxf", fuzzDxf},
    {"gcode", fuzzGcode},
    {"bmp", fuzzBmp},
    {"settings", fuzzSettings},
    {"global_cfg", fuzzGlobalCfg},
    {"layers", fuzzLayers},
    {"language", fuzzLanguage},
    {"base_points", fuzzBasePoints},
    {"small_files", fuzzSmallFiles},
    {"status", fuzzStatus},
    {"identity", fuzzIdentity},
    {"echo", fuzzEcho},
    {"job_decoder", fuzzJobDecoder},
};

// One folder per process (fuzzing and test runs may go on side by side),
// removed when the process ends.
struct ScratchFolder {
  std::filesystem::path path;
  ScratchFolder() {
    std::error_code ec;
    const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", ec)
                                           ? std::filesystem::path("/dev/shm")
                                           : std::filesystem::temp_directory_path();
    path = base / ("trazvik_fuzz_" + std::to_string(::getpid()));
    std::filesystem::create_directories(path, ec);
  }
  ~ScratchFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
};

const std::filesystem::path& scratchFolder() {
  static const ScratchFolder folder;
  return folder.path;
}

}  // namespace

std::span<const FuzzTarget> fuzzTargets() { return kTargets; }

const FuzzTarget* findFuzzTarget(std::string_view name) {
  for (const FuzzTarget& t : kTargets)
    if (name == t.name) return &t;
  return nullptr;
}

std::string scratchFile(const std::string& name, FuzzInput input) {
  const std::filesystem::path path = scratchFolder() / name;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(input.data()), static_cast<std::streamsize>(input.size()));
  return path.string();
}

}  // namespace trazvik::fuzz
