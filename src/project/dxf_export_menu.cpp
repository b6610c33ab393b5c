// The project's DXF export: the service-mode menu command and the export of
// the figures' 3-D paths.
#include "import/dxf_export.h"
#include "project/tmdichild.h"
#include "texts/interfejs.h"

#include <cstring>
#include <filesystem>

namespace trazvik {

int TMDIChild::ZapiszDXF(const std::string& path) const { return import::ZapiszDXF(path, fig, ImportFileType); }

tDialogZapisuDXF TMDIChild::dialogZapisuDXF() const {
  tDialogZapisuDXF d;
  d.tytul = "Save output file as DXF";
  d.filtr = "DXF (*.dxf)|*.dxf|all files (*.*)|*.*";
  d.rozszerzenie = "dxf";
  const std::filesystem::path projekt(sciezka);
  d.folder = projekt.parent_path().string();
  d.nazwa = std::filesystem::path(projekt).replace_extension(".dxf").string();
  return d;
}

int TMDIChild::pmZapiszJakoDXFClick(const std::function<std::string(const tDialogZapisuDXF&)>& dialog) {
  if (fig.empty() || !dialog) return 0;
  const std::string nazwa = dialog(dialogZapisuDXF());
  if (nazwa.empty()) return 0;
  const int kod = ZapiszDXF(nazwa);
  if (kod != 0) {
    // The export alone would leave the operator believing the file was saved.
    interfejs_.messageBox(interfejs_.dajTxt("Other", "zapisPlikuBlad") + "\r\n" + nazwa + "\r\n" +
                              interfejs_.dajTxt("Other", "SzczegolyBledu") + std::strerror(kod),
                          true);
  }
  return kod;
}

}  // namespace trazvik
