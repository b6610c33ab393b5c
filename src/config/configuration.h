// The settings of the program and their files in the data directory: the
// settings file (.mcc), the global configuration "Halvorek.cfg" and the
// controller address "IPPloter.txt". It follows the settings dialog's
// life: created once (open), loaded, saved by OK and "Zapis", reloaded by
// "Cancel" and "Odczyt". Every file is written whole or not at all.
#pragma once
#include "no_qt.h"

#include "config/global_cfg.h"
#include "config/machine_context.h"
#include "config/tdlgkonfig.h"

#include <array>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace trazvik::config {

// Values kept in step with the settings files, read elsewhere.
struct ConfigGlobals {
  double travelHeight = 0.0;       // mm, for rapid moves (job writer)
  double powerScale = 1.0;         // job writer multiplier
  std::string machineAddress;      // dotted IPv4 text from IP1..IP4
  bool vacuumBeforeStart = false;  // copy of cbZalaczPompeProzniowa
  int arcSpeedFactor = 100;        // copy of tbRuchNaLukach
  struct Offset {
    double x = 0;
    double y = 0;
  };
  std::array<Offset, 3> headOffsets{};  // head 1 is always 0, 0
  bool hasKnife = false;                // copy of CBAktywnaGlowica
  bool twoWayKnife = false;             // copy of CBDwuKierunkowyNoz
};

// The outcome of a file operation: the messages for the operator, empty
// when all went well.
struct ConfigStatus {
  std::vector<std::string> errors;
  bool ok() const { return errors.empty(); }
  void add(std::string message) { errors.push_back(std::move(message)); }
  void add(const ConfigStatus& other) { errors.insert(errors.end(), other.errors.begin(), other.errors.end()); }
};

// "ERROR: Invalid file or path name: %s"
std::string invalidPathMessage(const std::string& path);

class Configuration {
 public:
  explicit Configuration(std::filesystem::path dataDirectory, char decimalSeparator = decimalSeparatorOfUser());

  TDlgkonfig& settings() { return settings_; }
  const TDlgkonfig& settings() const { return settings_; }
  GlobalCfg& globalCfg() { return global_; }
  const GlobalCfg& globalCfg() const { return global_; }
  ConfigGlobals& globals() { return globals_; }
  const ConfigGlobals& globals() const { return globals_; }
  const std::string& settingsFile() const { return global_.settingsFile; }

  std::string dataPath(const char* name) const;  // data directory + name

  // Sends the two-edged-knife flag as machine parameter 112; unset: nothing
  // is sent (no link yet).
  std::function<void(int parameter, int value)> sendMachineParameter;

  // Creation of the settings dialog: machine limits, the global
  // configuration (created with defaults when missing or short), the
  // current settings file (created from the current values when missing),
  // then the machine-dependent rules.
  ConfigStatus open(const MachineContext& machine = {}, const DialogSwitches& switches = {});

  ConfigStatus loadGlobal();
  ConfigStatus save_global();

  // A missing file: the data directory's "Settings.mcc" is read instead
  // and made current when it exists, else written from the current values.
  ConfigStatus LoadKonfig(const std::string& path);
  ConfigStatus SaveKonfig(const std::string& path);
  // LoadKonfig and make the file current.
  ConfigStatus KonfigOdczyt(const std::string& path);

  // The dialog's buttons. `askSavePath` is the save dialog: the chosen
  // path, or nothing when the operator cancels.
  ConfigStatus ok(const std::function<std::optional<std::string>()>& askSavePath);
  ConfigStatus cancel();
  ConfigStatus zapis(const std::string& path);

  // The current head offsets and knife flags copied from their controls.
  void refreshHeadOffsets();
  void takeKnifeFlags();

 private:
  ConfigStatus writeAddressFile();
  void readAddressFile();

  std::filesystem::path dataDirectory_;
  TDlgkonfig settings_;
  GlobalCfg global_;
  ConfigGlobals globals_;
};

// Starting without a data directory: creates the folder and "Halvorek.cfg",
// "Settings.mcc" and "IPPloter.txt" with the declared defaults where they
// are missing.
ConfigStatus ensureDataFiles(const std::filesystem::path& dataDirectory);

}  // namespace trazvik::config
