#include "frame/qt_message_boxes.h"

#include "modal_answer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace trazvik::ui {
namespace {

using testing::pressInNextBox;
using testing::SeenBox;
using texts::ButtonSet;
using texts::DialogButton;

TEST(QtMessageBoxes, MessageShowsCaptionIconAndPlainLineBreaks) {
  QtMessageBoxes boxes;
  struct Case {
    bool error;
    QMessageBox::Icon icon;
  };
  for (const Case c : {Case{true, QMessageBox::Critical}, Case{false, QMessageBox::Information}}) {
    SeenBox seen;
    pressInNextBox(QMessageBox::Ok, &seen);
    boxes.showMessage("first line\n\rsecond\r\nthird", c.error, "Configuration error");
    ASSERT_TRUE(seen.seen);
    EXPECT_EQ(seen.title, "Configuration error");
    EXPECT_EQ(seen.text, "first line\nsecond\nthird");
    EXPECT_EQ(seen.icon, c.icon);
    EXPECT_EQ(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
  }
}

TEST(QtMessageBoxes, ConfirmationReturnsThePressedButtonAndOffersOnlyTheSet) {
  QtMessageBoxes boxes;
  struct Case {
    ButtonSet set;
    QMessageBox::StandardButton press;
    DialogButton expected;
    QMessageBox::StandardButtons offered;
  };
  const Case cases[] = {
      {ButtonSet::yesNo(), QMessageBox::Yes, DialogButton::Yes, QMessageBox::Yes | QMessageBox::No},
      {ButtonSet::yesNo(), QMessageBox::No, DialogButton::No, QMessageBox::Yes | QMessageBox::No},
      {ButtonSet::yesNoCancel(), QMessageBox::Cancel, DialogButton::Cancel,
       QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel},
      {ButtonSet::okCancel(), QMessageBox::Ok, DialogButton::Ok, QMessageBox::Ok | QMessageBox::Cancel},
  };
  for (const Case& c : cases) {
    SeenBox seen;
    pressInNextBox(c.press, &seen);
    EXPECT_EQ(boxes.confirm("Change the project type?", c.set), c.expected);
    EXPECT_EQ(seen.buttons, c.offered);
  }
}

TEST(QtMessageBoxes, QuestionFromWorkerThreadIsAskedOnTheInterfaceThread) {
  QtMessageBoxes boxes;
  SeenBox seen;
  pressInNextBox(QMessageBox::No, &seen);
  DialogButton answer = DialogButton::Ok;
  std::atomic<bool> done = false;
  std::thread worker([&] {
    answer = boxes.confirm("from the loader", ButtonSet::yesNo());
    done = true;
  });
  // The worker waits for the interface thread, which must keep its events flowing.
  QElapsedTimer clock;
  clock.start();
  while (!done && clock.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  worker.join();
  EXPECT_TRUE(seen.seen);
  EXPECT_EQ(seen.text, "from the loader");
  EXPECT_EQ(answer, DialogButton::No);
}

}  // namespace
}  // namespace trazvik::ui
