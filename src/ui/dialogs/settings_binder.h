// The one binder between the settings (TDlgkonfig) and the widgets of a
// window: a widget whose object name is a setting's name and whose kind can
// hold it (numeric field, checkbox, option button, option group, slider)
// shows that setting, and an operator's change of it is applied to the
// setting by name, with all the effects the settings model gives a change.
#pragma once

#include "config/tdlgkonfig.h"

#include <QList>
#include <QObject>
#include <QString>

#include <functional>

class QWidget;

namespace trazvik::ui {

class SettingsBinder : public QObject {
  Q_OBJECT
 public:
  SettingsBinder(TDlgkonfig& settings, QWidget* root);

  // Widgets under `root` that can hold a setting and carry an object name.
  static QList<QWidget*> namedSettingWidgets(QWidget* root);
  static bool canHoldSetting(const QWidget* widget);

  // Connects every named setting widget; unknown names are ignored here
  // (the catalogue test finds them).
  void bind();
  // Copies every setting (value, limits, unit, format) into its widget.
  void refresh();
  bool refreshing() const { return refreshing_; }

  // Called after an operator's change has been applied and shown.
  std::function<void(const QString& name)> afterEdit;

 private:
  void apply(QWidget* widget);
  void show(QWidget* widget);

  TDlgkonfig& settings_;
  QWidget* root_;
  QList<QWidget*> bound_;
  bool refreshing_ = false;
};

}  // namespace trazvik::ui
