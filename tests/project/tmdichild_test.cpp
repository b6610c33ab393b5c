#include "project/tmdichild.h"

#include "project/open_project.h"

#include "config/tdlgkonfig.h"
#include "geometry/units.h"
#include "import/dxf_export.h"
#include "import/file_type.h"
#include "texts/interfejs.h"
#include "texts/recording_message_boxes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace trazvik {
namespace {

namespace fs = std::filesystem;
using Pts = std::vector<trealpoint>;

class Project : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::path(::testing::TempDir()) /
           ("trazvik_project_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    ASSERT_TRUE(interfejs_.loadLanguageFile(std::string(TRAZVIK_SOURCE_DIR) + "/lang/", "US", "0.1"));
    // Only what a test turns on.
    for (const char* name : {"auto_add", "auto_remove", "crosstopoint", "auto_optymalizacja", "bezramki",
                             "Auto_kierunek", "Auto_kolejnosc"}) {
      konfig_.setChecked(name, false);
    }
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string plik(const std::string& name, const std::string& text) {
    const std::string p = (dir_ / name).string();
    std::ofstream(p, std::ios::binary) << text;
    return p;
  }

  // Loads the text as a plot file; the project is checked by the caller.
  std::unique_ptr<TMDIChild> wczytaj(const std::string& hpgl, const std::string& name = "t.plt") {
    auto p = std::make_unique<TMDIChild>(konfig_, interfejs_);
    p->ustawWidok(widok());
    const std::string path = plik(name, hpgl);
    p->DostosujWgTypuProjektu(import::fileTypeFromExtension(path));
    wczytano_ = p->Load(path);
    return p;
  }

  tWidokProjektu widok() {
    tWidokProjektu w;
    w.zamknij = [this] { ++zamkniecia_; };
    w.paskStatusu = [this](const std::string& t) { ostatniStatus_ = t; };
    return w;
  }

  std::string txt(const char* key) const { return interfejs_.dajTxt("Project_window", key); }

  fs::path dir_;
  TDlgkonfig konfig_;
  texts::RecordingMessageBoxes boxes_;
  texts::tInterfejs interfejs_{boxes_};
  bool wczytano_ = false;
  int zamkniecia_ = 0;
  std::string ostatniStatus_;
};

TEST_F(Project, JoiningFollowsTheSetting) {
  const std::string two = "IN;SP1;PU0,0;PD100,0;PU;PU100,0;PD100,100;PU;";
  konfig_.setChecked("auto_add", true);
  auto p = wczytaj(two);
  ASSERT_TRUE(wczytano_);
  ASSERT_EQ(p->fig.size(), 1u);
  EXPECT_EQ(p->fig[0]->p, (Pts{{0, 0}, {100, 0}, {100, 100}}));

  konfig_.setChecked("auto_add", false);
  p = wczytaj(two);
  EXPECT_EQ(p->fig.size(), 2u);
}

TEST_F(Project, DuplicatesAreDroppedWhenAsked) {
  const std::string twice = "SP1;PU0,0;PD50,0,50,50,0,50;PU;PU0,0;PD50,0,50,50,0,50;PU;";
  konfig_.setChecked("auto_remove", true);
  EXPECT_EQ(wczytaj(twice)->fig.size(), 1u);
  konfig_.setChecked("auto_remove", false);
  EXPECT_EQ(wczytaj(twice)->fig.size(), 2u);
}

TEST_F(Project, CrossingStrokesBecomeADrillPoint) {
  konfig_.setChecked("crosstopoint", true);
  auto p = wczytaj("SP1;PU0,0;PD100,100;PU;PU0,100;PD100,0;PU;");
  ASSERT_EQ(p->fig.size(), 1u);
  EXPECT_TRUE(p->fig[0]->otwor);
  EXPECT_EQ(p->fig[0]->p, (Pts{{50, 50}, {50, 50}}));
  // Its tool path plunges from the surface to the cutting depth, with or
  // without spiral entry: the job writer drills at the second point.
  for (const bool spiral : {false, true}) {
    konfig_.setChecked("cbZejsciePoSpirali", spiral);
    p->AddOutline();
    const double top = (konfig_.real("grubosc") + konfig_.real("ponad_stol")) * 40;
    const double bottom = top - konfig_.real("Glebokosc") * 40;
    ASSERT_EQ(p->fig[0]->sp.size(), 2u) << spiral;
    EXPECT_NEAR(p->fig[0]->sp[0].z, top, 1e-9) << spiral;
    EXPECT_NEAR(p->fig[0]->sp[1].z, bottom, 1e-9) << spiral;
    EXPECT_EQ(p->fig[0]->sp[1].x, 50);
  }
}

TEST_F(Project, ClosureWithinTwoUnits) {
  auto p = wczytaj("SP1;PU0,0;PD400,0,400,400,0,400,1,0;PU;PU1000,0;PD1400,0,1400,400,1000,400,1002,0;PU;");
  ASSERT_EQ(p->fig.size(), 2u);
  EXPECT_FALSE(p->fig[0]->otwarta);
  EXPECT_TRUE(p->fig[1]->otwarta);
}

TEST_F(Project, BoxOrderAndCutFlagsAfterLoading) {
  auto p = wczytaj("SP1;PU-10,5;PD90,5,90,55;PU;PU200,-20;PD250,-20,250,30;PU;");
  ASSERT_EQ(p->fig.size(), 2u);
  EXPECT_EQ(p->pp, (tIntPoint{-10, -20}));
  EXPECT_EQ(p->pk, (tIntPoint{250, 55}));
  EXPECT_EQ(p->size_x, 260);
  EXPECT_EQ(p->size_y, 75);
  EXPECT_EQ(p->center, (trealpoint{120, 17.5}));
  EXPECT_EQ(p->selected, -1);
  EXPECT_EQ(p->iloscPoczatkowa, 2);
  for (std::size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(p->fig[i]->org_index, static_cast<int>(i));
    EXPECT_TRUE(p->fig[i]->tocut);
    EXPECT_EQ(p->fig[i]->xp, -10);
    EXPECT_EQ(p->fig[i]->yp, -20);
  }
  EXPECT_EQ(ostatniStatus_, txt("msgIloscFigur") + "2");
}

TEST_F(Project, FrameIsTheOnlyTopLevelFigureAndCanBeLeftOut) {
  const std::string framed =
      "SP1;PU0,0;PD1000,0,1000,1000,0,1000,0,0;PU;"
      "PU100,100;PD200,100,200,200,100,200,100,100;PU;"
      "PU300,300;PD400,300,400,400,300,400,300,300;PU;"
      "PU600,600;PD700,600,700,700,600,700,600,600;PU;";
  konfig_.setChecked("Auto_kierunek", true);  // nesting runs
  auto p = wczytaj(framed);
  ASSERT_EQ(p->fig.size(), 4u);
  EXPECT_TRUE(p->jestRamka);
  int frames = 0;
  for (const auto& f : p->fig) {
    frames += f->ramka;
    EXPECT_TRUE(f->tocut);
  }
  EXPECT_EQ(frames, 1);

  konfig_.setChecked("bezramki", true);
  p = wczytaj(framed);
  for (std::size_t i = 0; i < p->fig.size(); ++i) {
    EXPECT_EQ(p->fig[i]->tocut, !p->fig[i]->ramka);
    EXPECT_EQ(p->framka(static_cast<int>(i)), p->fig[i]->ramka);
  }

  // side by side, and alone: no frame
  for (const char* text : {"SP1;PU0,0;PD10,0,10,10,0,10,0,0;PU;PU20,0;PD30,0,30,10,20,10,20,0;PU;",
                           "SP1;PU0,0;PD10,0,10,10,0,10,0,0;PU;"}) {
    p = wczytaj(text);
    EXPECT_FALSE(p->jestRamka);
    EXPECT_FALSE(p->framka(0));
  }
}

TEST_F(Project, ProjectLargerThanTheMachineIsReportedAndStaysOpen) {
  config::MachineContext m;
  m.identified = true;
  m.workAreaX = 2000;
  m.workAreaY = 2000;
  konfig_.SetParam(m);
  auto p = wczytaj("SP1;PU0,0;PD120000,0,120000,100;PU;");  // 3000 mm wide
  EXPECT_TRUE(wczytano_);
  EXPECT_EQ(p->fig.size(), 1u);
  ASSERT_EQ(boxes_.messages().size(), 1u);
  EXPECT_EQ(boxes_.messages()[0].text, txt("msgZbytDuzyPrj"));
  EXPECT_TRUE(boxes_.messages()[0].error);

  boxes_.clear();
  konfig_.set("skala", 50);  // 1500 mm at half scale fits
  p = wczytaj("SP1;PU0,0;PD120000,0,120000,100;PU;");
  EXPECT_TRUE(boxes_.messages().empty());
}

TEST_F(Project, FailedOpensTellWhyAndClose) {
  TMDIChild p(konfig_, interfejs_);
  p.ustawWidok(widok());
  p.DostosujWgTypuProjektu(1);
  EXPECT_FALSE(p.Load((dir_ / "missing.plt").string()));
  ASSERT_EQ(boxes_.messages().size(), 1u);
  EXPECT_EQ(boxes_.messages()[0].text, txt("msgNieMoznaOtworzycZbioru"));
  EXPECT_EQ(zamkniecia_, 1);

  // a file that breaks off in a bad number loads nothing
  boxes_.clear();
  auto q = wczytaj("SP1;PU0,0;PD10,0;PU;PU0,0;PD5.5.5,3;PU;");
  EXPECT_FALSE(wczytano_);
  EXPECT_TRUE(q->fig.empty());
  ASSERT_EQ(boxes_.messages().size(), 1u);
  EXPECT_EQ(boxes_.messages()[0].text.rfind(txt("msgNieMoznaOtworzycZbioru"), 0), 0u);
  EXPECT_EQ(zamkniecia_, 2);
}

TEST_F(Project, NodeOptimisationAndShortSegments) {
  konfig_.setChecked("auto_optymalizacja", true);
  auto p = wczytaj("SP1;PU0,0;PD100,0,200,0,300,0,300,300;PU;");
  ASSERT_EQ(p->fig.size(), 1u);
  EXPECT_EQ(p->fig[0]->p, (Pts{{0, 0}, {300, 0}, {300, 300}}));
  EXPECT_EQ(p->fig[0]->op, p->fig[0]->p);

  // Segments shorter than 2 units make the reader count them; the run of
  // tiny steps is simplified within 2 units, the corner stays.
  konfig_.setChecked("auto_optymalizacja", false);
  p = wczytaj("SP1;PU0,0;PD1,0,2,1,3,0,4,1,5,0,500,0,500,500;PU;");
  ASSERT_EQ(p->fig.size(), 1u);
  EXPECT_GT(p->iloscKrotkichOdcinkow, 0);
  EXPECT_EQ(p->fig[0]->p, (Pts{{0, 0}, {500, 0}, {500, 500}}));
}

TEST_F(Project, DegenerateFiguresNeverHang) {
  konfig_.setChecked("auto_add", true);
  konfig_.setChecked("auto_remove", true);
  konfig_.setChecked("crosstopoint", true);
  konfig_.setChecked("auto_optymalizacja", true);
  konfig_.setChecked("Auto_kierunek", true);
  konfig_.setChecked("Auto_kolejnosc", true);
  auto p = wczytaj(
      "SP1;PU5,5;PD5,5,5,5;PU;"                     // all points equal: dropped
      "PU0,0;PD100,0,200,0,0,0;PU;"                 // collinear closed, zero area
      "PU0,0;PD0,0,10,10,10,10,10,10,20,0,0,0;PU;"  // repeated points
      "PU2147483000,2147483000;PD2147483647,2147483000,2147483647,2147483647,2147483000,2147483000;PU;"
      "PU-2147483647,0;PD2147483647,0;PU;");
  EXPECT_TRUE(wczytano_);
  EXPECT_EQ(p->fig.size(), 4u);
  EXPECT_EQ(p->pk.x, 2147483647);
  EXPECT_EQ(p->pp.x, -2147483647);
  p->PrzeliczPoWaznejZmianie();
}

TEST_F(Project, MultiLayerProjectsCountActiveFiguresPerLayer) {
  konfig_.set("ProjektType", 1);
  konfig_.setChecked("Auto_kierunek", true);
  konfig_.setChecked("bezramki", true);
  auto p = wczytaj(
      "SP2;PU0,0;PD1000,0,1000,1000,0,1000,0,0;PU;"
      "SP1;PU100,100;PD200,100,200,200,100,200,100,100;PU;"
      "SP2;PU300,300;PD400,300,400,400,300,400,300,300;PU;");
  ASSERT_TRUE(p->wielowarstwowy());
  ASSERT_TRUE(p->warstwy);
  tWarstwy& w = *p->warstwy;
  EXPECT_EQ(w.layerCount(), 2);
  EXPECT_EQ(w.layer[2].iloscWszystkichFig, 2);
  EXPECT_EQ(w.getIloscFigAktywnych(2), 1);  // the frame is left out
  EXPECT_EQ(w.getIloscFigAktywnych(1), 1);
  EXPECT_EQ(w.getSzybkosc(1), konfig_.integer("WorkSpeed"));
  EXPECT_EQ(w.getGlebokosc(1), 0);  // plot pen without width on a mill

  // switching a layer off takes its figures out of the cut
  tWarstwa off = w.layer[1];
  off.aktywna = false;
  w.setLayer(off, true);
  p->OdswiezAktywnoscWarstw();
  for (const auto& f : p->fig) EXPECT_EQ(f->tocut, f->org_color == 2 && !f->ramka) << f->org_color;
  EXPECT_EQ(w.getIloscFigAktywnych(1), 0);
  EXPECT_EQ(w.getIloscFigAktywnych(2), 1);

  // the cut flag of one figure follows into its layer's count
  for (std::size_t i = 0; i < p->fig.size(); ++i) {
    if (p->fig[i]->org_color == 2 && !p->fig[i]->ramka) p->selected = static_cast<int>(i);
  }
  p->ZmienDoCiecia();
  EXPECT_EQ(w.getIloscFigAktywnych(2), 0);
  p->ZmienDoCiecia();
  EXPECT_EQ(w.getIloscFigAktywnych(2), 1);
}

TEST_F(Project, OpenCommandOfTheMainWindow) {
  std::string openDir = "/start";
  int menus = 0;
  std::string askedFilter, askedFolder;
  tOtwieranieProjektu o;
  o.openDir = &openDir;
  o.odswiezMenu = [&] { ++menus; };
  o.wybierzPlik = [&](const std::string& f, const std::string& d) {
    askedFilter = f;
    askedFolder = d;
    return std::string();
  };
  // cancelled dialog: only the menus
  EXPECT_EQ(OtworzProjekt("", konfig_, interfejs_, o), nullptr);
  EXPECT_EQ(menus, 1);
  EXPECT_EQ(askedFolder, "/start");
  EXPECT_EQ(askedFilter, filtrOtwierania(false, interfejs_));
  EXPECT_EQ(askedFilter.rfind(interfejs_.dajTxt("Main_window", "filtrProjekty") + " (*.plt, ", 0), 0u) << askedFilter;
  EXPECT_NE(askedFilter.find("*.nc"), std::string::npos);
  EXPECT_NE(filtrOtwierania(true).find("*.bmp"), std::string::npos);
  EXPECT_TRUE(boxes_.messages().empty());

  // missing file: the path as text, the message as caption, nothing else
  const std::string missing = (dir_ / "none.plt").string();
  EXPECT_EQ(OtworzProjekt(missing, konfig_, interfejs_, o), nullptr);
  ASSERT_EQ(boxes_.messages().size(), 1u);
  EXPECT_EQ(boxes_.messages()[0].text, missing);
  EXPECT_EQ(boxes_.messages()[0].caption, interfejs_.dajTxt("Main_window", "msgNieMoznaOtworzycZbioru"));
  EXPECT_EQ(openDir, "/start");

  // a good file: a project, and its folder is remembered
  const std::string good = plik("good.plt", "SP1;PU0,0;PD10,0;PU;");
  o.wybierzPlik = [&](const std::string&, const std::string&) { return good; };
  auto p = OtworzProjekt("", konfig_, interfejs_, o);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->fig.size(), 1u);
  EXPECT_EQ(p->sciezka, good);
  EXPECT_EQ(openDir, dir_.string());
  EXPECT_EQ(menus, 2);
}

