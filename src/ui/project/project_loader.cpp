#include "project/project_loader.h"

#include <QApplication>
#include <QEventLoop>
#include <QProgressDialog>
#include <QStringList>
#include <QTimer>

#include <atomic>
#include <mutex>
#include <thread>

namespace trazvik::ui {
namespace {

// What the worker reports, picked up by the interface thread on a timer so
// that a file of a million figures does not flood the event queue.
class LoadingProgress {
 public:
  void setPanel(const std::string& t) {
    std::lock_guard lock(mutex_);
    panel_ = t;
  }
  void setCount(const std::string& t) {
    std::lock_guard lock(mutex_);
    count_ = t;
  }
  QString panel() const {
    std::lock_guard lock(mutex_);
    return QString::fromStdString(panel_);
  }
  QString text() const {
    std::lock_guard lock(mutex_);
    return QString::fromStdString(panel_) + (count_.empty() ? QString() : "\n" + QString::fromStdString(count_));
  }

 private:
  mutable std::mutex mutex_;
  std::string panel_;
  std::string count_;
};

}  // namespace

QString qtFileFilter(const std::string& filter) {
  const QStringList parts = QString::fromStdString(filter).split('|');
  QStringList filters;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts[i + 1];
    patterns.replace(';', ' ');
    QString name = parts[i];
    // "(*.plt, *.dxf)" already shows its patterns; the others get them added.
    filters << (name.contains('(') ? name.left(name.indexOf('(')).trimmed() : name);
    filters.last() = (filters.last().isEmpty() ? QString() : filters.last() + " ") + "(" + patterns + ")";
  }
  return filters.join(";;");
}

std::unique_ptr<TMDIChild> loadProjectWithProgress(const std::string& path, TDlgkonfig& konfig,
                                                   const texts::tInterfejs& interfejs, bool spline,
                                                   std::string* openDir, QWidget* parent,
                                                   std::function<void(const QString&)> statusPanel) {
  LoadingProgress progress;
  tOtwieranieProjektu o;
  std::string folder;
  o.openDir = &folder;
  o.spline = spline;
  o.widok.panelStatusu = [&progress](const std::string& t) { progress.setPanel(t); };
  o.widok.paskStatusu = [&progress](const std::string& t) { progress.setCount(t); };

  std::unique_ptr<TMDIChild> result;
  std::atomic<bool> finished = false;
  QEventLoop loop;
  std::thread worker([&] {
    result = OtworzProjekt(path, konfig, interfejs, o);
    finished = true;
    QMetaObject::invokeMethod(&loop, "quit", Qt::QueuedConnection);
  });

  QProgressDialog dialog(parent);
  dialog.setWindowTitle(QApplication::applicationName());
  dialog.setCancelButton(nullptr);  // reading cannot be interrupted half way
  dialog.setRange(0, 0);
  dialog.setMinimumDuration(300);
  dialog.setWindowModality(Qt::ApplicationModal);
  dialog.setLabelText(QString::fromStdString(path));
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, &dialog, [&] {
    dialog.setLabelText(progress.text());
    if (statusPanel) statusPanel(progress.panel());
  });
  poll.start(100);
  QApplication::setOverrideCursor(Qt::BusyCursor);
  if (!finished) loop.exec();
  worker.join();
  QApplication::restoreOverrideCursor();
  poll.stop();
  dialog.reset();
  if (statusPanel) statusPanel(progress.panel());  // cleared by the loading at its end
  if (openDir != nullptr && !folder.empty()) *openDir = folder;
  return result;
}

}  // namespace trazvik::ui
