#include "dialogs/radio_group_box.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>

namespace trazvik::ui {

RadioGroupBox::RadioGroupBox(QWidget* parent, const QString& title, const QStringList& items, int columns)
    : QGroupBox(title, parent), buttons_(new QButtonGroup(this)) {
  auto* layout = new QGridLayout(this);
  const int rows = (int(items.size()) + columns - 1) / std::max(1, columns);
  for (int i = 0; i < items.size(); ++i) {
    auto* button = new QRadioButton(items[i], this);
    buttons_->addButton(button, i);
    layout->addWidget(button, i % std::max(1, rows), i / std::max(1, rows));
  }
  connect(buttons_, &QButtonGroup::idClicked, this, &RadioGroupBox::indexChosen);
}

int RadioGroupBox::index() const { return buttons_->checkedId(); }

int RadioGroupBox::count() const { return int(buttons_->buttons().size()); }

void RadioGroupBox::setIndex(int index) {
  if (index == buttons_->checkedId()) return;
  if (QAbstractButton* button = buttons_->button(index)) {
    button->setChecked(true);
    return;
  }
  // No item: the exclusive group would keep one checked.
  buttons_->setExclusive(false);
  for (QAbstractButton* button : buttons_->buttons()) button->setChecked(false);
  buttons_->setExclusive(true);
}

void RadioGroupBox::setItemText(int index, const QString& text) {
  if (QAbstractButton* button = buttons_->button(index)) button->setText(text);
}

}  // namespace trazvik::ui
