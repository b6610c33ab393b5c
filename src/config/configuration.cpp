#include "config/configuration.h"

#include "base/atomic_file.h"
#include "config/address_file.h"
#include "config/settings_file.h"

#include <cmath>
#include <fstream>

namespace trazvik::config {

namespace {

// Settings files are a few kilobytes; anything this large is not one.
constexpr std::uintmax_t kMaxFileSize = 16u << 20;

enum class ReadResult { Read, Missing, Failed };

ReadResult readWholeFile(const std::string& path, std::string& content) {
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return ReadResult::Missing;
  const auto size = std::filesystem::file_size(path, ec);
  if (ec || size > kMaxFileSize) return ReadResult::Failed;
  std::ifstream in(path, std::ios::binary);
  if (!in) return ReadResult::Failed;
  content.assign(static_cast<std::size_t>(size), '\0');
  in.read(content.data(), static_cast<std::streamsize>(size));
  content.resize(static_cast<std::size_t>(in.gcount()));
  return in.bad() ? ReadResult::Failed : ReadResult::Read;
}

bool writeWhole(const std::string& path, std::string_view content) { return base::writeFileAtomically(path, content); }

}  // namespace

std::string invalidPathMessage(const std::string& path) { return "ERROR: Invalid file or path name: " + path; }

Configuration::Configuration(std::filesystem::path dataDirectory, char decimalSeparator)
    : dataDirectory_(std::move(dataDirectory)), settings_(decimalSeparator) {}

std::string Configuration::dataPath(const char* name) const { return (dataDirectory_ / name).string(); }

ConfigStatus Configuration::open(const MachineContext& machine, const DialogSwitches& switches) {
  ConfigStatus status;
  settings_.setSwitches(switches);
  settings_.SetParam(machine);
  if (switches.touchPanel) settings_.useTouchPanel();
  status.add(loadGlobal());
  status.add(LoadKonfig(global_.settingsFile));
  settings_.SetMachineDependentControls();
  settings_.activate();
  settings_.wazna_zmiana = true;
  return status;
}

ConfigStatus Configuration::loadGlobal() {
  ConfigStatus status;
  std::string content;
  const std::string path = dataPath(kGlobalCfgName);
  if (readWholeFile(path, content) == ReadResult::Read && content.size() >= kGlobalCfgSize) {
    std::array<std::uint8_t, kGlobalCfgSize> record{};
    std::copy_n(reinterpret_cast<const std::uint8_t*>(content.data()), kGlobalCfgSize, record.begin());
    global_ = decodeGlobalCfg(record);
  } else {
    // Missing, unreadable or short: the defaults, written at once.
    global_ = GlobalCfg{};
    if (global_.settingsFile == kDefaultSettingsName) global_.settingsFile = dataPath(kDefaultSettingsName);
    globals_.travelHeight = global_.travelHeight;
    status.add(save_global());
  }
  // A damaged record must not hand a NaN height to the job writer.
  globals_.travelHeight = std::isfinite(global_.travelHeight) ? global_.travelHeight : 0.0;
  globals_.powerScale = 1.0;
  return status;
}

ConfigStatus Configuration::save_global() {
  ConfigStatus status;
  global_.travelHeight = globals_.travelHeight;
  const std::string path = dataPath(kGlobalCfgName);
  const auto record = encodeGlobalCfg(global_);
  if (!writeWhole(path, std::string_view(reinterpret_cast<const char*>(record.data()), record.size()))) {
    status.add(invalidPathMessage(path));
  }
  return status;
}

ConfigStatus Configuration::SaveKonfig(const std::string& path) {
  ConfigStatus status;
  if (!writeWhole(path, settingsFileText(settings_))) {
    status.add(invalidPathMessage(path));
    return status;
  }
  status.add(writeAddressFile());
  globals_.vacuumBeforeStart = settings_.flag("cbZalaczPompeProzniowa");
  return status;
}

ConfigStatus Configuration::writeAddressFile() {
  ConfigStatus status;
  const std::string path = dataPath(kAddressFileName);
  const std::array<double, 4> numbers{settings_.real("IP1"), settings_.real("IP2"), settings_.real("IP3"),
                                      settings_.real("IP4")};
  if (!writeWhole(path, addressFileText(numbers))) status.add(invalidPathMessage(path));
  return status;
}

void Configuration::readAddressFile() {
  std::string content;
  if (readWholeFile(dataPath(kAddressFileName), content) != ReadResult::Read) return;
  const std::vector<long long> numbers = readAddressNumbers(content);
  const char* names[] = {"IP1", "IP2", "IP3", "IP4"};
  for (std::size_t i = 0; i < numbers.size(); ++i) settings_.set(names[i], static_cast<double>(numbers[i]));
}

ConfigStatus Configuration::LoadKonfig(const std::string& path) {
  ConfigStatus status;
  std::string content;
  switch (readWholeFile(path, content)) {
    case ReadResult::Read: {
      const SettingsApplied applied = applySettingsText(settings_, content, path);
      if (!applied.complete) status.add(applied.error);
      // A file that does not name the arc coefficient gets the machine's
      // default (only known once a machine has been identified).
      if (applied.complete && !applied.namedArcFactor && settings_.machine().identified) {
        settings_.restoreDefaultArcFactor();
      }
      globals_.arcSpeedFactor = settings_.integer("tbRuchNaLukach");
      break;
    }
    case ReadResult::Missing: {
      // A data directory copied or moved from elsewhere names a settings
      // file that is gone; its own "Settings.mcc" is read (and becomes
      // current) rather than overwritten by the values in memory.
      const std::string fallback = dataPath(kDefaultSettingsName);
      std::error_code ec;
      if (fallback != path && std::filesystem::is_regular_file(fallback, ec)) {
        global_.settingsFile = cutToField(fallback, 255);
        return LoadKonfig(fallback);
      }
      status.add(SaveKonfig(fallback));
      break;
    }
    case ReadResult::Failed: status.add(path + ": the settings file cannot be read"); break;
  }
  readAddressFile();
  globals_.machineAddress = settings_.addressText();
  globals_.vacuumBeforeStart = settings_.flag("cbZalaczPompeProzniowa");
  if (settings_.machine().headCount >= 2) refreshHeadOffsets();
  if (settings_.machine().knifeAxis) {
    takeKnifeFlags();
  } else {
    settings_.setChecked("CBAktywnaGlowica", false);
    settings_.setChecked("CBDwuKierunkowyNoz", false);
    globals_.hasKnife = false;
    globals_.twoWayKnife = false;
  }
  return status;
}

ConfigStatus Configuration::KonfigOdczyt(const std::string& path) {
  ConfigStatus status = LoadKonfig(path);
  if (!status.ok()) return status;
  global_.settingsFile = cutToField(path, 255);
  // A project type read from any file is single- or multi-layer.
  settings_.set("ProjektType", settings_.integer("ProjektType") & 1);
  return status;
}

void Configuration::refreshHeadOffsets() {
  globals_.headOffsets[0] = {0, 0};
  globals_.headOffsets[1] = {settings_.real("feuOffsetXGlowica2"), settings_.real("feuOffsetYGlowica2")};
  globals_.headOffsets[2] = {settings_.real("feuOffsetXGlowica3"), settings_.real("feuOffsetYGlowica3")};
}

void Configuration::takeKnifeFlags() {
  globals_.hasKnife = settings_.flag("CBAktywnaGlowica");
  globals_.twoWayKnife = settings_.flag("CBDwuKierunkowyNoz");
  if (sendMachineParameter) sendMachineParameter(112, globals_.twoWayKnife ? 1 : 0);
}

ConfigStatus Configuration::ok(const std::function<std::optional<std::string>()>& askSavePath) {
  ConfigStatus status;
  globals_.arcSpeedFactor = settings_.integer("tbRuchNaLukach");
  std::error_code ec;
  if (std::filesystem::exists(global_.settingsFile, ec)) {
    status.add(SaveKonfig(global_.settingsFile));
  } else if (const auto chosen = askSavePath ? askSavePath() : std::nullopt) {
    status.add(SaveKonfig(*chosen));
    if (status.ok()) global_.settingsFile = cutToField(*chosen, 255);
  }
  if (!settings_.isLaser()) {
    globals_.travelHeight = settings_.real("ponad_stol") + settings_.real("grubosc") + settings_.real("nadmat");
  }
  if (settings_.machine().headCount >= 2) refreshHeadOffsets();
  takeKnifeFlags();
  return status;
}

ConfigStatus Configuration::cancel() { return LoadKonfig(global_.settingsFile); }

ConfigStatus Configuration::zapis(const std::string& path) {
  ConfigStatus status = SaveKonfig(path);
  if (status.ok()) global_.settingsFile = cutToField(path, 255);
  return status;
}

ConfigStatus ensureDataFiles(const std::filesystem::path& dataDirectory) {
  std::error_code ec;
  std::filesystem::create_directories(dataDirectory, ec);
  if (ec) {
    ConfigStatus status;
    status.add(invalidPathMessage(dataDirectory.string()));
    return status;
  }
  Configuration configuration(dataDirectory);
  return configuration.open();
}

}  // namespace trazvik::config
