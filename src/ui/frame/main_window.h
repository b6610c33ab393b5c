#pragma once
#include "app/main_form_rules.h"
#include "control/job_display.h"
#include "frame/program_context.h"
#include "project/view_options.h"

#include <QButtonGroup>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSlider>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QProgressBar;
class QMenu;
class QToolButton;

namespace trazvik::ui {

class ProjectWindow;

// TMainForm: the multi-document frame. One project window per opened design
// file, the main menu and toolbar with the captions of the language file,
// the head selector, the status bar. Which commands are usable comes from
// app::UpdateMenuItems; the commands of other windows (control panel,
// settings dialog, job information, logs, layers, cutting) are attached
// with setCommand and stay disabled until they are.
class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  explicit MainWindow(ProgramContext& context, QWidget* parent = nullptr);
  ~MainWindow() override;

  // Captions, hints and the window caption from the language file.
  void applyTexts();
  // The view options of the global configuration (read with the settings).
  void applyGlobalConfiguration();

  // A command of another window, by the component name of its menu item or
  // button ("sterowanie", "mKonfigGlowna", "info", "Start1", ...).
  void setCommand(const std::string& componentName, std::function<void()> command);
  bool hasCommand(const std::string& componentName) const;
  // The settings dialog shown modally; the main window handles what the
  // settings change means for the open projects.
  void setSettingsDialog(std::function<void()> showModal);
  // Told after the settings dialog closed (the control side copies them).
  void setSettingsClosed(std::function<void()> closed) { settingsClosed_ = std::move(closed); }
  // The layer dialog of a project window.
  void setLayerDialog(std::function<void(ProjectWindow&)> show);
  // The machine as the control side sees it; asked at every menu update.
  void setMachineFacts(std::function<MachineFacts()> facts);
  // Whether the main window may close; the query itself asks the operator
  // (about a job being sent or paused) and tells why it refuses.
  void setCloseQuery(std::function<bool()> mayClose);
  // Whether a project window (nullptr: the program with all of them) may
  // close; the query asks the operator itself.
  void setProjectCloseQuery(std::function<bool(ProjectWindow*)> mayClose);

  // OtworzProjekt: opens a design file (the open dialog when empty).
  ProjectWindow* OtworzProjekt(const std::string& path = {});
  // UpdateMenuItems: enabling and visibility from the current state.
  void UpdateMenuItems();
  // Closes every project window, the last opened first.
  void closeAllProjects();
  // The status bar's colour: the button face (empty) or a named colour.
  void setStatusColour(const QString& colour);

  ProjectWindow* activeProjectWindow() const;
  std::vector<ProjectWindow*> projectWindows() const;  // window order, first opened first
  QMdiArea& mdiArea() { return *mdi_; }
  QAction* action(const std::string& componentName) const;
  QMenu* menu(const std::string& componentName) const;
  QWidget* control(const std::string& componentName) const;  // toolbar widgets
  // The head chosen in the head selector (1 to 3).
  int selectedHead() const;
  // The first and second status panel.
  void setStatusPanel(int panel, const QString& text);
  QString statusPanel(int panel) const;
  // The job's progress bar (percent sent, elapsed, time left) while a job
  // is active, and the paused state in the first panel and on the Continue
  // button; hidden without a job.
  void showJobProgress(const tJobDisplay& progress, const QString& pausedText, const QString& pausedTip = {});
  QProgressBar* jobProgressBar() const { return progress_; }
  const ViewOptions& viewOptions() const { return viewOptions_; }
  int zoomLevel() const;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void buildMenus();
  void buildToolBar();
  void buildStatusBar();
  void connectCommands();
  QAction* addToolAction(const char* name, const QString& text);
  void applyMenuTexts();
  void applyToolBarTexts();
  app::tStanGlownegoOkna currentState() const;

  // Commands of this window.
  void openClicked();
  void KonfiguracjaClick();
  void chooseView(ViewOptions::Mode mode);
  void toggleEntryPoints();
  void applyViewOptions();
  void openManual(const char* key);
  void openDataFolder();
  void openDownloadPage();
  void showLayerDialog();
  void setZoom(int level);
  void zoomSliderMoved(int level);
  void activeWindowChanged();
  void addProjectWindow(ProjectWindow* window);

  ProgramContext& context_;
  QMdiArea* mdi_ = nullptr;
  std::map<std::string, QAction*> actions_;
  std::map<std::string, QMenu*> menus_;
  std::map<std::string, QWidget*> controls_;
  std::map<std::string, std::function<void()>> commands_;
  std::function<void()> settingsDialog_;
  std::function<void()> settingsClosed_;
  std::function<void(ProjectWindow&)> layerDialog_;
  std::function<bool(ProjectWindow*)> projectCloseQuery_;
  std::function<MachineFacts()> machineFacts_;
  std::function<bool()> mayClose_;
  QSlider* zoom_ = nullptr;
  QButtonGroup* heads_ = nullptr;
  QLabel* status_[2] = {nullptr, nullptr};
  QProgressBar* progress_ = nullptr;
  bool showedPaused_ = false;
  ViewOptions viewOptions_;
  bool zoomFromWindow_ = false;
  bool destroying_ = false;
  std::string laserManual_;  // the manual files on offer, empty when missing
  std::string millManual_;   // the slider follows the window, not the operator
};

}  // namespace trazvik::ui
