// The widget tests need one QApplication for the whole run; the offscreen
// platform is chosen when nothing else was asked for, so the tests also run
// without a display when started by hand. A modal answer a test asked for
// and did not use ends with the test.
#include "modal_answer.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  struct EndModalAnswers : ::testing::EmptyTestEventListener {
    void OnTestEnd(const ::testing::TestInfo&) override { trazvik::ui::testing::cancelPendingModalAnswers(); }
  };
  ::testing::UnitTest::GetInstance()->listeners().Append(new EndModalAnswers);
  return RUN_ALL_TESTS();
}
