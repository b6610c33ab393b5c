// TMDIChild: the project document of one opened design file, without its
// window. It owns the figures, the project's box, the layer table of a
// multi-layer project, the length totals and the G-code extents; it loads
// a file through the reader, cleans and frames the figures, and runs the
// preparation steps in their fixed order.
#pragma once
#include "geometry/records.h"
#include "import/bmp_decoder.h"
#include "import/read_warning.h"
#include "layers/warstwy.h"
#include "prepare/bezier_fit.h"
#include "prepare/hatching.h"
#include "geometry/figure_list.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace trazvik {

class TDlgkonfig;
namespace texts {
class tInterfejs;
}

// What the project shows in its window and in the main window; every
// callback is optional.
struct tWidokProjektu {
  std::function<void(const std::string&)> panelStatusu;  // the main window's status panel
  std::function<void(const std::string&)> paskStatusu;   // the project window's status bar
  std::function<void(const std::string&)> tytul;         // the window caption
  std::function<void(bool)> zajety;                      // busy cursor on / off
  std::function<void()> odswiez;                         // redraw the figures
  std::function<void()> zamknij;                         // a failed load closes the window
};

// What the save dialog of "Zapisz jako DXF" shows.
struct tDialogZapisuDXF {
  std::string tytul;         // "Save output file as DXF"
  std::string filtr;         // "DXF (*.dxf)|*.dxf|all files (*.*)|*.*"
  std::string rozszerzenie;  // "dxf"
  std::string folder;        // the project file's folder
  std::string nazwa;         // the project file with the extension ".dxf"
};

class TMDIChild {
 public:
  TMDIChild(TDlgkonfig& konfig, const texts::tInterfejs& interfejs);
  ~TMDIChild();
  TMDIChild(const TMDIChild&) = delete;
  TMDIChild& operator=(const TMDIChild&) = delete;

  // Sets the file type and whether the project is multi-layer.
  void DostosujWgTypuProjektu(int fileType);
  // Reads a plot, DXF or G-code file into the project. False when the file
  // could not be read or holds no figure: the operator has been told and
  // the window closes.
  bool Load(const std::string& path);
  // Reads a bitmap into the project for raster engraving: the picture, and
  // the engraved height (setting WysokoscObrazu) from the engraved width
  // and the picture's aspect; the project's size is the engraved size in
  // millimetres and it has no figures. False when the file is no bitmap the
  // program reads: the operator has been told the file and the reason, and
  // the window closes.
  bool LoadBMP(const std::string& path);

  // Figure i is the frame: at least 2 figures, figure i at level 0 and every
  // other figure nested.
  bool framka(int i) const;
  // Box, centre, lowest point, valid, nesting reset, open flag (by
  // prj_accuracy) of one figure.
  void licz_parametry(tfigura& f) const;
  // Inverts the cut flag of the selected figure (the window's menu command).
  void ZmienDoCiecia();
  // Direction analysis, direction, order and tool paths again after a
  // change (not for G-code or bitmap projects).
  void PrzeliczPoWaznejZmianie();
  // Multi-layer projects: every figure's cut flag from its layer.
  void OdswiezAktywnoscWarstw();
  // The main status panel shows the job file being written, with the busy
  // cursor, until koniecZapisu.
  void pokazZapis(const std::string& fname) const;
  void koniecZapisu() const;
  // Whether the layer with colour key nr takes part in a job over figures
  // startowaFig to koncowaFig: one figure: layers of its layer's order;
  // from a selected figure: layers of that order or later; from figure 0:
  // every layer; always only layers with active figures.
  bool WarstwaBedzieObrabiana(int startowaFig, int koncowaFig, int nr) const;

  // DXF export of the figures' 3-D paths (replaces a file of that name):
  // 0, or the operating system's error code (a partly written file stays).
  int ZapiszDXF(const std::string& path) const;
  // The service-mode menu command "Zapisz jako DXF": nothing without
  // figures; otherwise asks `dialog` for the file name (empty: cancelled)
  // and exports. A file that cannot be written is told with its path and
  // reason. Returns the export's result (0 also when nothing was done).
  int pmZapiszJakoDXFClick(const std::function<std::string(const tDialogZapisuDXF&)>& dialog);
  tDialogZapisuDXF dialogZapisuDXF() const;

