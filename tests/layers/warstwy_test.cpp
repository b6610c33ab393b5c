#include "layers/warstwy.h"

#include "geometry/units.h"
#include "layers/layer_colors.h"
#include "geometry/figure_list.h"

#include <gtest/gtest.h>

#include <vector>

namespace trazvik {
namespace {

// The fields of a figure that the layer table reads.
struct Fig {
  int org_color = 0;
  double width = 0;
  bool ramka = false;
};

tWarstwy zbuduj(const std::vector<Fig>& figs, int fileType, bool laser = false) {
  tWarstwy w;
  w.create(figs, "", laser, 18000, 1500, 2.5, fileType);
  return w;
}

TEST(Warstwy, TableStartsZeroed) {
  tWarstwy w;
  EXPECT_EQ(w.layerCount(), 0);
  EXPECT_FALSE(w.layer[5].wystepuje);
  EXPECT_EQ(w.layer[1024].szybkosc, 0);
}

TEST(Warstwy, PlotFilePensBecomeLayersWithFigureCounts) {
  auto w = zbuduj({{1, 0.5}, {2, 1.0}, {2, 3.0, true}}, kFileTypeHpgl);
  EXPECT_EQ(w.layerCount(), 2);
  EXPECT_EQ(w.layer[1].iloscWszystkichFig, 1);
  EXPECT_EQ(w.layer[2].iloscWszystkichFig, 2);
  EXPECT_EQ(w.layer[2].iloscFigAktywnych, 2);
  // On a milling machine a pen's depth is the width of its last figure.
  EXPECT_EQ(w.getGlebokosc(1), 0.5);
  EXPECT_EQ(w.getGlebokosc(2), 3.0);
  EXPECT_EQ(w.getSzybkosc(2), 1500);
  EXPECT_EQ(w.getObroty(2), 18000);
  EXPECT_EQ(w.getGlowica(2), 1);  // a fresh layer gets the first head, never "no head"
  EXPECT_TRUE(w.getAktywna(2));
  EXPECT_TRUE(w.layer[2].ramkaNawarstwie);
  EXPECT_FALSE(w.layer[1].ramkaNawarstwie);
  EXPECT_EQ(w.layer[2].kolor, kolorPisaka(2));
  EXPECT_FALSE(w.CanSort());  // no layer file beside an unnamed design
}

TEST(Warstwy, BuildsFromTheProjectsFigureList) {
  tListaFigur figs;
  for (int pen : {1, 2, 2}) {
    figs.push_back(std::make_unique<tfigura>());
    figs.back()->org_color = pen;
    figs.back()->width = pen * 0.25;
  }
  figs.back()->ramka = true;
  tWarstwy w;
  w.create(figs, "", false, 1, 2, 3, kFileTypeHpgl);
  EXPECT_EQ(w.layerCount(), 2);
  EXPECT_EQ(w.layer[2].iloscWszystkichFig, 2);
  EXPECT_EQ(w.getGlebokosc(2), 0.5);
  EXPECT_TRUE(w.layer[2].ramkaNawarstwie);
}

TEST(Warstwy, PlotLayersKeepAHeadGivenEarlier) {
  tWarstwy w;
  w.layer[2].glowica = 3;
  w.layer[2].srednicaFrezu = 6;
  // create starts from a zeroed table, so the kept values come from the
  // figures' own pass: a second figure of the pen keeps what the first set.
  w.create(std::vector<Fig>{{2, 0.5}, {2, 0.7}}, "", false, 1, 2, 3, kFileTypeHpgl);
  EXPECT_EQ(w.getGlowica(2), 1);
  EXPECT_EQ(w.getSrednicaFrezu(2), 0);
  EXPECT_EQ(w.getGlebokosc(2), 0.7);
}

TEST(Warstwy, DefaultsApplyToDxfAndToLasers) {
  for (const auto& [fileType, laser] : {std::pair{kFileTypeDxf, false}, std::pair{kFileTypeHpgl, true}}) {
    auto w = zbuduj({{3, 9.0}}, fileType, laser);
    EXPECT_EQ(w.getGlebokosc(3), 2.5) << fileType << laser;
    EXPECT_EQ(w.getMoc(3), 2.5);
    EXPECT_EQ(w.getGlowica(3), 1);
    EXPECT_EQ(w.getSrednicaFrezu(3), 0);
    EXPECT_EQ(w.typLaser, laser);
    EXPECT_EQ(w.layer[3].kolor, kolorWarstwy(fileType, 3));
  }
}

TEST(Warstwy, KeysOutsideTheTableAreIgnoredNotWrittenPastIt) {
  auto w = zbuduj({{-1}, {1025}, {1024}}, kFileTypeDxf);
  EXPECT_EQ(w.layerCount(), 1);
  EXPECT_TRUE(w.layer[1024].wystepuje);
  EXPECT_EQ(w.getSzybkosc(5000), 0);
  w.incIloscFigAktywnych(-7);
  w.setLayerOrder(99999, 3);
}

TEST(Warstwy, ListIsInKeyOrderUnlessSortingIsEnabled) {
  auto w = zbuduj({{7}, {2}, {5}, {9}}, kFileTypeDxf);
  w.setLayerOrder(2, 3);
  w.setLayerOrder(5, 1);
  w.setLayerOrder(7, 2);
  w.setLayerOrder(9, 1);
  auto keys = [](const std::vector<tWarstwa>& l) {
    std::vector<int> k;
    for (const auto& x : l) k.push_back(x.org_color);
    return k;
  };
  EXPECT_EQ(keys(w.getLayersList(true)), (std::vector<int>{2, 5, 7, 9}));
  w.EnableSorting();
  // Equal orders keep key order.
  EXPECT_EQ(keys(w.getLayersList(false)), (std::vector<int>{5, 9, 7, 2}));
  for (const auto& copy : w.getLayersList()) {
    EXPECT_FALSE(copy.wystepuje);
    EXPECT_FALSE(copy.ramkaNawarstwie);
    EXPECT_EQ(copy.aktywnosc_figur, tSelekcja::selPozostawObecna);
  }
}

TEST(Warstwy, SetLayerCopiesEditableFieldsAndRecountsActiveFigures) {
  auto w = zbuduj({{4}, {4}, {4, 0, true}}, kFileTypeDxf);
  const tKolor kolor = w.layer[4].kolor;
  tWarstwa edit = w.layer[4];
  edit.glebokosc = 1.25;
  edit.szybkosc = 800;
  edit.obroty = 12000;
  edit.glowica = 2;
  edit.srednicaFrezu = 6;
  edit.kolejnosc = 4;
  edit.kolor = 123;
  edit.aktywnosc_figur = tSelekcja::selWylaczWszystkie;
  edit.iloscFigAktywnych = 77;

  w.setLayer(edit, true);
  EXPECT_EQ(w.getIloscFigAktywnych(4), 2);  // the frame is left out
  EXPECT_EQ(w.getGlebokosc(4), 1.25);
  EXPECT_EQ(w.getSzybkosc(4), 800);
  EXPECT_EQ(w.getObroty(4), 12000);
  EXPECT_EQ(w.getGlowica(4), 2);
  EXPECT_EQ(w.getSrednicaFrezu(4), 6);
  EXPECT_EQ(w.getKolejnosc(4), 4);
  EXPECT_EQ(w.layer[4].kolor, kolor);
  EXPECT_EQ(w.layer[4].aktywnosc_figur, tSelekcja::selPozostawObecna);

  w.setLayer(edit, false);
  EXPECT_EQ(w.getIloscFigAktywnych(4), 3);
  edit.aktywna = false;
  w.setLayer(edit, true);
  EXPECT_EQ(w.getIloscFigAktywnych(4), 0);
  EXPECT_FALSE(w.getAktywna(4));
}

TEST(Warstwy, StartingLayerIsTheFirstWithFiguresToCut) {
  tWarstwy w = zbuduj({{1}, {2}, {3}}, kFileTypeDxf);
  w.ustawMaszyne(2, 24000);
  w.layer[1].glowica = 1;
  w.layer[2].glowica = 2;
  w.layer[3].glowica = 3;
  w.layer[1].obroty = 10000;
  w.layer[2].obroty = 20000;
  w.layer[3].obroty = 30000;
  w.setLayerOrder(1, 3);
  w.setLayerOrder(2, 2);
  w.setLayerOrder(3, 1);
  w.EnableSorting();
  w.decIloscFigAktywnych(3);  // layer 3 is first in order but has nothing to cut
  EXPECT_EQ(tWarstwy::getStartingLayerIndx(w.getLayersList()), 1);
  EXPECT_EQ(w.getStartingLayerHeadIndx(), 1);
  EXPECT_EQ(w.getStartingLayerRotations(), 20000);

  w.decIloscFigAktywnych(1);
  w.decIloscFigAktywnych(2);
  EXPECT_EQ(tWarstwy::getStartingLayerIndx(w.getLayersList()), -1);
  EXPECT_EQ(w.getStartingLayerHeadIndx(), -1);
  EXPECT_EQ(w.getStartingLayerRotations(), 24000);
}

TEST(Warstwy, MillingDataCheck) {
  struct Case {
    int speed;
    double depth;
    int rot;
    bool active;
    bool ok;
  };
  const Case cases[] = {
      {1000, 1, 10000, true, true}, {99, 1, 10000, true, false},   {5001, 1, 10000, true, false},
      {100, 0, 5000, true, true},   {5000, 1, 30000, true, true},  {1000, -0.1, 10000, true, false},
      {1000, 1, 4999, true, false}, {1000, 1, 30001, true, false}, {1, -5, 1, false, true},
  };
  for (const Case& c : cases) {
    auto w = zbuduj({{1}, {2}}, kFileTypeDxf);
    w.layer[1] = {1, true, 0, 1, 1000, 10000, 1, 0, true};
    w.layer[2] = {2, true, 0, c.depth, c.speed, c.rot, 1, 0, c.active};
    EXPECT_EQ(w.DaneFrezarkaOK(5000, 30000, 5000, 100), c.ok) << c.speed << " " << c.depth << " " << c.rot;
  }
  // A table with no active layer passes.
  auto w = zbuduj({{1}}, kFileTypeDxf);
  w.layer[1].aktywna = false;
  w.layer[1].szybkosc = -1;
  EXPECT_TRUE(w.DaneFrezarkaOK(5000, 30000, 5000, 100));
}

TEST(Warstwy, HatchingLayer) {
  auto w = zbuduj({{3}}, kFileTypeDxf);
  w.DodajWarstweKresek(kFileTypeDxf, false, true);
  EXPECT_EQ(w.layerCount(), 1);  // hatching takes the parent's colour
  w.DodajWarstweKresek(kFileTypeDxf, false, false);
  EXPECT_TRUE(w.layer[0].wystepuje);
  EXPECT_TRUE(w.layer[0].aktywna);
  EXPECT_EQ(w.layer[0].kolor, kolorDxf(0));

  auto p = zbuduj({{3}}, kFileTypeHpgl);
  p.DodajWarstweKresek(kFileTypeHpgl, false, false);
  EXPECT_TRUE(p.layer[1].wystepuje);
  EXPECT_EQ(p.layer[1].org_color, 1);
  EXPECT_EQ(p.layer[1].kolor, kolorPisaka(1));
  EXPECT_EQ(p.layerCount(), 2);
  // A new layer is cut with the defaults of the table, by the first head.
  EXPECT_EQ(p.getSzybkosc(1), 1500);
  EXPECT_EQ(p.getObroty(1), 18000);
  EXPECT_DOUBLE_EQ(p.getGlebokosc(1), 2.5);
  EXPECT_EQ(p.getGlowica(1), 1);

  // A layer the drawing has already keeps what the operator set.
  auto q = zbuduj({{1}, {3}}, kFileTypeHpgl);
  q.layer[1].szybkosc = 900;
  q.layer[1].kolejnosc = 4;
  q.DodajWarstweKresek(kFileTypeHpgl, false, false);
  EXPECT_EQ(q.getSzybkosc(1), 900);
  EXPECT_EQ(q.getKolejnosc(1), 4);
  EXPECT_EQ(q.layerCount(), 2);
}

TEST(Warstwy, FreeClearsEverything) {
  auto w = zbuduj({{3}, {8}}, kFileTypeDxf);
  w.EnableSorting();
  w.free();
  EXPECT_EQ(w.layerCount(), 0);
  EXPECT_FALSE(w.CanSort());
  EXPECT_EQ(w.getSzybkosc(3), 0);
}

TEST(Warstwy, DefaultLayerFilePath) {
  tWarstwy w;
  EXPECT_EQ(w.DajSciezkeDomyslnaDoZapisuWarstw(), "");
  w.prjPath = "/home/shop/jobs/plate.plt";
  EXPECT_EQ(w.DajSciezkeDomyslnaDoZapisuWarstw(), "/home/shop/jobs/plate.lyr");
  w.prjPath = "/home/shop/v1.2/plate";
  EXPECT_EQ(w.DajSciezkeDomyslnaDoZapisuWarstw(), "/home/shop/v1.2/plate.lyr");
  w.prjPath = "C:\\jobs\\a.b.dxf";
  EXPECT_EQ(w.DajSciezkeDomyslnaDoZapisuWarstw(), "C:\\jobs\\a.b.lyr");
}

}  // namespace
}  // namespace trazvik