TEST_F(Project, AFileWithoutAnyFigureIsNotAProject) {
  struct Case {
    const char* name;
    const char* content;
  };
  const Case cases[] = {
      {"empty.plt", ""},
      {"init.plt", "IN;SP1;"},
      {"dot.plt", "SP1;PU0,0;PD0,0;PU;"},  // one point: not a valid figure
      {"empty.nc", "(nothing but a comment)\n"},
      {"empty.dxf", "  0\nSECTION\n  2\nENTITIES\n  0\nENDSEC\n  0\nEOF\n"},
  };
  for (const Case& c : cases) {
    boxes_.clear();
    const int zamknieteWczesniej = zamkniecia_;
    auto p = wczytaj(c.content, c.name);
    EXPECT_FALSE(wczytano_) << c.name;
    EXPECT_TRUE(p->fig.empty()) << c.name;
    EXPECT_EQ(zamkniecia_, zamknieteWczesniej + 1) << c.name;
    ASSERT_EQ(boxes_.messages().size(), 1u) << c.name;
    EXPECT_TRUE(boxes_.messages()[0].error);
    EXPECT_EQ(boxes_.messages()[0].text, txt("msgBrakFigur") + "\r\n" + (dir_ / c.name).string()) << c.name;
  }
}

TEST_F(Project, ReaderWarningsAreShownInOneBoxAfterTheOpen) {
  auto p = wczytaj("SP1;PU0,0;PD10,0;PU;", "w.plt");
  ASSERT_TRUE(wczytano_);
  boxes_.clear();
  pokazOstrzezeniaWczytania(*p, interfejs_);
  EXPECT_TRUE(boxes_.messages().empty()) << "nothing to tell";

  p->ostrzezenia.add("label text (LB) is not cut", 0, 12);
  p->ostrzezenia.add("circle (CI) drawn as segments", 0, 40);
  p->ostrzezenia.add("label text (LB) is not cut", 0, 90);
  const std::string path = (dir_ / "w.plt").string();
  EXPECT_EQ(linieOstrzezen(*p), (std::vector<std::string>{path + ": byte 12: label text (LB) is not cut (2 times)",
                                                          path + ": byte 40: circle (CI) drawn as segments"}));
  pokazOstrzezeniaWczytania(*p, interfejs_);
  ASSERT_EQ(boxes_.messages().size(), 1u);
  EXPECT_FALSE(boxes_.messages()[0].error);
  EXPECT_EQ(boxes_.messages()[0].caption, txt("msgOstrzezeniaWczytaniaTytul"));
  EXPECT_EQ(boxes_.messages()[0].text,
            txt("msgOstrzezeniaWczytania") + "\r\n" + linieOstrzezen(*p)[0] + "\r\n" + linieOstrzezen(*p)[1]);
}

