#include "dialogs/touch_keypad.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace trazvik::ui {

std::function<std::optional<QString>(const QString&)> TouchKeypad::replacement;

TouchKeypad::TouchKeypad(QWidget* parent, const QString& text, QChar separator, bool big)
    : QDialog(parent), separator_(separator) {
  setObjectName("TouchKeypad");
  setWindowTitle(QStringLiteral("123"));
  const int keySize = big ? 72 : 40;
  QFont keyFont = font();
  keyFont.setPointSize(big ? 20 : 11);

  display_ = new QLineEdit(text, this);
  display_->setObjectName("keypadDisplay");
  display_->setAlignment(Qt::AlignRight);
  display_->setFont(keyFont);

  auto* grid = new QGridLayout;
  grid->setSpacing(big ? 8 : 4);
  const QString keys[5][3] = {
      {"7", "8", "9"}, {"4", "5", "6"}, {"1", "2", "3"}, {"+/-", "0", QString(separator)}, {"C", "<-", {}}};
  for (int row = 0; row < 5; ++row) {
    for (int column = 0; column < 3; ++column) {
      const QString key = keys[row][column];
      if (key.isEmpty()) continue;
      auto* button = new QPushButton(key, this);
      button->setObjectName("key_" + key);
      button->setFont(keyFont);
      button->setFixedSize(keySize, keySize);
      button->setFocusPolicy(Qt::NoFocus);
      connect(button, &QPushButton::clicked, this, [this, key] { press(key); });
      grid->addWidget(button, row, column);
    }
  }
  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName("keypadOk");
  ok->setDefault(true);
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
  cancel->setObjectName("keypadCancel");
  for (QPushButton* button : {ok, cancel}) {
    button->setFont(keyFont);
    button->setMinimumHeight(keySize);
  }
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  auto* actions = new QHBoxLayout;
  actions->addWidget(ok);
  actions->addWidget(cancel);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(display_);
  layout->addLayout(grid);
  layout->addLayout(actions);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

QString TouchKeypad::text() const { return display_->text(); }

void TouchKeypad::press(const QString& key) {
  QString text = display_->text();
  if (key == "C") {
    text.clear();
  } else if (key == "<-") {
    text.chop(1);
  } else if (key == "+/-") {
    if (text.startsWith('-')) {
      text.remove(0, 1);
    } else {
      if (text.startsWith('+')) text.remove(0, 1);
      text.prepend('-');
    }
  } else if (key == QString(separator_)) {
    if (!text.contains(separator_)) text += separator_;
  } else {
    text += key;
  }
  display_->setText(text);
}

std::optional<QString> TouchKeypad::ask(QWidget* parent, const QString& text, QChar separator, bool big,
                                        QPoint topLeft) {
  if (replacement) return replacement(text);
  TouchKeypad pad(parent, text, separator, big);
  pad.move(topLeft);
  if (pad.exec() != QDialog::Accepted) return std::nullopt;
  return pad.text();
}

}  // namespace trazvik::ui
