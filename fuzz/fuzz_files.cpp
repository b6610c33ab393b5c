// Files from outside: the design files an operator opens, and the program's
// own files that a user, an older version or a damaged disk may have left:
// settings, "Halvorek.cfg", layer files, language files, "base.txt",
// "typ.txt", "IPPloter.txt", the inverter parameter files and
// "kalibracja.txt".
#include "fuzz_target_list.h"

#include "config/address_file.h"
#include "config/global_cfg.h"
#include "config/inverter_parameters.h"
#include "config/settings_file.h"
#include "config/setting_catalogue.h"
#include "config/tdlgkonfig.h"
#include "control/base_points.h"
#include "control/machine_type_cache.h"
#include "import/bmp_decoder.h"
#include "import/bmp_raster.h"
#include "import/read_figures.h"
#include "layers/warstwy.h"
#include "machine/identify_machine.h"
#include "texts/interfejs.h"
#include "texts/recording_message_boxes.h"

#include <array>
#include <cmath>
#include <filesystem>

namespace trazvik::fuzz {

namespace {

std::string readDesign(FuzzInput input, const char* name, int fileType) {
  const std::string path = scratchFile(name, input);
  const import::tFigureFile file = import::readFigureFile(path, fileType);
  if (!file.ok()) {
    if (!file.figures.empty()) return "a failed read kept figures";
    if (file.errorText(path).empty()) return "a failed read without a message";
    return {};
  }
  for (const auto& f : file.figures) {
    if (f->p.empty() && f->sp.empty()) return "a figure without points";
    for (const auto& p : f->p)
      if (!std::isfinite(p.x) || !std::isfinite(p.y)) return "a point that is not a finite number";
    for (const auto& p : f->sp)
      if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z))
        return "a 3-D point that is not a finite number";
  }
  return {};
}

std::string text(FuzzInput input) { return std::string(input.begin(), input.end()); }

struct Figure {
  int org_color = 0;
  double width = 0;
  bool ramka = false;
};

}  // namespace

std::string fuzzHpgl(FuzzInput input) { return readDesign(input, "fuzz.plt", kFileTypeHpgl); }
std::string fuzzDxf(FuzzInput input) { return readDesign(input, "fuzz.dxf", kFileTypeDxf); }
std::string fuzzGcode(FuzzInput input) { return readDesign(input, "fuzz.nc", kFileTypeGcode); }

std::string fuzzBmp(FuzzInput input) {
  // Small limits: a header may claim any size, and what it claims within
  // them is allocated.
  import::tBitmapLimits limits;
  limits.maxSide = 4096;
  limits.maxPixels = 1 << 20;
  import::tBitmap picture;
  std::string reason;
  if (!import::decodeBmp(input, picture, reason, limits)) return reason.empty() ? "a refusal without a reason" : "";
  if (picture.empty()) return "an empty picture decoded";
  if (picture.rgb.size() != static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height) * 3)
    return "the pixels do not fill the picture";
  import::tRasterSettings settings;
  settings.szerokosc = 10;
  settings.wysokosc = 10.0 * picture.height / picture.width;
  settings.krok = 0.5;
  const import::tRasterLines lines = import::BMPToList(picture, settings);
  (void)lines;
  return {};
}

std::string fuzzSettings(FuzzInput input) {
  TDlgkonfig settings('.');
  const config::SettingsApplied applied = config::applySettingsText(settings, text(input), "fuzz.mcc");
  if (!applied.complete && applied.error.find("fuzz.mcc, line ") == std::string::npos)
    return "a refused settings file whose message names no line: " + applied.error;
  for (const auto& def : config::settingCatalogue()) {
    const double value = settings.real(def.name);
    if (!std::isfinite(value)) return std::string(def.name) + " is not a finite number";
    if (def.minValue == def.maxValue || def.kind == config::SettingKind::Check) continue;
    // A length shown in inches or feet reads back to the shown precision.
    const double slack = def.kind == config::SettingKind::Length ? 0.5 * 0.0001 * 304.8 : 0;
    if (value < def.minValue - slack || value > def.maxValue + slack)
      return std::string(def.name) + " = " + std::to_string(value) + " outside its limits";
  }
  return {};
}

std::string fuzzGlobalCfg(FuzzInput input) {
  std::array<std::uint8_t, config::kGlobalCfgSize> record{};
  std::copy_n(input.begin(), std::min(input.size(), record.size()), record.begin());
  const config::GlobalCfg cfg = config::decodeGlobalCfg(record);
  if (cfg.openDir.size() > 80 || cfg.saveDir.size() > 80 || cfg.settingsFile.size() > 255)
    return "a text longer than its field";
  // What was read is written back and reads the same.
  if (config::decodeGlobalCfg(config::encodeGlobalCfg(cfg)) != cfg) return "the record does not read back as written";
  return {};
}

std::string fuzzLayers(FuzzInput input) {
  tWarstwy layers;
  layers.ustawMaszyne(3, 24000);
  layers.create(std::vector<Figure>{{1}, {2}, {7}, {255}}, "", false, 18000, 1500, 2.5, kFileTypeDxf);
  layers.LoadFromFile(scratchFile("fuzz.lyr", input));
  for (int key : {1, 2, 7, 255})
    if (!std::isfinite(layers.getGlebokosc(key))) return "a layer depth that is not a finite number";
  return {};
}

std::string fuzzLanguage(FuzzInput input) {
  const std::string path = scratchFile("Trazvik_US.xml", input);
  texts::RecordingMessageBoxes boxes;
  texts::tInterfejs texts(boxes);
  const std::string folder = std::filesystem::path(path).parent_path().string() + "/";
  texts.loadLanguageFile(folder, "US", "0.1");
  (void)texts.dajTxt("Control_Panel", "msgBrakLacznosci");
  (void)texts.dajTxt("", "");
  return {};
}

std::string fuzzBasePoints(FuzzInput input) {
  tBasePointList list;
  std::string error;
  if (!list.load(scratchFile("base.txt", input), &error) && error.empty()) return "a refused list without a message";
  for (const std::string& line : list.entries())
    for (int unit = 0; unit < 3; ++unit)
      if (auto p = readBasePointEntry(line, unit, '.'); p && (!std::isfinite(p->xMm) || !std::isfinite(p->yMm)))
        return "a base point that is not a finite number";
  return {};
}

std::string fuzzSmallFiles(FuzzInput input) {
  const std::string body = text(input);
  (void)readMachineTypeCache(scratchFile("typ.txt", input));
  if (config::readAddressNumbers(body).size() > 4) return "more than four address numbers";
  (void)config::readInverterParameters(body, "3g3MV.dat");
  // "kalibracja.txt" beside the program: three factors, each kept within 0.6 to 1.4.
  scratchFile("kalibracja.txt", input);
  tLinkState link;
  tMachineModel machine = machineModelFor(paddedProductString("YFF", 8), 7, 20, 0, link);
  const double x = machine.machineParams.axisFactorX;
  tIdentifyEnvironment env;
  env.programDirectory = std::filesystem::path(scratchFile("unused", {})).parent_path().string() + "/";
  applyAxisCalibration(machine, link, env);
  const double ratio = x / machine.machineParams.axisFactorX;
  if (!std::isfinite(ratio) || ratio < 0.6 - 1e-6 || ratio > 1.4 + 1e-6)
    return "a calibration factor of " + std::to_string(ratio) + " was applied";
  return {};
}

}  // namespace trazvik::fuzz
