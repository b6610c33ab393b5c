// Figures the tool cannot cut because they are narrower than the tool (a
// 7 mm hole under a 10 mm cutter): the tool-radius outline leaves nothing of
// them, so the job has no move for them. They are never passed over in
// silence: the open, the start and the CLI name them.
#pragma once
#include "no_qt.h"

#include "geometry/records.h"

#include <string>
#include <vector>

namespace trazvik {

class TMDIChild;
namespace texts {
class tInterfejs;
}

struct tWaskaFigura {
  int numer = 0;           // position in the project's figure list, from 1
  trealpoint srodekMm;     // centre, mm from the project's lower-left corner
  double szerokoscMm = 0;  // width and height at the project's scale
  double wysokoscMm = 0;
  double srednicaMm = 0;  // the tool diameter that figure is cut with
};

// The figures a job holds, as indices of the project's list, both
// included; `ostatnia` < 0: up to the last figure.
struct tZakresFigur {
  int pierwsza = 0;
  int ostatnia = -1;
  bool zawiera(int indeks) const { return indeks >= pierwsza && (ostatnia < 0 || indeks <= ostatnia); }
};

// The figures of `zakres` the last tool-radius outline marked as narrower
// than the tool.
std::vector<tWaskaFigura> figuryWezszeOdNarzedzia(const TMDIChild& projekt, tZakresFigur zakres = {});

// One line per figure ("Figure 3 at X 30.00 Y 20.00 mm: 7.00 x 7.00 mm,
// tool 10.00 mm"), at most `najwiecej` lines and one telling how many more.
std::vector<std::string> linieFigurWezszych(const TMDIChild& projekt, const texts::tInterfejs& interfejs,
                                            std::size_t najwiecej = 20, tZakresFigur zakres = {});

// The heading with the count and the lines, for a message or a question;
// empty when every figure can be cut.
std::string opisFigurWezszych(const TMDIChild& projekt, const texts::tInterfejs& interfejs, tZakresFigur zakres = {});

}  // namespace trazvik
