// A bitmap opened as a project: the picture, the engraved size from the
// width and the picture's aspect, and a damaged file told with its reason.
#include "project/open_project.h"
#include "project/tmdichild.h"

#include "config/tdlgkonfig.h"
#include "geometry/units.h"
#include "texts/interfejs.h"
#include "texts/recording_message_boxes.h"

#include "../common/temp_folder.h"
#include "../import/bmp_fixtures.h"

#include <gtest/gtest.h>

namespace trazvik {
namespace {

class BitmapProject : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(interfejs_.loadLanguageFile(std::string(TRAZVIK_SOURCE_DIR) + "/lang/", "US", "0.1"));
  }

  std::string write(const std::string& name, std::vector<std::uint8_t> bytes) {
    const auto path = folder_ / name;
    trazvik::testing::writeFile(path, std::string(bytes.begin(), bytes.end()));
    return path.string();
  }

  std::unique_ptr<TMDIChild> open(const std::string& path) {
    tOtwieranieProjektu o;
    o.widok.zamknij = [this] { ++closed_; };
    return OtworzProjekt(path, konfig_, interfejs_, o);
  }

  trazvik::testing::TempFolder folder_;
  TDlgkonfig konfig_;
  texts::RecordingMessageBoxes boxes_;
  texts::tInterfejs interfejs_{boxes_};
  int closed_ = 0;
};

trazvik::testing::BmpLayout fourByTwo() {
  return {40, 4, 2, 24, 0, false, {}, 0, {}, {0, 0xFFFFFF, 0, 0xFFFFFF, 0x808080, 0, 0, 0}, {}};
}

TEST_F(BitmapProject, TheHeightFollowsTheWidthByTheAspect) {
  konfig_.set("SzerokoscObrazu", 60);
  konfig_.set("WysokoscObrazu", 5);
  auto p = open(write("four.bmp", trazvik::testing::bmpFile(fourByTwo())));
  ASSERT_NE(p, nullptr) << (boxes_.messages().empty() ? "" : boxes_.messages()[0].text);
  EXPECT_EQ(p->ImportFileType, kFileTypeBitmap);
  ASSERT_NE(p->obraz, nullptr);
  EXPECT_EQ(p->obrazSzerokosc, 4);
  EXPECT_EQ(p->obrazWysokosc, 2);
  EXPECT_EQ(p->obraz->red(1, 0), 255);
  EXPECT_EQ(p->obraz->red(0, 1), 128);
  EXPECT_DOUBLE_EQ(konfig_.real("WysokoscObrazu"), 30);
  EXPECT_DOUBLE_EQ(konfig_.real("SzerokoscObrazu"), 60);
  EXPECT_DOUBLE_EQ(p->size_x, 60);
  EXPECT_DOUBLE_EQ(p->size_y, 30);
  EXPECT_TRUE(p->fig.empty());
  EXPECT_TRUE(boxes_.messages().empty());
}

TEST_F(BitmapProject, ADamagedFileIsToldWithItsPathAndReason) {
  std::vector<std::uint8_t> bytes = trazvik::testing::bmpFile(fourByTwo());
  bytes.resize(bytes.size() - 4);
  const std::string path = write("cut.bmp", bytes);
  EXPECT_EQ(open(path), nullptr);
  ASSERT_EQ(boxes_.messages().size(), 1u);
  EXPECT_TRUE(boxes_.messages()[0].error);
  EXPECT_NE(boxes_.messages()[0].text.find(path + ": truncated"), std::string::npos) << boxes_.messages()[0].text;
  EXPECT_EQ(closed_, 1);
}

}  // namespace
}  // namespace trazvik