TEST_F(Project, OpenCommandTakesAnUnknownExtensionByItsContent) {
  tOtwieranieProjektu o;
  struct Case {
    const char* name;
    const char* content;
    int type;  // 0: refused
  };
  const Case cases[] = {
      {"plot.txt", "IN;SP1;PU0,0;PD100,0,100,100;PU;", kFileTypeHpgl},
      {"program.out", "G21\nG0 X0 Y0\nG1 X10 Y0 F300\n", kFileTypeGcode},
      {"notes.txt", "Buy milk.\n", 0},
      {"plot.hpgl", "IN;SP1;PU0,0;PD100,0;PU;", kFileTypeHpgl},
      {"program.ngc", "G0 X0 Y0\nG1 X10 Y0\n", kFileTypeGcode},
  };
  for (const Case& c : cases) {
    boxes_.clear();
    const std::string path = plik(c.name, c.content);
    auto p = OtworzProjekt(path, konfig_, interfejs_, o);
    if (c.type == 0) {
      EXPECT_EQ(p, nullptr) << c.name;
      ASSERT_EQ(boxes_.messages().size(), 1u) << c.name;
      const std::string& text = boxes_.messages()[0].text;
      EXPECT_EQ(text.rfind(interfejs_.dajTxt("Main_window", "msgNieznanyTypZbioru") + "\r\n" + path, 0), 0u) << text;
      continue;
    }
    ASSERT_NE(p, nullptr) << c.name;
    EXPECT_EQ(p->ImportFileType, c.type) << c.name;
    EXPECT_FALSE(p->fig.empty()) << c.name;
    EXPECT_TRUE(boxes_.messages().empty()) << c.name;
  }
}

