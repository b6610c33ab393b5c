// What the main window does with its open projects after the settings
// dialog closed (KonfiguracjaClick): recompute the projects after an
// important change, or reload or close them all when the project type
// changed (whether or not the change counted as important), then refresh
// which frames are cut.
#pragma once
#include "no_qt.h"

#include <string>
#include <vector>

namespace trazvik {
class TMDIChild;
namespace texts {
class tInterfejs;
}
}  // namespace trazvik

namespace trazvik::app {

struct tPoZmianieUstawien {
  enum class Projekty { Zostaja, OtworzPonownie, ZamknijWszystkie };
  Projekty projekty = Projekty::Zostaja;
  // OtworzPonownie: the files to open again, in this order (last window first).
  std::vector<std::string> sciezki;
};

// `projekty` are the open project windows in window order (first to last).
// `staryTyp` is ProjektType before the dialog was shown. Asks the operator
// through the texts' confirmation box when the type changed, and shows the
// hatching notice; the caller closes, reopens and repaints.
tPoZmianieUstawien KonfiguracjaPoZamknieciu(const std::vector<TMDIChild*>& projekty, int staryTyp,
                                            const texts::tInterfejs& interfejs);

}  // namespace trazvik::app
