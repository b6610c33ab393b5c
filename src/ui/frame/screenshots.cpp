#include "frame/screenshots.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QScreen>
#include <QTimer>

#include <cstdio>

namespace trazvik::ui {
namespace {

void settle() {
  for (int i = 0; i < 10; ++i) QApplication::processEvents(QEventLoop::AllEvents, 20);
}

}  // namespace

bool Screenshots::takeNow(const QString& folder) {
  if (!QDir().mkpath(folder)) {
    std::fprintf(stderr, "cannot create %s\n", qPrintable(folder));
    return false;
  }
  bool all = true;
  // Window captions are not in the pictures (no window manager draws them):
  // they go into a text file beside them.
  QFile captions(QDir(folder).filePath("captions.txt"));
  const bool captionsOpen = captions.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text);
  // TRAZVIK_SCREENSHOTS_ONLY="a,b": only those pictures (a later run of
  // the script needs a few of another machine).
  const QStringList only = qEnvironmentVariable("TRAZVIK_SCREENSHOTS_ONLY").split(',', Qt::SkipEmptyParts);
  for (const auto& [name, show] : targets_) {
    if (!only.isEmpty() && !only.contains(QString::fromStdString(name))) continue;
    QWidget* widget = show();
    if (widget == nullptr) continue;
    settle();
    const QString path = QDir(folder).filePath(QString::fromStdString(name) + ".png");
    if (!widget->grab().save(path)) {
      std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
      all = false;
    }
    if (captionsOpen) captions.write((QString::fromStdString(name) + ": " + widget->windowTitle() + "\n").toUtf8());
  }
  // The whole screen as well: it shows the windows with their frames.
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    settle();
    const QString path = QDir(folder).filePath("screen.png");
    if (!screen->grabWindow(0).save(path)) {
      std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
      all = false;
    }
  }
  return all;
}

void Screenshots::takeLater(const QString& folder, int delayMs) {
  QTimer::singleShot(delayMs, qApp, [this, folder] { QApplication::exit(takeNow(folder) ? 0 : 1); });
}

}  // namespace trazvik::ui
