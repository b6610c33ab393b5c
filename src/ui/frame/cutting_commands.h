#pragma once
#include "frame/program_context.h"

#include "control/cutting_session.h"

#include <string>

namespace trazvik::ui {

class MainWindow;

// The main window's cutting commands over the core's cutting session:
// Start ("Start1", the START button) checks the active project window's
// project against the machine, writes it into "out.cnx" of the data folder
// and hands it to the transfer, which the monitoring loop then streams to
// its end; "Tnijwybran1" and "Startodwybranej1" do the same for the
// selected figure alone or from it on. This adds the window's part: the
// operator's head choice, the busy cursor, the layer dialog, the menus and
// the redrawn toolpaths.
class CuttingCommands {
 public:
  CuttingCommands(ProgramContext& context, MainWindow& mainWindow, tCuttingSession& session);
  CuttingCommands(const CuttingCommands&) = delete;
  CuttingCommands& operator=(const CuttingCommands&) = delete;

  // Start1Click on the active project (none: nothing happens).
  tStartOutcome start();
  tStartOutcome lastOutcome() const { return session_.lastOutcome(); }
  // The selected figure alone, or it and every later one.
  tVariantOutcome cutSelected(tJobScope which);
  tVariantOutcome lastVariantOutcome() const { return session_.lastVariantOutcome(); }
  // "Wypal BMP": burns the active bitmap project.
  tBurnOutcome burn();
  const tStartOfCutting& startOfCutting() const { return session_.start(); }

 private:
  // The operator's head choice, the arc slider and the settings file's name
  // as they are now.
  void prepareStart();
  TMDIChild* activeProject() const;

  ProgramContext& context_;
  MainWindow& main_;
  tCuttingSession& session_;
};

}  // namespace trazvik::ui
