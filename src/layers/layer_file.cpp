// The layer file (.lyr): a profile file with the project path and one
// section "Layer <key>" per layer that occurs.
#include "base/atomic_file.h"
#include "layers/ini_profile.h"
#include "layers/warstwy.h"
#include "texts/interfejs.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace trazvik {

namespace {

constexpr const char* kSekcjaProjektu = "ProjectPath";
constexpr const char* kSekcjaKomunikatow = "Multilayer_project";

std::string sekcjaWarstwy(int key) { return "Layer " + std::to_string(key); }

}  // namespace

std::string tWarstwy::tekstPlikuWarstw() const {
  tIniProfile ini;
  if (!prjPath.empty()) ini.writeString(kSekcjaProjektu, "Project file", prjPath);
  for (const tWarstwa& w : getLayersList(true)) {
    const std::string s = sekcjaWarstwy(w.org_color);
    ini.writeInteger(s, "org_color", w.org_color);
    ini.writeInteger(s, "color", w.kolor);
    ini.writeFloat(s, typLaser ? "power" : "milling depth", w.glebokosc);
    ini.writeInteger(s, "speed", w.szybkosc);
    if (!typLaser) {
      ini.writeInteger(s, "spindle rotations", w.obroty);
      ini.writeInteger(s, "spindle", w.glowica);
      if (wieleGlowic()) ini.writeFloat(s, "fraise diameter", w.srednicaFrezu);
    }
    ini.writeBool(s, "active", w.aktywna);
    ini.writeInteger(s, "order", w.kolejnosc);
  }
  return ini.text();
}

bool tWarstwy::SaveToFile(const std::string& path) {
  if (path.empty()) return false;
  // The file is replaced whole or not at all, so a failed write never
  // leaves the operator without the previous layer file.
  std::string blad;
  if (!base::writeFileAtomically(path, tekstPlikuWarstw(), &blad)) {
    pokazBladZapisu(path);
    return false;
  }
  loadedSavedPath = path;
  return true;
}

void tWarstwy::pokazBladZapisu(const std::string& path) const {
  if (interfejs_ == nullptr) return;
  const auto& t = *interfejs_;
  const std::string nl = "\r\n";
  std::string text = t.dajTxt(kSekcjaKomunikatow, "msgBladZapisuWarstw1") + nl + nl + path + nl + nl +
                     t.dajTxt(kSekcjaKomunikatow, "msgBladZapisuWarstw2") + nl + nl +
                     t.dajTxt(kSekcjaKomunikatow, "msgBladZapisuWarstw3") + nl + nl +
                     t.dajTxt(kSekcjaKomunikatow, "msgBladZapisuWarstw4");
  t.messageBox(text, true, t.dajTxt(kSekcjaKomunikatow, "msgBladZapisuWarstwNaglowek"));
}

bool tWarstwy::LoadFromFile(const std::string& path) {
  if (path.empty()) return false;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream bufor;
  bufor << in.rdbuf();
  const tIniProfile ini = tIniProfile::parse(bufor.str());

  for (tWarstwa& w : layer) {
    if (!w.wystepuje) continue;
    const std::string s = sekcjaWarstwy(w.org_color);
    if (!ini.hasSection(s)) continue;
    w.glebokosc = ini.readFloat(s, typLaser ? "power" : "milling depth", 0);
    w.szybkosc = ini.readInteger(s, "speed", 0);
    if (!typLaser) {
      w.obroty = ini.readInteger(s, "spindle rotations", 0);
      // Heads are numbered from 1; anything else is not a head.
      const int glowica = ini.readInteger(s, "spindle", 1);
      w.glowica = static_cast<std::uint8_t>(glowica >= 1 && glowica <= 255 ? glowica : 1);
      if (wieleGlowic()) w.srednicaFrezu = ini.readFloat(s, "fraise diameter", 0);
    }
    w.aktywna = ini.readBool(s, "active", true);
    w.kolejnosc = ini.readInteger(s, "order", 0);
  }
  loadedSavedPath = path;
  return true;
}

}  // namespace trazvik
