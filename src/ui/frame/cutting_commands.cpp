#include "frame/cutting_commands.h"

#include "config/configuration.h"
#include "frame/main_window.h"
#include "project/project_window.h"
#include "project/tmdichild.h"

#include <QAction>
#include <QApplication>

#include <algorithm>

namespace trazvik::ui {

CuttingCommands::CuttingCommands(ProgramContext& context, MainWindow& mainWindow, tCuttingSession& session)
    : context_(context), main_(mainWindow), session_(session) {
  tStartContext& c = session_.startContext();
  c.busyCursor = [](bool busy) {
    if (busy)
      QApplication::setOverrideCursor(Qt::WaitCursor);
    else
      QApplication::restoreOverrideCursor();
  };
  c.notificationsOff = [this] {
    stopEndOfJobSignal(session_.control.context.flags);
    main_.UpdateMenuItems();
  };
  c.openLayersDialog = [this] {
    if (QAction* layers = main_.action("mWarstwy")) layers->trigger();
  };
  // The file the open dialog gave last: the active project's.
  c.openDialogFileName = [this] {
    const ProjectWindow* w = main_.activeProjectWindow();
    return w ? w->project().sciezka : context_.configuration.globalCfg().openDir;
  };
  session_.activeProject = [this] { return activeProject(); };
  session_.afterStart = [this] {
    // The start rebuilt the toolpaths before writing them.
    if (ProjectWindow* w = main_.activeProjectWindow()) w->refresh();
    main_.UpdateMenuItems();
  };
  // The machine's own start button starts the active project as well.
  session_.control.context.mainWindow.startCommand = [this] { start(); };
}

TMDIChild* CuttingCommands::activeProject() const {
  ProjectWindow* window = main_.activeProjectWindow();
  return window ? &window->project() : nullptr;
}

void CuttingCommands::prepareStart() {
  const config::ConfigGlobals& g = context_.configuration.globals();
  tStartContext& c = session_.startContext();
  c.headChoice = std::clamp(main_.selectedHead() - 1, 0, 2);
  c.arcSpeedFactor = g.arcSpeedFactor;
  c.settingsCaption = context_.configuration.settingsFile();
}

tStartOutcome CuttingCommands::start() {
  prepareStart();
  // The checks and the machine's preparation take seconds: the operator sees
  // at once that the start was taken.
  const bool withProject = activeProject() != nullptr;
  if (withProject) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    main_.setStatusPanel(0, QString::fromStdString(context_.texts().dajTxt("Main_window", "msgUruchamiamZadanie")));
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  }
  const tStartOutcome outcome = session_.Start1Click(activeProject());
  if (withProject) {
    QApplication::restoreOverrideCursor();
    if (main_.statusPanel(0).toStdString() == context_.texts().dajTxt("Main_window", "msgUruchamiamZadanie"))
      main_.setStatusPanel(0, QString());
  }
  return outcome;
}

tBurnOutcome CuttingCommands::burn() {
  const tBurnOutcome outcome = session_.WypalBMP1Click(activeProject());
  main_.UpdateMenuItems();
  return outcome;
}

tVariantOutcome CuttingCommands::cutSelected(tJobScope which) {
  prepareStart();
  return session_.cutSelection(activeProject(), which);
}

}  // namespace trazvik::ui
