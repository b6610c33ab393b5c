#pragma once
// "MultiTest Lista": the test folder, its projects with their settings
// files (the one being tested in red), and the buttons that choose the
// folder, start the run and stop it. The window only shows and asks; the
// machine session runs the tests.
#include "app/multi_test.h"

#include <QDialog>

#include <functional>
#include <string>

class QLabel;
class QTableWidget;

namespace trazvik::ui {

class MultiTestWindow : public QDialog {
 public:
  explicit MultiTestWindow(QWidget* parent = nullptr);

  // Shows the list (after a new folder, a start, each next item).
  void refresh(const app::TMultiTest& list);

  // The folder browser; tests put their own answer here. Empty: cancelled.
  // The title of the folder browser.
  std::string folderTitle;
  std::function<std::string(const std::string& startFolder)> chooseFolder;
  std::function<void(const std::string& folder)> folderChosen;
  std::function<void()> startClicked;
  std::function<void()> stopClicked;

 private:
  void pickFolder();

  QLabel* folder_ = nullptr;
  QTableWidget* grid_ = nullptr;
  std::string current_;
};

}  // namespace trazvik::ui
