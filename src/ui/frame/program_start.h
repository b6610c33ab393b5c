#pragma once
#include "app/program_frame.h"
#include "config/configuration.h"
#include "frame/main_window.h"
#include "frame/program_context.h"
#include "frame/qt_message_boxes.h"
#include "frame/screenshots.h"
#include "logging/app_logs.h"

#include <QTimer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace trazvik::ui {

class MachineSession;
class PeripheryWindows;

// The running desktop program: start-up in its fixed order (the main window
// with its texts, folders and single-instance rule, then the other windows
// once each, the settings with their files, the monitoring timer last), the
// event loop, and the shutdown (timer off, global configuration written).
class Program {
 public:
  struct Options {
    app::ProgramFrame::Setup setup;  // command line, folders, country
    bool showWindow = true;          // tests keep the window hidden
    bool connectMachine = true;      // the USB and Ethernet link and the panel's loop
    MachinePorts machinePorts;       // of the controller's Ethernet module
    HidServiceFactory hidService;    // the USB devices; unset: the system's
  };

  explicit Program(Options options);
  ~Program();

  // Start-up; false when the program must end at once (the operator has
  // been told why). exitCode() then tells the process's result.
  bool start();
  // The event loop until the main window closes, then the shutdown.
  int run();
  // Timer off and the global configuration written; done by run().
  void shutdown();
  int exitCode() const { return exitCode_; }

  MainWindow& mainWindow() { return *mainWindow_; }
  ProgramContext& context() { return *context_; }
  QtMessageBoxes& boxes() { return boxes_; }
  // The machine side; null when the program runs without one.
  MachineSession* machine() { return machine_.get(); }
  // The control side's monitoring step, run every 100 ms once started.
  void setMonitoringStep(std::function<void()> step) { monitoringStep_ = std::move(step); }
  QTimer& monitoringTimer() { return monitoringTimer_; }
  // The windows pictured by the hidden option TrazvikScreenshots='DIR'.
  Screenshots& screenshots() { return screenshots_; }

  // Design files named on the command line (existing .plt, .dxf, .nc,
  // .bmp), opened after the start.
  static std::vector<std::string> designFilesOf(const base::CommandLine& commandLine);

 private:
  void createWindows();
  void addScreenshots(const QString& folder);
  void addJobScreenshots(const QString& folder);

  Options options_;
  QtMessageBoxes boxes_;
  app::ProgramFrame frame_;
  std::unique_ptr<logging::AppLogs> logs_;
  std::unique_ptr<config::Configuration> configuration_;
  std::unique_ptr<ProgramContext> context_;
  std::unique_ptr<MainWindow> mainWindow_;
  QTimer monitoringTimer_;
  QTimer jobTimeTimer_;
  std::function<void()> monitoringStep_;
  PeripheryWindows* periphery_ = nullptr;  // the main window's child
  std::unique_ptr<MachineSession> machine_;
  Screenshots screenshots_;
  bool shutDown_ = false;
  bool started_ = false;  // a copy that ended at once logs no end
  int exitCode_ = 0;
};

}  // namespace trazvik::ui
