#include "dialogs/settings_binder.h"

#include "dialogs/flt_edit_widget.h"
#include "dialogs/radio_group_box.h"

#include <QCheckBox>
#include <QRadioButton>
#include <QSlider>

namespace trazvik::ui {

namespace {

std::string nameOf(const QWidget* widget) { return widget->objectName().toStdString(); }

}  // namespace

SettingsBinder::SettingsBinder(TDlgkonfig& settings, QWidget* root) : QObject(root), settings_(settings), root_(root) {}

bool SettingsBinder::canHoldSetting(const QWidget* widget) {
  return qobject_cast<const TFltEdit*>(widget) || qobject_cast<const QCheckBox*>(widget) ||
         qobject_cast<const RadioGroupBox*>(widget) || qobject_cast<const QSlider*>(widget) ||
         (qobject_cast<const QRadioButton*>(widget) && !qobject_cast<const RadioGroupBox*>(widget->parentWidget()));
}

QList<QWidget*> SettingsBinder::namedSettingWidgets(QWidget* root) {
  QList<QWidget*> found;
  for (QWidget* widget : root->findChildren<QWidget*>()) {
    if (!widget->objectName().isEmpty() && canHoldSetting(widget)) found.push_back(widget);
  }
  return found;
}

void SettingsBinder::bind() {
  for (QWidget* widget : namedSettingWidgets(root_)) {
    if (!config::findSetting(nameOf(widget))) continue;
    bound_.push_back(widget);
    const auto changed = [this, widget] {
      if (!refreshing_) apply(widget);
    };
    if (auto* field = qobject_cast<TFltEdit*>(widget)) {
      connect(field, &TFltEdit::edited, this, changed);
      connect(field, &TFltEdit::clicked, this, [this, widget] { settings_.fieldClicked(nameOf(widget)); });
    } else if (auto* box = qobject_cast<QCheckBox*>(widget)) {
      connect(box, &QCheckBox::clicked, this, changed);
    } else if (auto* radio = qobject_cast<QRadioButton*>(widget)) {
      connect(radio, &QRadioButton::clicked, this, changed);
    } else if (auto* group = qobject_cast<RadioGroupBox*>(widget)) {
      connect(group, &RadioGroupBox::indexChosen, this, changed);
    } else if (auto* slider = qobject_cast<QSlider*>(widget)) {
      connect(slider, &QSlider::valueChanged, this, changed);
    }
  }
  refresh();
}

// One operator change, applied by name; the settings model does the rest
// (clamping, units, option groups, important-change flag).
void SettingsBinder::apply(QWidget* widget) {
  const std::string name = nameOf(widget);
  if (auto* field = qobject_cast<TFltEdit*>(widget)) {
    settings_.enterText(name, field->model().text());
  } else if (auto* box = qobject_cast<QCheckBox*>(widget)) {
    // A grayed state only comes from a settings file; the operator's click
    // makes the box a plain one again.
    const bool checked = box->checkState() == Qt::Checked;
    box->setTristate(false);
    settings_.setChecked(name, checked);
  } else if (auto* radio = qobject_cast<QRadioButton*>(widget)) {
    settings_.setChecked(name, radio->isChecked());
  } else if (auto* group = qobject_cast<RadioGroupBox*>(widget)) {
    settings_.set(name, group->index());
  } else if (auto* slider = qobject_cast<QSlider*>(widget)) {
    settings_.set(name, slider->value());
  }
  refresh();
  if (afterEdit) afterEdit(QString::fromStdString(name));
}

void SettingsBinder::refresh() {
  refreshing_ = true;
  for (QWidget* widget : bound_) show(widget);
  refreshing_ = false;
}

void SettingsBinder::show(QWidget* widget) {
  const std::string name = nameOf(widget);
  if (auto* field = qobject_cast<TFltEdit*>(widget)) {
    if (const config::TFltEdit* model = settings_.field(name)) field->assign(*model);
  } else if (auto* box = qobject_cast<QCheckBox*>(widget)) {
    const CheckState state = settings_.checkState(name);
    if (state == CheckState::Grayed) box->setTristate(true);
    box->setCheckState(state == CheckState::Checked  ? Qt::Checked
                       : state == CheckState::Grayed ? Qt::PartiallyChecked
                                                     : Qt::Unchecked);
  } else if (auto* radio = qobject_cast<QRadioButton*>(widget)) {
    radio->setChecked(settings_.flag(name));
  } else if (auto* group = qobject_cast<RadioGroupBox*>(widget)) {
    group->setIndex(settings_.integer(name));
  } else if (auto* slider = qobject_cast<QSlider*>(widget)) {
    slider->setRange(int(settings_.minOf(name)), int(settings_.maxOf(name)));
    slider->setValue(settings_.integer(name));
  }
}

}  // namespace trazvik::ui
