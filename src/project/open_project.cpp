#include "project/open_project.h"

#include "config/tdlgkonfig.h"
#include "texts/interfejs.h"

#include <filesystem>

namespace trazvik {

std::string filtrOtwierania(bool laser) {
  return laser ? "(*.plt, *.dxf, *.bmp)|*.plt;*.dxf;*.bmp|HPGL (*.plt)|*.plt|DXF R12 (*.dxf)|*.dxf|BMP (*.bmp)|*.bmp"
               : "(*.plt, *.dxf, *.nc)|*.plt;*.dxf;*.nc|HPGL (*.plt)|*.plt|DXF R12 (*.dxf)|*.dxf|G Code (*.nc)|*.nc";
}

std::unique_ptr<TMDIChild> OtworzProjekt(const std::string& path, TDlgkonfig& konfig,
                                         const texts::tInterfejs& interfejs, const tOtwieranieProjektu& o) {
  std::string plik = path;
  if (plik.empty()) {
    if (o.wybierzPlik) plik = o.wybierzPlik(filtrOtwierania(konfig.isLaser()), o.openDir ? *o.openDir : "");
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

  auto projekt = std::make_unique<TMDIChild>(konfig, interfejs);
  projekt->ustawWidok(o.widok);
  projekt->przelacznikSpline = o.spline;
  projekt->DostosujWgTypuProjektu(typPlikuZRozszerzenia(plik));
  bool wczytano = false;
  if (projekt->ImportFileType == 4) {
    if (o.wczytajBitmape) {
      wczytano = o.wczytajBitmape(*projekt, plik);
    } else {
      interfejs.messageBox(interfejs.dajTxt("Project_window", "msgNieMoznaOtworzycZbioru") + "\r\n" + plik, true);
    }
  } else {
    wczytano = projekt->Load(plik);
  }

  if (o.openDir) *o.openDir = std::filesystem::path(plik).parent_path().string();
  if (o.odswiezMenu) o.odswiezMenu();
  if (!wczytano) return nullptr;
  return projekt;
}

}  // namespace trazvik
