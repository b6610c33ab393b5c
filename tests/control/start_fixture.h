// The start of cutting over a recording machine, writing its jobs with the
// real writer into a temporary folder: what the tests of the start and of
// the cutting variants share.
#pragma once
#include "control/start_of_cutting.h"

#include "config/tdlgkonfig.h"
#include "import/file_type.h"
#include "project/tmdichild.h"
#include "texts/interfejs.h"
#include "texts/recording_message_boxes.h"

#include "../common/temp_folder.h"
#include "recording_start_machine.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace trazvik::testing {

struct StartFixture {
  TempFolder folder;
  RecordingStartMachine machine;
  TDlgkonfig settings{'.'};
  texts::RecordingMessageBoxes boxes;
  texts::tInterfejs texts{boxes};
  double travelHeight = 5;
  std::unique_ptr<tStartContext> context;
  std::unique_ptr<tStartOfCutting> start;
  std::unique_ptr<TMDIChild> project;
  std::vector<logging::CutStartInfo> started;
  int stops = 0, baseChecks = 0, runRequests = 0;

  StartFixture() {
    EXPECT_TRUE(texts.loadLanguageFile(std::string(TRAZVIK_SOURCE_DIR) + "/lang/", "US", "0.1"));
    context = std::make_unique<tStartContext>(
        tStartContext{machine, settings, texts, folder.text(), travelHeight, "/cfg/Settings.mcc", {}});
    context->jobStarted = [this](const logging::CutStartInfo& info) { started.push_back(info); };
    context->stopJob = [this] { ++stops; };
    context->baseCheckStart = [this](const TMDIChild&) { ++baseChecks; };
    context->runRequested = [this] { ++runRequests; };
    context->openDialogFileName = [] { return std::string("/designs/star.plt"); };
    start = std::make_unique<tStartOfCutting>(*context);
  }
  TMDIChild& open(const std::string& path, int selected = -1) {
    project = std::make_unique<TMDIChild>(settings, texts);
    project->DostosujWgTypuProjektu(import::fileTypeFromExtension(path));
    EXPECT_TRUE(project->Load(path)) << path;
    project->selected = selected;
    return *project;
  }
  std::filesystem::path jobFile() const { return folder / "out.cnx"; }
  bool jobWritten() const { return std::filesystem::exists(jobFile()); }
  std::vector<std::string> messageTexts() const {
    std::vector<std::string> t;
    for (const auto& m : boxes.messages()) t.push_back(m.text);
    return t;
  }
  std::string txt(const char* section, const char* key) const { return texts.dajTxt(section, key); }
};

}  // namespace trazvik::testing
