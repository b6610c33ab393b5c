#include "frame/panel_screenshots.h"

#include "frame/machine_session.h"
#include "frame/screenshots.h"
#include "panel/control_panel.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include <functional>
#include <memory>

namespace trazvik::ui {

namespace {

void settle(int ms) {
  QElapsedTimer waited;
  waited.start();
  while (waited.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 50);
}

// The panel's windows are modal: `open` runs one until it closes. Once it
// shows, `prepare` acts on it, its picture is taken and it is closed; the
// picture comes back as a label for the screenshot to save.
QWidget* pictureOfModal(const std::function<void()>& open, const std::function<void(QWidget*)>& prepare = {}) {
  static std::unique_ptr<QLabel> label;
  QPixmap picture;
  QTimer watch;
  watch.setInterval(100);
  QObject::connect(&watch, &QTimer::timeout, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr) return;
    watch.stop();
    if (prepare) prepare(modal);
    settle(400);
    picture = modal->grab();
    if (auto* dialog = qobject_cast<QDialog*>(modal))
      dialog->reject();
    else
      modal->close();
  });
  watch.start();
  open();
  watch.stop();
  if (picture.isNull()) return nullptr;
  label = std::make_unique<QLabel>();
  label->setPixmap(picture);
  label->resize(picture.size() / picture.devicePixelRatio());
  return label.get();
}

// Heads 1 and 3 measured on the sensor, the manual panel open.
void measureTwoHeads(QWidget* window) {
  auto* heads = window->findChild<QListWidget*>("clbGlowica");
  if (heads == nullptr || heads->isHidden() || heads->count() < 3) return;
  heads->item(0)->setCheckState(Qt::Checked);
  heads->item(2)->setCheckState(Qt::Checked);
  if (auto* measure = window->findChild<QPushButton*>("btnPomiarNarzedziaWybranychGlowic")) measure->click();
  if (auto* manual = window->findChild<QToolButton*>(QString::fromUtf8("sbRęczneUstDlNarz"))) manual->click();
}

}  // namespace

void addPanelScreenshots(Screenshots& screenshots, MachineSession& machine) {
  MachineSession* session = &machine;
  const auto opened = [session](std::function<void()> ControlPanelActions::*action,
                                std::function<void(QWidget*)> prepare = {}) {
    return [session, action, prepare]() -> QWidget* {
      const std::function<void()>& open = session->panelWindow().actions().*action;
      if (!open) return nullptr;
      return pictureOfModal(open, prepare);
    };
  };
  screenshots.add("outputs_window", opened(&ControlPanelActions::outputs));
  screenshots.add("move_window", opened(&ControlPanelActions::moveByDelta));
  screenshots.add("tool_length", opened(&ControlPanelActions::toolLength, measureTwoHeads));
}

}  // namespace trazvik::ui
