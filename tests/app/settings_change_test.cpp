#include "app/settings_change.h"

#include "config/tdlgkonfig.h"
#include "project/open_project.h"
#include "texts/interfejs.h"
#include "texts/recording_message_boxes.h"

#include <gtest/gtest.h>

namespace trazvik::app {
namespace {

using Projekty = tPoZmianieUstawien::Projekty;

class SettingsChange : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(interfejs_.loadLanguageFile(std::string(TRAZVIK_SOURCE_DIR) + "/lang/", "US", "0.1"));
    for (const char* f : {"samples/star.plt", "samples/plate.dxf"}) {
      auto p = OtworzProjekt(std::string(TRAZVIK_SOURCE_DIR) + "/" + f, konfig_, interfejs_, {});
      ASSERT_NE(p, nullptr) << f;
      projekty_.push_back(std::move(p));
    }
    boxes_.clear();
  }
  std::vector<TMDIChild*> okna() {
    std::vector<TMDIChild*> v;
    for (auto& p : projekty_) v.push_back(p.get());
    return v;
  }

  TDlgkonfig konfig_;
  texts::RecordingMessageBoxes boxes_;
  texts::tInterfejs interfejs_{boxes_};
  std::vector<std::unique_ptr<TMDIChild>> projekty_;
};

TEST_F(SettingsChange, ChangedProjectTypeReopensInReverseWindowOrderOrClosesAll) {
  const int stary = konfig_.integer("ProjektType");
  konfig_.set("ProjektType", 1 - stary);
  konfig_.wazna_zmiana = true;

  boxes_.prepareAnswer(texts::DialogButton::Yes);
  tPoZmianieUstawien w = KonfiguracjaPoZamknieciu(okna(), stary, interfejs_);
  EXPECT_EQ(w.projekty, Projekty::OtworzPonownie);
  EXPECT_EQ(w.sciezki, (std::vector<std::string>{projekty_[1]->sciezka, projekty_[0]->sciezka}));
  ASSERT_EQ(boxes_.questions().size(), 1u);
  const std::string& q = boxes_.questions()[0].text;
  EXPECT_EQ(q.find(interfejs_.dajTxt("Main_window", "msgZmianaTypuProjektu1") + "\n\r"), 0u);
  EXPECT_NE(q.find(interfejs_.dajTxt("Configuration",
                                     stary == 0 ? "ProjektType.Items.Strings_1" : "ProjektType.Items.Strings_0") +
                   " ?"),
            std::string::npos);
  EXPECT_EQ(boxes_.questions()[0].buttons, texts::ButtonSet::yesNo());

  boxes_.prepareAnswer(texts::DialogButton::No);
  w = KonfiguracjaPoZamknieciu(okna(), stary, interfejs_);
  EXPECT_EQ(w.projekty, Projekty::ZamknijWszystkie);
  EXPECT_TRUE(w.sciezki.empty());

  // The type is not an important setting of its own; its change still asks.
  konfig_.wazna_zmiana = false;
  boxes_.prepareAnswer(texts::DialogButton::Yes);
  EXPECT_EQ(KonfiguracjaPoZamknieciu(okna(), stary, interfejs_).projekty, Projekty::OtworzPonownie);
}

TEST_F(SettingsChange, SameTypeRecomputesAndAsksForHatchingAgainOnlyAfterAnImportantChange) {
  const int typ = konfig_.integer("ProjektType");
  projekty_[0]->hasHatching = true;
  // A tool-radius outline the recomputation must replace.
  for (auto& f : projekty_[1]->fig) f->op.clear();

  konfig_.wazna_zmiana = false;
  EXPECT_EQ(KonfiguracjaPoZamknieciu(okna(), typ, interfejs_).projekty, Projekty::Zostaja);
  EXPECT_TRUE(boxes_.messages().empty());
  EXPECT_TRUE(projekty_[1]->fig[0]->op.empty());

  konfig_.wazna_zmiana = true;
  EXPECT_EQ(KonfiguracjaPoZamknieciu(okna(), typ, interfejs_).projekty, Projekty::Zostaja);
  EXPECT_TRUE(boxes_.questions().empty());
  ASSERT_EQ(boxes_.messages().size(), 1u);
  EXPECT_EQ(boxes_.messages()[0].text, interfejs_.dajTxt("Main_window", "msgWykonajKreskowaniePonownie"));
  EXPECT_EQ(boxes_.messages()[0].caption, "Uwaga");
  EXPECT_FALSE(projekty_[1]->fig[0]->op.empty());
}

TEST_F(SettingsChange, FrameCutFlagFollowsTheSettingAfterTheDialog) {
  auto& plate = *projekty_[1];
  if (!plate.jestRamka) GTEST_SKIP() << "the sample has no frame";
  tfigura* ramka = nullptr;
  for (auto& f : plate.fig)
    if (f->ramka) ramka = f.get();
  ASSERT_NE(ramka, nullptr);
  konfig_.wazna_zmiana = false;
  konfig_.setChecked("bezramki", true);
  KonfiguracjaPoZamknieciu(okna(), konfig_.integer("ProjektType"), interfejs_);
  EXPECT_FALSE(ramka->tocut);
  konfig_.setChecked("bezramki", false);
  konfig_.wazna_zmiana = false;
  KonfiguracjaPoZamknieciu(okna(), konfig_.integer("ProjektType"), interfejs_);
  EXPECT_TRUE(ramka->tocut);
}

}  // namespace
}  // namespace trazvik::app
