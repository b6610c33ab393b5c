#pragma once
#include "project/project_view.h"
#include "project/tmdichild.h"

#include <QLabel>
#include <QMenu>
#include <QWidget>

#include <functional>
#include <memory>

namespace trazvik::ui {

// The window of one opened design file: the project view and its own
// status bar (the view option's caption, the figure count). It owns the
// project document and shows it; every change goes through the document.
class ProjectWindow : public QWidget {
  Q_OBJECT
 public:
  // What the window's context menu offers beyond the document's own
  // commands; each is optional (an item without it is not shown).
  struct Commands {
    std::function<void(ProjectWindow&)> info;      // job information window
    std::function<void(ProjectWindow&)> layers;    // layer dialog
    bool serviceMode = false;                      // offers "Zapisz jako DXF"
    std::function<bool(ProjectWindow&)> mayClose;  // asked before the window closes
  };

  ProjectWindow(std::unique_ptr<TMDIChild> project, Commands commands, QWidget* parent = nullptr);
  ~ProjectWindow() override;

  TMDIChild& project() { return *project_; }
  const TMDIChild& project() const { return *project_; }
  ProjectView& view() { return *view_; }

  void setViewOptions(const ViewOptions& options, const QString& optionCaption);
  // The figures changed: redraw and count them again.
  void refresh();
  // The context menu as it would open now (tests look at its items).
  std::unique_ptr<QMenu> buildContextMenu();

  // Writes the figures as a DXF drawing; a failure is told to the operator.
  bool saveAsDxf(const QString& path);

 signals:
  void zoomChanged(int level);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void showContextMenu(QPoint globalPosition);
  void chooseAndSaveDxf();
  void showFigureCount();

  std::unique_ptr<TMDIChild> project_;
  Commands commands_;
  ProjectView* view_ = nullptr;
  QLabel* optionPanel_ = nullptr;
  QLabel* countPanel_ = nullptr;
  QLabel* selectionPanel_ = nullptr;
};

}  // namespace trazvik::ui
