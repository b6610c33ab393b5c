#include "project/open_project.h"

#include "project/narrow_figures.h"

#include "config/tdlgkonfig.h"
#include "geometry/units.h"
#include "import/file_type.h"
#include "texts/interfejs.h"

#include <filesystem>

namespace trazvik {

namespace {

// "Name (*.a, *.b)|*.a;*.b"
std::string pozycjaFiltra(const std::string& nazwa, std::initializer_list<int> typy) {
  const std::string wzorce = import::extensionPatterns(typy);
  std::string lista = wzorce;
  for (std::size_t i = lista.find(';'); i != std::string::npos; i = lista.find(';', i + 2)) lista.replace(i, 1, ", ");
  return nazwa + " (" + lista + ")|" + wzorce;
}

}  // namespace

std::string filtrOtwierania(bool laser) {
  const int czwarty = laser ? kFileTypeBitmap : kFileTypeGcode;
  const std::string wszystkie = pozycjaFiltra("", {kFileTypeHpgl, kFileTypeDxf, czwarty});
  const std::string ostatni =
      laser ? pozycjaFiltra("BMP", {kFileTypeBitmap}) : pozycjaFiltra("G Code", {kFileTypeGcode});
  return wszystkie.substr(1) + "|" + pozycjaFiltra("HPGL", {kFileTypeHpgl}) + "|" +
         pozycjaFiltra("DXF R12", {kFileTypeDxf}) + "|" + ostatni + "|all files (*)|*";
}

std::string filtrOtwierania(bool laser, const texts::tInterfejs& interfejs) {
  const int czwarty = laser ? kFileTypeBitmap : kFileTypeGcode;
  const std::string ostatni = laser ? pozycjaFiltra(interfejs.dajTxt("Main_window", "filtrBMP"), {kFileTypeBitmap})
                                    : pozycjaFiltra(interfejs.dajTxt("Main_window", "filtrGCode"), {kFileTypeGcode});
  return pozycjaFiltra(interfejs.dajTxt("Main_window", "filtrProjekty"), {kFileTypeHpgl, kFileTypeDxf, czwarty}) + "|" +
         pozycjaFiltra(interfejs.dajTxt("Main_window", "filtrHPGL"), {kFileTypeHpgl}) + "|" +
         pozycjaFiltra(interfejs.dajTxt("Main_window", "filtrDXF"), {kFileTypeDxf}) + "|" + ostatni + "|" +
         interfejs.dajTxt("Main_window", "filtrWszystkie") + " (*)|*";
}

std::unique_ptr<TMDIChild> OtworzProjekt(const std::string& path, TDlgkonfig& konfig,
                                         const texts::tInterfejs& interfejs, const tOtwieranieProjektu& o) {
  std::string plik = path;
  if (plik.empty()) {
    if (o.wybierzPlik) plik = o.wybierzPlik(filtrOtwierania(konfig.isLaser(), interfejs), o.openDir ? *o.openDir : "");
    if (plik.empty()) {
      if (o.odswiezMenu) o.odswiezMenu();
      return nullptr;
    }
  }
  std::error_code ec;
  if (!std::filesystem::is_regular_file(plik, ec)) {
    interfejs.messageBox(plik, true, interfejs.dajTxt("Main_window", "msgNieMoznaOtworzycZbioru"));
    return nullptr;
  }
  const import::tDesignFileType typ = import::designFileType(plik);
  if (typ.fileType == 0) {
    interfejs.messageBox(interfejs.dajTxt("Main_window", "msgNieznanyTypZbioru") + "\r\n" + typ.problem, true);
    if (o.odswiezMenu) o.odswiezMenu();
    return nullptr;
  }

  auto projekt = std::make_unique<TMDIChild>(konfig, interfejs);
  projekt->ustawWidok(o.widok);
  projekt->przelacznikSpline = o.spline;
  projekt->DostosujWgTypuProjektu(typ.fileType);
  bool wczytano = false;
  if (projekt->ImportFileType == kFileTypeBitmap) {
    wczytano = projekt->LoadBMP(plik);
  } else {
    wczytano = projekt->Load(plik);
  }

  if (o.openDir) *o.openDir = std::filesystem::path(plik).parent_path().string();
  if (o.odswiezMenu) o.odswiezMenu();
  if (!wczytano) return nullptr;
  return projekt;
}

std::vector<std::string> linieOstrzezen(const TMDIChild& projekt) {
  std::vector<std::string> linie;
  for (const import::tReadWarning& w : projekt.ostrzezenia.list()) linie.push_back(w.text(projekt.sciezka));
  return linie;
}

void pokazOstrzezeniaWczytania(const TMDIChild& projekt, const texts::tInterfejs& interfejs) {
  const std::vector<std::string> linie = linieOstrzezen(projekt);
  const std::string wezsze = opisFigurWezszych(projekt, interfejs);
  if (linie.empty() && wezsze.empty()) return;
  std::string t;
  if (!linie.empty()) {
    t = interfejs.dajTxt("Project_window", "msgOstrzezeniaWczytania");
    for (const std::string& l : linie) t += "\r\n" + l;
  }
  if (!wezsze.empty()) t += (t.empty() ? "" : "\r\n\r\n") + wezsze;
  interfejs.messageBox(t, false, interfejs.dajTxt("Project_window", "msgOstrzezeniaWczytaniaTytul"));
}

}  // namespace trazvik
