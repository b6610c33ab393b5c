// The layer table of a multi-layer project: cutting parameters per colour
// key, built from the project's figures, kept in a layer file (.lyr) beside
// the design file, and asked by the job writer.
#pragma once
#include "layers/warstwa.h"

#include <array>
#include <string>
#include <vector>

namespace trazvik {

namespace texts {
class tInterfejs;
}

class tWarstwy {
 public:
  // Colour keys 0 to 1024; a key is the index of its layer.
  static constexpr int kIloscKluczy = 1025;

  // Builds the table from the project's figures (anything iterable over
  // figures or pointers to figures with `org_color`, `width` and `ramka`),
  // then loads the default layer file; `sortuj` tells whether it was loaded.
  template <class Figury>
  void create(const Figury& figures, const std::string& prjPath, bool laser, int defObroty, int defPredkosc,
              double defGlebokosc, int fileType) {
    zacznijBudowe(prjPath, laser, defObroty, defPredkosc, defGlebokosc, fileType);
    for (const auto& f : figures) {
      const auto& figura = wskazywana(f);
      dodajFigure(figura.org_color, figura.width, figura.ramka);
    }
    sortuj = LoadFromFile(DajSciezkeDomyslnaDoZapisuWarstw());
  }

  // Releases the table: every field back to zero.
  void free();

  // The machine the table is written for: the number of heads decides
  // whether tool diameters are kept in the layer file; the highest spindle
  // rotations answer getStartingLayerRotations when no layer is cut.
  void ustawMaszyne(int headCount, int maxRotations);
  // Where the messages of a failed save go; none keeps them silent.
  void ustawInterfejs(const texts::tInterfejs* interfejs) { interfejs_ = interfejs; }

  // Copies the editable fields of `w` into its entry (see the layer dialog).
  void setLayer(const tWarstwa& w, bool pominRamke);
  // Copies of the entries that occur, in key order, or in cutting order when
  // `sortuj` is set (the argument is kept for the callers and has no effect).
  std::vector<tWarstwa> getLayersList(bool sorted = true) const;
  int layerCount() const;

  double getMoc(int k) const { return pole(k).glebokosc; }
  double getGlebokosc(int k) const { return pole(k).glebokosc; }
  int getSzybkosc(int k) const { return pole(k).szybkosc; }
  int getObroty(int k) const { return pole(k).obroty; }
  int getGlowica(int k) const { return pole(k).glowica; }
  double getSrednicaFrezu(int k) const { return pole(k).srednicaFrezu; }
  bool getAktywna(int k) const { return pole(k).aktywna; }
  int getKolejnosc(int k) const { return pole(k).kolejnosc; }
  int getIloscFigAktywnych(int k) const { return pole(k).iloscFigAktywnych; }
  void incIloscFigAktywnych(int k);
  void decIloscFigAktywnych(int k);
  void setLayerOrder(int k, int order);

  // Adds the layer of hatching lines unless they take their parent's colour.
  void DodajWarstweKresek(int fileType, bool laser, bool kreskiKolorRodzica);

  void EnableSorting(bool on = true) { sortuj = on; }
  bool CanSort() const { return sortuj; }

  bool SaveToFile(const std::string& path);
  bool LoadFromFile(const std::string& path);
  // The design file's path with the extension ".lyr"; empty without one.
  std::string DajSciezkeDomyslnaDoZapisuWarstw() const;
  const std::string& getLoadedSavedPath() const { return loadedSavedPath; }

  // Index in `list` of the first layer with figures to cut; -1 when none.
  static int getStartingLayerIndx(const std::vector<tWarstwa>& list);
  // 0-based head of the first layer to cut in cutting order; -1 when none.
  int getStartingLayerHeadIndx() const;
  // Spindle rotations of the first layer to cut; the machine's highest
  // rotations when none.
  int getStartingLayerRotations() const;
  // Every active layer has a speed within [minSpeed, maxSpeed], a depth of
  // at least 0 and rotations within [minRot, maxRot].
  bool DaneFrezarkaOK(int minRot, int maxRot, int maxSpeed, int minSpeed) const;

  // The layer file's text for the current table (what SaveToFile writes).
  std::string tekstPlikuWarstw() const;

  std::array<tWarstwa, kIloscKluczy> layer{};
  bool sortuj = false;
  bool typLaser = false;
  std::string loadedSavedPath;
  std::string prjPath;

 private:
  template <class T>
  static const auto& wskazywana(const T& f) {
    if constexpr (requires { f.org_color; }) {
      return f;
    } else {
      return *f;
    }
  }
  void zacznijBudowe(const std::string& path, bool laser, int defObroty, int defPredkosc, double defGlebokosc,
                     int fileType);
  void dodajFigure(int key, double width, bool ramka);
  const tWarstwa& pole(int k) const;
  tWarstwa* wpis(int k);
  bool wieleGlowic() const { return !typLaser && iloscGlowic_ >= 2; }
  void pokazBladZapisu(const std::string& path) const;

  // Parameters of the build in progress.
  int fileType_ = 0;
  int defObroty_ = 0;
  int defPredkosc_ = 0;
  double defGlebokosc_ = 0;
  int iloscGlowic_ = 1;
  int maxObroty_ = 0;
  const texts::tInterfejs* interfejs_ = nullptr;
};

}  // namespace trazvik
