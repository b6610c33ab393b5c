#pragma once
// Answers the next modal dialog the code under test opens: a timer looks
// for the active modal widget and hands it to `answer`, which closes it.
#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

namespace trazvik::ui::testing {

// An answer belongs to the test that asked for it. One still waiting when its
// test ends (the test expected no box) would otherwise answer a box of the
// next test and write into the ended test's variables; the test runner calls
// cancelPendingModalAnswers() after every test.
inline int& modalAnswerGeneration() {
  static int generation = 0;
  return generation;
}
inline void cancelPendingModalAnswers() { ++modalAnswerGeneration(); }

inline void answerNextModal(std::function<void(QWidget*)> answer, int timeoutMs = 5000) {
  auto clock = std::make_shared<QElapsedTimer>();
  clock->start();
  auto poll = std::make_shared<std::function<void()>>();
  const int generation = modalAnswerGeneration();
  *poll = [answer, clock, poll, timeoutMs, generation] {
    if (generation != modalAnswerGeneration()) {
      *poll = nullptr;
      return;
    }
    if (QWidget* modal = QApplication::activeModalWidget()) {
      answer(modal);
      *poll = nullptr;
      return;
    }
    if (clock->elapsed() > timeoutMs) {
      *poll = nullptr;  // nothing appeared: the test's own checks fail
      return;
    }
    QTimer::singleShot(10, [poll] {
      if (*poll) (*poll)();
    });
  };
  QTimer::singleShot(0, [poll] {
    if (*poll) (*poll)();
  });
}

// Presses the standard button of the next message box and records what the
// box showed.
struct SeenBox {
  QString title;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QMessageBox::StandardButtons buttons;
  bool seen = false;
};

inline void pressInNextBox(QMessageBox::StandardButton button, SeenBox* seen = nullptr) {
  answerNextModal([button, seen](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (box == nullptr) {
      modal->close();
      return;
    }
    if (seen != nullptr) {
      seen->title = box->windowTitle();
      seen->text = box->text();
      seen->icon = box->icon();
      seen->buttons = box->standardButtons();
      seen->seen = true;
    }
    if (QAbstractButton* b = box->button(button))
      b->click();
    else
      box->done(QMessageBox::Cancel);
  });
}

}  // namespace trazvik::ui::testing
