#pragma once
// A started desktop program over a fresh data folder, with the language
// files of the source tree and its own single-instance lock.
#include "frame/program_start.h"
#include "project/project_window.h"

#include "../common/temp_folder.h"

#include <QApplication>
#include <QImage>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace trazvik::ui::testing {

inline std::string sample(const char* name) { return std::string(TRAZVIK_SOURCE_DIR) + "/samples/" + name; }

inline Program::Options programOptions(const trazvik::testing::TempFolder& folder, std::vector<std::string> arguments) {
  arguments.push_back("dataDir='" + (folder / "data").string() + "'");
  Program::Options o;
  o.setup.commandLine = base::CommandLine(std::move(arguments));
  o.setup.programDirectory = std::string(TRAZVIK_SOURCE_DIR) + "/lang/";
  o.setup.countryNumber = 1;
  o.setup.lockFilePath = (folder / "Trazvik.lock").string();
  o.showWindow = true;
  o.connectMachine = false;  // no USB or network in widget tests
  return o;
}

class ProgramTest : public ::testing::Test {
 protected:
  void startProgram(std::vector<std::string> arguments = {}) {
    program_ = std::make_unique<Program>(programOptions(folder_, std::move(arguments)));
    ASSERT_TRUE(program_->start());
    QApplication::setActiveWindow(&main());
  }
  MainWindow& main() { return program_->mainWindow(); }
  const texts::tInterfejs& texts() { return program_->context().texts(); }
  bool enabled(const char* name) { return main().action(name)->isEnabled(); }
  bool visible(const char* name) { return main().action(name)->isVisible(); }

  ProjectWindow* open(const char* name) {
    ProjectWindow* w = main().OtworzProjekt(sample(name));
    QApplication::processEvents();
    return w;
  }

  trazvik::testing::TempFolder folder_;
  std::unique_ptr<Program> program_;
};

// Pixels that are not the background inside a rectangle of the image.
inline int inkInside(const QImage& image, QRect r, QRgb background) {
  r = r.intersected(image.rect());
  int ink = 0;
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x)
      if (image.pixel(x, y) != background) ++ink;
  return ink;
}

}  // namespace trazvik::ui::testing