  // Measurements.
  void ustal_dist();
  double GetCuttingLength() const;         // in the operator's length unit
  double GetEstimatedCuttingTime() const;  // minutes

  // The preparation steps of the toolpath (nesting, direction, order,
  // outline); see prepare/.
  void co_w_czym();
  void AnalizaKierunkow();
  void UstawKierunek();
  void UstawKolejnosc();
  void AddOutline();
  bool IsPointInPoly(const trealpoint& pkt, const std::vector<trealpoint>& poly) const;

  // Bezier smoothing, at the end of AddOutline when smoothing is on and the
  // controller cuts Bezier records: every figure's outline op as a chain of
  // cubic segments (LBezier) and the chain with its descent (SpiralaBezier).
  bool wygladzanieDostepne() const;
  void PrzyblizBezier();
  prepare::FittedChain PrzyblizFigure(int nr);
  // One segment over the outline points poczatek to koniec of figure nr;
  // the fitting error (file units) goes to blad.
  tBezier PrzyblizSegment(int nr, int poczatek, int koniec, double& blad) const;
  void Wygladz(int nr, const prepare::FittedChain& dopasowanie);
  void DobierzU(int nr);
  void UtworzSpiraleBezier(int nr);
  prepare::BezierLimits granicePrzyblizenia() const;
  // After a change of the figures: the project's length totals again (the
  // sums of the figures' own), the figure counts of the layer table, and a
  // redraw.
  void policzSumyDlugosci();
  void policzFiguryWarstw();
  void odswiez() const;
  // Applies "leave out the frame" to the frame figure.
  void oznaczToCutRamki();
  // The figure whose outline passes nearest to (x, y) in millimetres; -1
  // without figures.
  int ktoraToFigura(double y, double x) const;

  TDlgkonfig& konfig() const { return konfig_; }
  const texts::tInterfejs& interfejs() const { return interfejs_; }
  bool wielowarstwowy() const { return otwarto_jako_wielowarstwowy && ImportFileType != 3; }

  void ustawWidok(tWidokProjektu widok) { widok_ = std::move(widok); }

  // --- the project ---
  int max_poziom = 0;
  bool test = false;
  tIntPoint pp;
  tIntPoint pk;
  tListaFigur fig;
  double size_x = 0;
  double size_y = 0;
  trealpoint center;
  bool grawer = false;
  int selected = -1;
  double total_lenwork = 0;
  double total_lenprzes = 0;
  double total_lenpol = 0;
  double total_lenz = 0;
  std::unique_ptr<tWarstwy> warstwy;
  int ImportFileType = 1;
  tMinMax GcodPar;
  int iloscPoczatkowa = 0;
  bool jestRamka = false;
  int zoomSkala = 1;
  bool hasHatching = false;
  // How the hatch lines were made (their cutting order needs it).
  tKreskowanie kreskowanie;
  bool otwarto_jako_wielowarstwowy = false;
  double prj_accuracy = 2.0;
  // Segments shorter than prj_accuracy counted while reading.
  int iloscKrotkichOdcinkow = 0;
  std::string sciezka;  // the design file
  // What the reader met in the file and did not draw; the program tells the
  // operator after the open.
  import::tReadWarnings ostrzezenia;
  // The picture of a bitmap project, shared with the engraving that burns
  // it; its pixel width and height stay for the job information.
  std::shared_ptr<const import::tBitmap> obraz;
  int obrazSzerokosc = 0;
  int obrazWysokosc = 0;
  // The program's "spline" switch (curves of DXF files read as splines).
  bool przelacznikSpline = false;

 private:
  bool wczytajFigury(const std::string& path);
  void pokazBladOtwarcia(int kod, const std::string& szczegoly) const;
  // Some figure holds a point (a file that yields none is not a project).
  bool maFigure() const;
  void pokazBrakFigur(const std::string& path) const;
  void oczyscWezly();
  void ustalGabaryt();
  void utworzWarstwy();
  void przygotuj();
  void sumyGcode();
  void oznaczRamke();
  void sprawdzRozmiar() const;
  void status(const std::function<void(const std::string&)>& f, const std::string& t) const {
    if (f) f(t);
  }
  void zmienDoCiecia(tfigura& f, bool doCiecia);

  TDlgkonfig& konfig_;
  const texts::tInterfejs& interfejs_;
  tWidokProjektu widok_;
};

}  // namespace trazvik
