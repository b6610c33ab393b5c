// An option group: a titled box of option buttons whose value is the
// 0-based index of the selected item (-1: none).
#pragma once

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;

namespace trazvik::ui {

class RadioGroupBox : public QGroupBox {
  Q_OBJECT
 public:
  RadioGroupBox(QWidget* parent, const QString& title, const QStringList& items, int columns = 1);

  int index() const;
  void setIndex(int index);
  int count() const;
  void setItemText(int index, const QString& text);

 signals:
  // The operator chose an item.
  void indexChosen(int index);

 private:
  QButtonGroup* buttons_;
};

}  // namespace trazvik::ui
