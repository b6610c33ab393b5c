// Pictures of windows for the documentation and the screenshot script:
// a window is laid out (shown off screen when it is not on screen) and
// rendered into a PNG file.
#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace trazvik::ui {

class SettingsDialog;

// Renders `window` as it looks into `path` (PNG). False when the file
// cannot be written.
bool grabWindowToPng(QWidget* window, const QString& path);

// One picture per visible tab page of the settings dialog, named
// `prefix` + "_" + the page's component name + ".png"; returns the files written.
QStringList grabSettingsDialogPages(SettingsDialog& dialog, const QString& prefix);

}  // namespace trazvik::ui