TEST_F(Project, OpenDialogFilterNamesEveryExtensionTheProgramReads) {
  for (const bool laser : {false, true}) {
    const std::string filter = filtrOtwierania(laser);
    // name|patterns pairs; the first pattern list holds every design file
    std::vector<std::string> parts;
    for (std::size_t from = 0;;) {
      const std::size_t bar = filter.find('|', from);
      parts.push_back(filter.substr(from, bar - from));
      if (bar == std::string::npos) break;
      from = bar + 1;
    }
    ASSERT_EQ(parts.size() % 2, 0u) << filter;
    EXPECT_EQ(parts.back(), "*") << "any file, taken by its content";
    for (const import::tKnownExtension& k : import::knownExtensions()) {
      const bool offered = k.fileType == kFileTypeBitmap ? laser : k.fileType != kFileTypeGcode || !laser;
      const std::string pattern = std::string("*.") + k.extension;
      const std::string all = ";" + parts[1] + ";";
      EXPECT_EQ(all.find(";" + pattern + ";") != std::string::npos, offered) << laser << " " << pattern;
    }
  }
  EXPECT_EQ(filtrOtwierania(false).substr(0, 52), "(*.plt, *.hpgl, *.hpg, *.hgl, *.hp, *.dxf, *.nc, *.n");
}

