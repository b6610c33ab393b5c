#include "layers/warstwy.h"

#include "geometry/units.h"
#include "texts/interfejs.h"
#include "texts/recording_message_boxes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace trazvik {
namespace {

namespace fs = std::filesystem;

struct Fig {
  int org_color = 0;
  double width = 0;
  bool ramka = false;
};

class LayerFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::path(::testing::TempDir()) /
           ("trazvik_layers_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string path(const std::string& name) const { return (dir_ / name).string(); }
  static std::string read(const std::string& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }
  static void write(const std::string& p, const std::string& text) { std::ofstream(p, std::ios::binary) << text; }

  fs::path dir_;
};

TEST_F(LayerFile, WritesTheExactFormForAMillingMachineWithTwoHeads) {
  tWarstwy w;
  w.ustawMaszyne(2, 24000);
  w.create(std::vector<Fig>{{3, 0.5}, {1, 0.00001}}, path("plate.dxf"), false, 18000, 1500, 2.5, kFileTypeDxf);
  w.layer[3].srednicaFrezu = 3.175;
  w.layer[3].aktywna = false;
  w.setLayerOrder(3, 1);
  w.setLayerOrder(1, 2);
  w.layer[1].glebokosc = 0.00001;
  w.EnableSorting();
  ASSERT_TRUE(w.SaveToFile(path("plate.lyr")));
  EXPECT_EQ(w.getLoadedSavedPath(), path("plate.lyr"));
  const std::string expected =
      "[ProjectPath]\r\nProject file=" + path("plate.dxf") +
      "\r\n"
      "\r\n[Layer 3]\r\norg_color=3\r\ncolor=65280\r\nmilling depth=2.5\r\nspeed=1500\r\n"
      "spindle rotations=18000\r\nspindle=1\r\nfraise diameter=3.175\r\nactive=0\r\norder=1\r\n"
      "\r\n[Layer 1]\r\norg_color=1\r\ncolor=255\r\nmilling depth=1E-5\r\nspeed=1500\r\n"
      "spindle rotations=18000\r\nspindle=1\r\nfraise diameter=0\r\nactive=1\r\norder=2\r\n";
  EXPECT_EQ(read(path("plate.lyr")), expected);
}

TEST_F(LayerFile, LaserAndOneHeadLeaveOutMillingKeys) {
  for (const bool laser : {true, false}) {
    tWarstwy w;
    w.ustawMaszyne(1, 24000);
    w.create(std::vector<Fig>{{2}}, "", laser, 0, 900, 40, kFileTypeHpgl);
    ASSERT_TRUE(w.SaveToFile(path("x.lyr")));
    const std::string text = read(path("x.lyr"));
    EXPECT_EQ(text.find("ProjectPath"), std::string::npos);
    EXPECT_EQ(text.find("fraise diameter"), std::string::npos);
    EXPECT_EQ(text.find("power=") != std::string::npos, laser);
    EXPECT_EQ(text.find("milling depth=") != std::string::npos, !laser);
    EXPECT_EQ(text.find("spindle") != std::string::npos, !laser);
  }
}

TEST_F(LayerFile, SaveThenLoadRestoresEveryEditableField) {
  const std::vector<Fig> figs{{1}, {5}, {9}};
  tWarstwy a;
  a.ustawMaszyne(3, 24000);
  a.create(figs, path("p.plt"), false, 18000, 1500, 2.5, kFileTypeDxf);
  const struct {
    int key;
    double depth;
    int speed, rot, head;
    double dia;
    bool active;
    int order;
  } edits[] = {{1, 0.1, 700, 9000, 2, 6.35, false, 3},
               {5, 12.000000000001, 3000, 24000, 3, 1e-3, true, 1},
               {9, 0, 1, 1, 1, 0, true, 2}};
  for (const auto& e : edits) {
    tWarstwa x = a.layer[static_cast<std::size_t>(e.key)];
    x.glebokosc = e.depth;
    x.szybkosc = e.speed;
    x.obroty = e.rot;
    x.glowica = static_cast<std::uint8_t>(e.head);
    x.srednicaFrezu = e.dia;
    x.aktywna = e.active;
    x.kolejnosc = e.order;
    a.setLayer(x, false);
  }
  ASSERT_TRUE(a.SaveToFile(a.DajSciezkeDomyslnaDoZapisuWarstw()));

  // A fresh table for the same design loads the default layer file itself.
  tWarstwy b;
  b.ustawMaszyne(3, 24000);
  b.create(figs, path("p.plt"), false, 1, 1, 1, kFileTypeDxf);
  EXPECT_TRUE(b.CanSort());
  EXPECT_EQ(b.getLoadedSavedPath(), path("p.lyr"));
  for (const auto& e : edits) {
    EXPECT_EQ(b.getGlebokosc(e.key), e.depth) << e.key;
    EXPECT_EQ(b.getSzybkosc(e.key), e.speed) << e.key;
    EXPECT_EQ(b.getObroty(e.key), e.rot) << e.key;
    EXPECT_EQ(b.getGlowica(e.key), e.head) << e.key;
    EXPECT_EQ(b.getSrednicaFrezu(e.key), e.dia) << e.key;
    EXPECT_EQ(b.getAktywna(e.key), e.active) << e.key;
    EXPECT_EQ(b.getKolejnosc(e.key), e.order) << e.key;
  }
}

TEST_F(LayerFile, LoadTakesDefaultsForMissingOrBadValuesAndIgnoresForeignLayers) {
  write(path("d.lyr"),
        "[Layer 1]\r\nmilling depth=deep\r\nspeed=\r\nspindle=300\r\n"
        "[layer 2]\r\nmilling depth=4.5\r\nspeed=800\r\nspindle rotations=9000\r\nspindle=2\r\n"
        "fraise diameter=6\r\nactive=0\r\norder=7\r\ncolor=1\r\norg_color=9\r\n"
        "[Layer 77]\r\nspeed=5\r\n");
  tWarstwy w;
  w.ustawMaszyne(1, 24000);
  w.create(std::vector<Fig>{{1}, {2}, {3}}, "", false, 18000, 1500, 2.5, kFileTypeDxf);
  const tKolor kolor2 = w.layer[2].kolor;
  ASSERT_TRUE(w.LoadFromFile(path("d.lyr")));
  EXPECT_EQ(w.getGlebokosc(1), 0);  // not a number
  EXPECT_EQ(w.getSzybkosc(1), 0);
  EXPECT_EQ(w.getObroty(1), 0);
  EXPECT_EQ(w.getGlowica(1), 1);  // not a head number
  EXPECT_TRUE(w.getAktywna(1));
  EXPECT_EQ(w.getGlebokosc(2), 4.5);
  EXPECT_EQ(w.getSzybkosc(2), 800);
  EXPECT_EQ(w.getGlowica(2), 2);
  EXPECT_EQ(w.getSrednicaFrezu(2), 0);  // one head: diameters are not read
  EXPECT_FALSE(w.getAktywna(2));
  EXPECT_EQ(w.getKolejnosc(2), 7);
  EXPECT_EQ(w.layer[2].kolor, kolor2);  // colour is not read back
  // Layer 3 has no section: keeps what the figures gave it.
  EXPECT_EQ(w.getGlebokosc(3), 2.5);
  EXPECT_EQ(w.getSzybkosc(3), 1500);
  // Layer 77 does not occur in the project.
  EXPECT_FALSE(w.layer[77].wystepuje);
  EXPECT_EQ(w.getSzybkosc(77), 0);
}

TEST_F(LayerFile, LaserReadsPower) {
  write(path("l.lyr"), "[Layer 4]\r\npower=55.5\r\nmilling depth=3\r\nspindle=2\r\nspindle rotations=5\r\n");
  tWarstwy w;
  w.create(std::vector<Fig>{{4}}, "", true, 0, 1500, 10, kFileTypeDxf);
  ASSERT_TRUE(w.LoadFromFile(path("l.lyr")));
  EXPECT_EQ(w.getMoc(4), 55.5);
  EXPECT_EQ(w.getGlowica(4), 1);
  EXPECT_EQ(w.getObroty(4), 0);
}

TEST_F(LayerFile, MissingFileAndEmptyPathLoadNothing) {
  tWarstwy w;
  w.create(std::vector<Fig>{{4}}, path("none.plt"), false, 1, 2, 3, kFileTypeHpgl);
  EXPECT_FALSE(w.CanSort());
  EXPECT_FALSE(w.LoadFromFile(path("none.lyr")));
  EXPECT_FALSE(w.LoadFromFile(""));
  EXPECT_FALSE(w.LoadFromFile(dir_.string()));  // a folder is not a layer file
  EXPECT_EQ(w.getLoadedSavedPath(), "");
  EXPECT_FALSE(w.SaveToFile(""));
}

TEST_F(LayerFile, FailedSaveTellsTheOperatorAndKeepsThePreviousPath) {
  texts::RecordingMessageBoxes boxes;
  texts::tInterfejs interfejs(boxes);
  tWarstwy w;
  w.ustawInterfejs(&interfejs);
  w.create(std::vector<Fig>{{4}}, "", false, 1, 2, 3, kFileTypeHpgl);
  ASSERT_TRUE(w.SaveToFile(path("ok.lyr")));
  EXPECT_FALSE(w.SaveToFile(path("no such folder/x.lyr")));
  EXPECT_EQ(w.getLoadedSavedPath(), path("ok.lyr"));
  ASSERT_EQ(boxes.messages().size(), 1u);
  EXPECT_TRUE(boxes.messages()[0].error);
  EXPECT_NE(boxes.messages()[0].text.find(path("no such folder/x.lyr")), std::string::npos);
  EXPECT_NE(boxes.messages()[0].text.find("\r\n\r\n"), std::string::npos);
}

}  // namespace
}  // namespace trazvik
