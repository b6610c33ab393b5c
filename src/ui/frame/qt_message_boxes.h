#pragma once
#include "texts/message_boxes.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace trazvik::ui {

// The message and confirmation boxes of the desktop program: modal Qt
// dialogs owned by the main window. A call from a worker thread (loading a
// big file, the link's event thread) is carried over to the interface thread
// and waits there for the operator's answer, so the core may speak from any
// thread.
class QtMessageBoxes : public QObject, public texts::MessageBoxes {
  Q_OBJECT
 public:
  QtMessageBoxes();

  // The window that owns the boxes; none until the main window exists.
  void setOwner(QWidget* owner) { owner_ = owner; }
  QWidget* owner() const { return owner_; }

  void showMessage(const std::string& text, bool error, const std::string& caption) override;
  texts::DialogButton confirm(const std::string& question, texts::ButtonSet buttons) override;

 private:
  void showMessageHere(const QString& text, bool error, const QString& caption);
  texts::DialogButton confirmHere(const QString& question, texts::ButtonSet buttons);

  QPointer<QWidget> owner_;
};

// The program's line breaks ("\r\n", "\n\r", a lone "\r") as plain "\n".
QString dialogText(const std::string& text);

}  // namespace trazvik::ui
