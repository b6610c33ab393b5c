// Opening a bitmap as a project: the picture to engrave and its size.
#include "config/tdlgkonfig.h"
#include "project/tmdichild.h"
#include "texts/interfejs.h"

namespace trazvik {

bool TMDIChild::LoadBMP(const std::string& path) {
  sciezka = path;
  test = false;
  grawer = false;
  fig.clear();
  warstwy.reset();
  ostrzezenia.clear();
  status(widok_.tytul, path);
  if (widok_.zajety) widok_.zajety(true);
  auto picture = std::make_shared<import::tBitmap>();
  std::string error;
  const bool read = import::loadBmpFile(path, *picture, error);
  if (widok_.zajety) widok_.zajety(false);
  if (!read) {
    pokazBladOtwarcia(0, error);
    if (widok_.zamknij) widok_.zamknij();
    return false;
  }
  obrazSzerokosc = picture->width;
  obrazWysokosc = picture->height;
  obraz = std::move(picture);
  // The settings derive the height from the width by the picture's aspect
  // (guarded so that the width is not adjusted back).
  konfig_.setBitmapPixelSize(obrazSzerokosc, obrazWysokosc);
  size_x = konfig_.real("SzerokoscObrazu");
  size_y = konfig_.real("WysokoscObrazu");
  pp = {};
  pk = {};
  center = {size_x / 2, size_y / 2};
  selected = -1;
  max_poziom = 0;
  iloscPoczatkowa = 0;
  status(widok_.paskStatusu, std::to_string(obrazSzerokosc) + " x " + std::to_string(obrazWysokosc) + " px");
  if (widok_.odswiez) widok_.odswiez();
  return true;
}

}  // namespace trazvik
