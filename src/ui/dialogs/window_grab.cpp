#include "dialogs/settings_dialog.h"

#include "dialogs/window_grab.h"

#include <QApplication>
#include <QPixmap>
#include <QScrollArea>
#include <QTabWidget>
#include <QWidget>

namespace trazvik::ui {

bool grabWindowToPng(QWidget* window, const QString& path) {
  const bool wasVisible = window->isVisible();
  if (!wasVisible) {
    window->setAttribute(Qt::WA_DontShowOnScreen, true);
    window->show();
  }
  window->ensurePolished();
  QApplication::processEvents();
  const bool written = window->grab().save(path, "PNG");
  if (!wasVisible) {
    window->hide();
    window->setAttribute(Qt::WA_DontShowOnScreen, false);
  }
  return written;
}

QStringList grabSettingsDialogPages(SettingsDialog& dialog, const QString& prefix) {
  QStringList written;
  QTabWidget* tabs = dialog.tabs();
  const int current = tabs->currentIndex();
  for (int i = 0; i < tabs->count(); ++i) {
    if (!tabs->isTabVisible(i)) continue;
    tabs->setCurrentIndex(i);
    auto* scroll = qobject_cast<QScrollArea*>(tabs->widget(i));
    const QString name = scroll && scroll->widget() ? scroll->widget()->objectName() : QString::number(i);
    const QString path = prefix + "_" + name + ".png";
    if (grabWindowToPng(&dialog, path)) written << path;
  }
  tabs->setCurrentIndex(current);
  return written;
}

}  // namespace trazvik::ui