TEST_F(Project, LengthsAndTimeComeFromTheToolpaths) {
  konfig_.set("skala", 100);
  auto p = wczytaj("SP1;PU0,0;PD4000,0,4000,4000,0,4000,0,0;PU;");
  EXPECT_GT(p->total_lenwork, 0);
  EXPECT_DOUBLE_EQ(p->GetCuttingLength(), p->total_lenwork);
  EXPECT_GT(p->GetEstimatedCuttingTime(), p->total_lenwork / konfig_.real("WorkSpeed"));
}

TEST_F(Project, GcodeProgramKeepsItsExtentsFeedAndSpindle) {
  auto p = wczytaj("G21\nG0 X0 Y0 Z5\nG1 Z-2 F300 S12000\nG1 X10 F800\nG1 Y20 F500\nG0 Z5\n", "t.nc");
  ASSERT_TRUE(wczytano_);
  EXPECT_DOUBLE_EQ(p->GcodPar.gF, 500);
  EXPECT_DOUBLE_EQ(p->GcodPar.gS, 12000);
  EXPECT_NEAR(p->GcodPar.maxX, 10, 1e-9);
  EXPECT_NEAR(p->GcodPar.maxY, 20, 1e-9);
  EXPECT_NEAR(p->GcodPar.minZ, -2, 1e-9);
}

