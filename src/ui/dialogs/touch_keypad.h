// The on-screen keypad of the numeric fields: digits, the decimal
// separator, sign, backspace and clear, in a normal or a large size for
// touch screens. It returns the typed text when the operator confirms.
#pragma once

#include <QDialog>
#include <QPoint>
#include <QString>

#include <functional>
#include <optional>

class QLineEdit;

namespace trazvik::ui {

class TouchKeypad : public QDialog {
  Q_OBJECT
 public:
  TouchKeypad(QWidget* parent, const QString& text, QChar separator, bool big);

  QString text() const;
  // Presses a key of the pad: a digit, the separator, "+/-", "<-" (backspace) or "C".
  void press(const QString& key);

  // Shows the keypad modally at `topLeft` (global coordinates); the typed
  // text when confirmed, nothing when cancelled. Tests (and scripts) can
  // replace the window by setting `replacement`.
  static std::optional<QString> ask(QWidget* parent, const QString& text, QChar separator, bool big, QPoint topLeft);
  static std::function<std::optional<QString>(const QString& text)> replacement;

 private:
  QLineEdit* display_;
  QChar separator_;
};

}  // namespace trazvik::ui
