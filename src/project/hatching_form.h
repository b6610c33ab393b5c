// TFormKreski without its window: the hatching of one project with the
// dialog's fields, and what the main window does after the dialog's OK. The
// desktop dialog, the CLI's hatch command and the --hatch option of job and
// cut all go through zakreskujProjekt.
#pragma once
#include "no_qt.h"

#include <string>

namespace trazvik {

class TMDIChild;

// The dialog's fields.
struct tUstawieniaKreskowania {
  double Odstep = 1.0;               // spacing, mm (0 to 100)
  double Kat = 45;                   // angle, degrees (-360 to 360)
  bool WytnijObrys = false;          // also cut the contours
  bool kreskiDwukierunkowo = false;  // alternate the direction line by line
  int rgKolorDodawanychKresek = 0;   // 0 the enclosing figure's colour, 1 black
};

class TFormKreski {
 public:
  tUstawieniaKreskowania pola;
  TMDIChild* oknoPlt = nullptr;

  // Working values of the last hatching.
  int iloscPoczatkowa = 0;
  int hatchingPattern = 0;
  int hatchLineDir = 1;
  double hatchingDistance = 0;  // file units

  // Replaces the project's hatch lines by new ones, turns them, clears the
  // cut flag of the contours unless they are to be cut too, and sets the
  // cutting order. False with the reason in `blad` when nothing was done
  // (no project, a spacing that is not positive or too small for the
  // project, no closed figure to fill); the project is then as it was.
  bool DoHatching();
  std::string blad;
};

// After the dialog's OK: the toolpaths again with spiral entry or in a
// multi-layer project (hatch lines included), and the layer of black hatch
// lines in a multi-layer project.
void poKreskowaniu(TMDIChild& projekt, bool laser, bool kolorRodzica);

// Reads "MM,DEG[,both-ways][,contours][,black]" (the command line's form of
// the dialog's fields; a point as the decimal separator). False with the
// reason in `blad`.
bool czytajOpcjeKreskowania(const std::string& tekst, tUstawieniaKreskowania& wynik, std::string& blad);

// DoHatching and poKreskowaniu; false with the reason in `blad`.
bool zakreskujProjekt(TMDIChild& projekt, const tUstawieniaKreskowania& ustawienia, bool laser, std::string& blad);

}  // namespace trazvik