TEST_F(Project, GcodeProgramIsReadWithTheArcCentreSettingOfTheDialog) {
  // One full circle: I, J relative to the start put its centre at 0, 0
  // (radius 10); as absolute positions at -10, 0 (radius 20).
  const std::string program = "G21\nG0 X10 Y0\nG2 X10 Y0 I-10 J0 F600\n";
  struct Case {
    bool absolute;
    double minX;
  };
  for (const Case c : {Case{false, -10}, Case{true, -30}}) {
    konfig_.setChecked("chkAbsolutArcPos", c.absolute);
    auto p = wczytaj(program, "arc.nc");
    ASSERT_TRUE(wczytano_) << c.absolute;
    EXPECT_NEAR(p->GcodPar.minX, c.minX, 0.05) << c.absolute;
    EXPECT_NEAR(p->GcodPar.maxX, 10, 0.05) << c.absolute;
    EXPECT_DOUBLE_EQ(p->GcodPar.gF, 600) << c.absolute;
  }
}

TEST_F(Project, DxfExportWritesTheToolpathsInMillimetresAndTellsAFailedWrite) {
  auto p = wczytaj("SP1;PU0,0;PD4000,0,4000,4000,0,4000,0,0;PU;", "sq.plt");
  ASSERT_TRUE(wczytano_);
  ASSERT_FALSE(p->fig.empty());
  ASSERT_FALSE(p->fig[0]->sp.empty());

  const tDialogZapisuDXF d = p->dialogZapisuDXF();
  EXPECT_EQ(d.tytul, "Save output file as DXF");
  EXPECT_EQ(d.filtr, "DXF (*.dxf)|*.dxf|all files (*.*)|*.*");
  EXPECT_EQ(d.rozszerzenie, "dxf");
  EXPECT_EQ(d.folder, dir_.string());
  EXPECT_EQ(d.nazwa, (dir_ / "sq.dxf").string());

  // Cancelled: nothing written.
  EXPECT_EQ(p->pmZapiszJakoDXFClick([](const tDialogZapisuDXF&) { return std::string(); }), 0);
  EXPECT_FALSE(fs::exists(dir_ / "sq.dxf"));

  EXPECT_EQ(p->pmZapiszJakoDXFClick([](const tDialogZapisuDXF& dialog) { return dialog.nazwa; }), 0);
  std::ifstream in(dir_ / "sq.dxf", std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_EQ(text.rfind("  0\r\nSECTION\r\n  2\r\nENTITIES\r\n  0\r\nPOLYLINE\r\n  70\r\n8\r\n", 0), 0u) << text;
  // The first path point in millimetres (plot units / 40).
  const trpoint3d& q = p->fig[0]->sp.front();
  const std::string first = "  0\r\nVERTEX\r\n  10\r\n" + import::dxfCoordinateText(q.x / 40) + "\r\n  20\r\n" +
                            import::dxfCoordinateText(q.y / 40) + "\r\n  30\r\n" + import::dxfCoordinateText(q.z / 40) +
                            "\r\n";
  EXPECT_NE(text.find(first), std::string::npos) << first << text;
  EXPECT_TRUE(boxes_.messages().empty());

  const std::string unwritable = (dir_ / "no such folder" / "x.dxf").string();
  EXPECT_NE(p->pmZapiszJakoDXFClick([&](const tDialogZapisuDXF&) { return unwritable; }), 0);
  ASSERT_EQ(boxes_.messages().size(), 1u);
  EXPECT_TRUE(boxes_.messages()[0].error);
  EXPECT_NE(boxes_.messages()[0].text.find(unwritable), std::string::npos) << boxes_.messages()[0].text;
}

TEST_F(Project, DxfExportOfAProjectWithoutFiguresDoesNothing) {
  TMDIChild empty(konfig_, interfejs_);
  bool asked = false;
  EXPECT_EQ(empty.pmZapiszJakoDXFClick([&](const tDialogZapisuDXF&) {
    asked = true;
    return (dir_ / "e.dxf").string();
  }),
            0);
  EXPECT_FALSE(asked);
  EXPECT_FALSE(fs::exists(dir_ / "e.dxf"));
}

}  // namespace
}  // namespace trazvik
