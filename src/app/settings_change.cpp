#include "app/settings_change.h"

#include "config/tdlgkonfig.h"
#include "project/tmdichild.h"
#include "texts/interfejs.h"

namespace trazvik::app {
namespace {

constexpr const char* kMain = "Main_window";

std::string pytanieOZmianieTypu(const TDlgkonfig& konfig, const texts::tInterfejs& t) {
  const std::string nowyTyp =
      t.dajTxt("Configuration",
               konfig.integer("ProjektType") == 1 ? "ProjektType.Items.Strings_1" : "ProjektType.Items.Strings_0");
  return t.dajTxt(kMain, "msgZmianaTypuProjektu1") + "\n\r" + t.dajTxt(kMain, "msgZmianaTypuProjektu2") + "\n\r" +
         "\n\r" + t.dajTxt(kMain, "msgZmianaTypuProjektu3") + " " + nowyTyp + " ?";
}

// Direction state, direction, order and outline again; true when the
// project holds hatching that now has to be redone.
bool przelicz(TMDIChild& p) {
  p.PrzeliczPoWaznejZmianie();
  return p.ImportFileType != 3 && p.ImportFileType != 4 && p.hasHatching;
}

}  // namespace

tPoZmianieUstawien KonfiguracjaPoZamknieciu(const std::vector<TMDIChild*>& projekty, int staryTyp,
                                            const texts::tInterfejs& interfejs) {
  tPoZmianieUstawien wynik;
  if (projekty.empty()) return wynik;
  TDlgkonfig& konfig = projekty.front()->konfig();
  const bool wazna = konfig.wazna_zmiana;
  const bool innyTyp = konfig.integer("ProjektType") != staryTyp;
  bool kreskowanie = false;
  // A new project type alone also counts: the open projects would otherwise
  // stay in the old type while the settings say the new one.
  if (wazna || innyTyp) {
    if (!innyTyp) {
      for (auto it = projekty.rbegin(); it != projekty.rend(); ++it) kreskowanie = przelicz(**it) || kreskowanie;
    } else if (interfejs.confirmationBox(pytanieOZmianieTypu(konfig, interfejs), texts::ButtonSet::yesNo()) ==
               texts::DialogButton::Yes) {
      wynik.projekty = tPoZmianieUstawien::Projekty::OtworzPonownie;
      for (auto it = projekty.rbegin(); it != projekty.rend(); ++it) wynik.sciezki.push_back((*it)->sciezka);
      return wynik;
    } else {
      wynik.projekty = tPoZmianieUstawien::Projekty::ZamknijWszystkie;
      return wynik;
    }
  }
  for (TMDIChild* p : projekty) p->oznaczToCutRamki();
  if (kreskowanie && wazna)
    interfejs.messageBox(interfejs.dajTxt(kMain, "msgWykonajKreskowaniePonownie"), false, "Uwaga");
  return wynik;
}

}  // namespace trazvik::app
