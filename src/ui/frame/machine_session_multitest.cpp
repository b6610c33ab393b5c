// The desktop's multi-project tests: "Testy wielu proj. z folderu" and a
// double click on the status bar open the test window (service mode only,
// by the menu rules); the run cuts each item with its settings file and
// takes the next one when the monitoring loop sees a job end.
#include "frame/machine_session.h"

#include "dialogs/multi_test_window.h"
#include "frame/cutting_commands.h"
#include "frame/main_window.h"
#include "project/project_window.h"

#include <filesystem>

namespace trazvik::ui {

namespace {
const QString kRed = "red", kAqua = "aqua";
}

void MachineSession::attachMultiTest() {
  attach("miMultiTesty", [this] { showMultiTest(); });
  control_->context.mainWindow.nextTestItem = [this] {
    if (!multiTestRun_) return;  // no test list: nothing
    multiTestRun_->nextItem();
    if (multiTestWindow_) multiTestWindow_->refresh(*multiTest_);
  };
}

void MachineSession::showMultiTest() {
  if (!multiTest_) {
    multiTest_ = std::make_unique<app::TMultiTest>();
    app::tMultiTestHooks h;
    h.startItem = [this](const app::TMultiTestDane& item) { return startTestItem(item); };
    h.started = [this] {
      main_.setStatusColour(kRed);
      main_.setStatusPanel(1, QString::fromStdString(multiTestRun_->texts().started));
    };
    h.stopped = [this](const std::string& text) {
      main_.setStatusColour({});
      main_.setStatusPanel(1, QString::fromStdString(text));
    };
    h.machinePresent = [this] { return connection_->connected(); };
    h.reportLine = [this](const std::string& text) { cuttingSession_->baseCheck.appendTimed(text); };
    h.information = [this](const std::string& text) { context_.texts().messageBox(text, false); };
    multiTestRun_ =
        std::make_unique<app::tMultiTestRun>(*multiTest_, std::move(h), app::tMultiTestTexts::of(context_.texts()));
  }
  if (!multiTestWindow_) {
    multiTestWindow_ = new MultiTestWindow(&main_);
    multiTestWindow_->folderTitle = multiTestRun_->texts().folderTitle;
    multiTestWindow_->folderChosen = [this](const std::string& folder) {
      if (auto warning = multiTest_->LadujListeZFolderu(folder)) context_.texts().messageBox(*warning, true);
      main_.setStatusColour(kAqua);
      main_.setStatusPanel(1, QString::fromStdString(multiTestRun_->texts().loaded));
      multiTestWindow_->refresh(*multiTest_);
    };
    multiTestWindow_->startClicked = unlessWaiting([this] {
      multiTestRun_->start();
      multiTestWindow_->refresh(*multiTest_);
    });
    multiTestWindow_->stopClicked = [this] {
      multiTestRun_->stop();
      multiTestWindow_->refresh(*multiTest_);
    };
  }
  multiTestWindow_->refresh(*multiTest_);
  multiTestWindow_->show();
  multiTestWindow_->raise();
}

std::string MachineSession::startTestItem(const app::TMultiTestDane& item) {
  main_.closeAllProjects();
  // A test never cuts with settings other than the item's: a missing file
  // would leave the current ones in force.
  if (!std::filesystem::exists(item.plikKonf)) return "no settings file \"" + item.plikKonf + "\"";
  context_.configuration.KonfigOdczyt(item.plikKonf);
  takeSettings();
  if (main_.OtworzProjekt(item.plikPrj) == nullptr) return "the project could not be opened";
  const tStartOutcome outcome = cutting_->start();
  if (outcome != tStartOutcome::started)
    return std::string("the job was not started (") + startOutcomeName(outcome) + ")";
  if (multiTestWindow_) multiTestWindow_->refresh(*multiTest_);
  return {};
}

}  // namespace trazvik::ui
