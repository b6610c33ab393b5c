#include "frame/qt_message_boxes.h"

#include "texts/console_message_boxes.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>

namespace trazvik::ui {
namespace {

bool onInterfaceThread() {
  return QCoreApplication::instance() == nullptr || QThread::currentThread() == QCoreApplication::instance()->thread();
}

QMessageBox::StandardButtons qtButtons(texts::ButtonSet buttons) {
  QMessageBox::StandardButtons result;
  if (buttons.has(texts::DialogButton::Yes)) result |= QMessageBox::Yes;
  if (buttons.has(texts::DialogButton::No)) result |= QMessageBox::No;
  if (buttons.has(texts::DialogButton::Ok)) result |= QMessageBox::Ok;
  if (buttons.has(texts::DialogButton::Cancel)) result |= QMessageBox::Cancel;
  return result;
}

// A box belongs to the window the operator works in (a dialog, the control
// panel), so that it opens above it, else to the program's main window.
QWidget* boxOwner(QWidget* fallback) {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  if (QWidget* active = QApplication::activeWindow()) return active;
  return fallback;
}

}  // namespace

QString dialogText(const std::string& text) { return QString::fromStdString(texts::consoleLineBreaks(text)); }

QtMessageBoxes::QtMessageBoxes() = default;

void QtMessageBoxes::showMessage(const std::string& text, bool error, const std::string& caption) {
  const QString qtext = dialogText(text);
  const QString qcaption = QString::fromStdString(caption);
  if (onInterfaceThread()) {
    showMessageHere(qtext, error, qcaption);
    return;
  }
  QMetaObject::invokeMethod(
      this, [&] { showMessageHere(qtext, error, qcaption); }, Qt::BlockingQueuedConnection);
}

texts::DialogButton QtMessageBoxes::confirm(const std::string& question, texts::ButtonSet buttons) {
  if (buttons.empty()) buttons = texts::ButtonSet{texts::DialogButton::Ok};
  const QString qquestion = dialogText(question);
  if (onInterfaceThread()) return confirmHere(qquestion, buttons);
  texts::DialogButton answer = texts::cautiousAnswer(buttons);
  QMetaObject::invokeMethod(
      this, [&] { answer = confirmHere(qquestion, buttons); }, Qt::BlockingQueuedConnection);
  return answer;
}

void QtMessageBoxes::showMessageHere(const QString& text, bool error, const QString& caption) {
  QMessageBox box(error ? QMessageBox::Critical : QMessageBox::Information, caption, text, QMessageBox::Ok,
                  boxOwner(owner_.data()));
  box.exec();
}

texts::DialogButton QtMessageBoxes::confirmHere(const QString& question, texts::ButtonSet buttons) {
  QMessageBox box(QMessageBox::Question, QApplication::applicationName(), question, qtButtons(buttons),
                  boxOwner(owner_.data()));
  const int pressed = box.exec();
  switch (pressed) {
    case QMessageBox::Yes: return texts::DialogButton::Yes;
    case QMessageBox::No: return texts::DialogButton::No;
    case QMessageBox::Ok: return texts::DialogButton::Ok;
    case QMessageBox::Cancel: return texts::DialogButton::Cancel;
    default: return texts::cautiousAnswer(buttons);  // closed with the window's own button
  }
}

}  // namespace trazvik::ui
