// Cut the selected figure and start from it: what goes to the machine, what
// is written, and every refusal; the selected job writer with the real
// writer.
#include "control/cutting_variants.h"
#include "control/selected_job_writer.h"

#include "config/tdlgkonfig.h"
#include "job/job_machine.h"
#include "project/tmdichild.h"
#include "texts/interfejs.h"
#include "texts/recording_message_boxes.h"

#include "../common/temp_folder.h"
#include "recording_start_machine.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace trazvik {
namespace {

using trazvik::testing::RecordingStartMachine;
using trazvik::testing::TempFolder;
using trazvik::testing::writeFile;

const std::string kStar = std::string(TRAZVIK_SOURCE_DIR) + "/samples/star.plt";
const std::string kPocket = std::string(TRAZVIK_SOURCE_DIR) + "/samples/pocket.nc";

struct Variants {
  TempFolder folder;
  RecordingStartMachine machine;
  TDlgkonfig settings{'.'};
  texts::RecordingMessageBoxes boxes;
  texts::tInterfejs texts{boxes};
  double travelHeight = 5;
  std::unique_ptr<tStartContext> context;
  std::unique_ptr<tStartOfCutting> start;
  std::unique_ptr<tCuttingVariants> variants;
  std::unique_ptr<TMDIChild> project;
  std::vector<logging::CutStartInfo> started;
  std::vector<tSelectedJob> written;
  int lastMode = -1;
  int stops = 0, baseChecks = 0, runRequests = 0;
  bool writeSucceeds = true;

  Variants() {
    EXPECT_TRUE(texts.loadLanguageFile(std::string(TRAZVIK_SOURCE_DIR) + "/lang/", "US", "0.1"));
    context.reset(new tStartContext{machine, settings, texts, folder.text(), travelHeight, "/cfg/Settings.mcc"});
    context->jobStarted = [this](const logging::CutStartInfo& info) { started.push_back(info); };
    context->stopJob = [this] { ++stops; };
    context->baseCheckStart = [this] { ++baseChecks; };
    context->runRequested = [this] { ++runRequests; };
    start = std::make_unique<tStartOfCutting>(*context);
    variants = std::make_unique<tCuttingVariants>(*context, *start);
    variants->openDialogFileName = [] { return std::string("/designs/star.plt"); };
    variants->writeSelected = [this](TMDIChild&, const std::string& path, int mode, tSelectedJob which) {
      written.push_back(which);
      lastMode = mode;
      tJobWriteResult r;
      r.written = writeSucceeds;
      if (writeSucceeds) writeFile(path, std::string(64, 'C'));
      else r.error = "disk full";
      return r;
    };
  }
  TMDIChild& open(const std::string& path, int selected) {
    project = std::make_unique<TMDIChild>(settings, texts);
    project->DostosujWgTypuProjektu(typPlikuZRozszerzenia(path));
    EXPECT_TRUE(project->Load(path)) << path;
    project->selected = selected;
    return *project;
  }
  tVariantOutcome run(tSelectedJob which) {
    return which == tSelectedJob::selectedFigure ? variants->Tnijwybran1Click(project.get())
                                                 : variants->Startodwybranej1Click(project.get());
  }
};

struct VariantCase {
  const char* name;
  tSelectedJob which;
  int baseChecks;  // in base-check mode only the start from the selection checks the base
};
const VariantCase kVariants[] = {{"cut the selected figure", tSelectedJob::selectedFigure, 0},
                                 {"start from the selected figure", tSelectedJob::fromSelectedFigure, 1}};

TEST(CuttingVariants, WithoutASelectionOnlyTheMessageIsShown) {
  for (const VariantCase& c : kVariants) {
    SCOPED_TRACE(c.name);
    Variants v;
    EXPECT_EQ(v.run(c.which), tVariantOutcome::noProject);
    v.open(kStar, -1);
    EXPECT_EQ(v.run(c.which), tVariantOutcome::noSelection);
    ASSERT_EQ(v.boxes.messages().size(), 1u);
    EXPECT_EQ(v.boxes.messages()[0].text, v.texts.dajTxt("Main_window", "msgNajpierwWybierzFigure"));
    EXPECT_EQ(v.boxes.messages()[0].caption, "/designs/star.plt");
    EXPECT_TRUE(v.machine.log.empty());
    EXPECT_TRUE(v.written.empty());
  }
}

TEST(CuttingVariants, PrepareTheMachineWriteTheSelectionAndHandItOver) {
  for (const VariantCase& c : kVariants) {
    SCOPED_TRACE(c.name);
    Variants v;
    v.context->switches.checkBaseMode = true;
    v.settings.set("przespeed", 900);
    v.machine.open = true;  // a transfer left running is stopped first
    v.open(kStar, 2);
    ASSERT_EQ(v.run(c.which), tVariantOutcome::started);
    EXPECT_TRUE(v.boxes.messages().empty());
    const std::vector<std::string> expected{
        "readState", "stopTransfer", "V 00 84 03", "F 00",
        "Q", "sleep 10", "wait", "Q", "sleep 10", "wait", "C", "sleep 10", "wait",
        "V 00 84 03",  // the travel feed again after clearing
        "powers 100.000000 100.000000", "sleep 3000",
        "move 0 z5.000000 y0.000000 x0.000000", "startTransfer"};
    EXPECT_EQ(v.machine.log, expected);
    EXPECT_EQ(v.written, std::vector<tSelectedJob>{c.which});
    EXPECT_EQ(v.lastMode, 4);
    EXPECT_EQ(v.project->selected, 2) << "the outline is rebuilt, the selection stays";
    EXPECT_EQ(v.baseChecks, c.baseChecks);
    EXPECT_EQ(v.runRequests, 1);
    ASSERT_EQ(v.started.size(), 1u);
    EXPECT_EQ(v.started[0].settingsCaption, "/cfg/Settings.mcc");
    EXPECT_EQ(v.variants->jobFilePath(), v.folder.text() + "out.cnx");
  }
}

TEST(CuttingVariants, AGcodeProgramIsWrittenInItsOwnModeAtItsOwnHeight) {
  Variants v;
  TMDIChild& p = v.open(kPocket, 1);
  ASSERT_EQ(v.run(tSelectedJob::fromSelectedFigure), tVariantOutcome::started);
  EXPECT_EQ(v.lastMode, 5);
  EXPECT_DOUBLE_EQ(v.travelHeight, p.GcodPar.maxZ);
  EXPECT_TRUE(v.machine.contains("move 0 z" + std::to_string(p.GcodPar.maxZ) + " y0.000000 x0.000000"));
}

TEST(CuttingVariants, RefusalsLeaveTheMachineAlone) {
  {
    SCOPED_TRACE("no controller");
    Variants v;
    v.open(kStar, 0);
    v.machine.up = false;
    EXPECT_EQ(v.run(tSelectedJob::selectedFigure), tVariantOutcome::noLink);
    EXPECT_EQ(v.machine.log, std::vector<std::string>{"readState"});
  }
  for (int bit : {0, 1}) {
    SCOPED_TRACE("busy, state bit " + std::to_string(bit));
    Variants v;
    v.open(kStar, 0);
    v.machine.state_.StateExtend = std::uint64_t{1} << bit;
    EXPECT_EQ(v.run(tSelectedJob::selectedFigure), tVariantOutcome::machineBusy);
    EXPECT_EQ(v.machine.log, std::vector<std::string>{"readState"}) << "a running job is not cleared";
    EXPECT_TRUE(v.written.empty());
  }
  {
    SCOPED_TRACE("safety enclosure open");
    Variants v;
    v.open(kStar, 0);
    v.machine.model_.safetyEnclosure = true;
    v.machine.link_.machineInputs = 0x08;
    EXPECT_EQ(v.run(tSelectedJob::selectedFigure), tVariantOutcome::enclosureOpen);
    ASSERT_EQ(v.boxes.messages().size(), 1u);
    EXPECT_EQ(v.boxes.messages()[0].text, v.texts.dajTxt("Main_window", "msgSafetyEnclouserOpened"));
    EXPECT_EQ(v.boxes.messages()[0].caption, "Stop");
    EXPECT_EQ(v.stops, 1);
    EXPECT_TRUE(v.written.empty());
    EXPECT_FALSE(v.machine.contains("startTransfer"));
  }
  {
    SCOPED_TRACE("job not written");
    Variants v;
    v.open(kStar, 0);
    v.writeSucceeds = false;
    EXPECT_EQ(v.run(tSelectedJob::selectedFigure), tVariantOutcome::writeFailed);
    ASSERT_EQ(v.boxes.messages().size(), 1u);
    EXPECT_NE(v.boxes.messages()[0].text.find("disk full"), std::string::npos);
    EXPECT_EQ(v.machine.log.back(), "F 02");
    EXPECT_FALSE(v.machine.contains("startTransfer"));
  }
  {
    SCOPED_TRACE("start position not reached");
    Variants v;
    v.open(kStar, 0);
    v.machine.moveSucceeds = false;
    EXPECT_EQ(v.run(tSelectedJob::selectedFigure), tVariantOutcome::startPositionFailed);
    EXPECT_EQ(v.machine.log.back(), "F 02");
    EXPECT_TRUE(v.started.empty());
  }
}

TEST(SelectedJobWriter, WritesTheSelectedFigureOrEverythingFromIt) {
  TempFolder folder;
  TDlgkonfig settings{'.'};
  texts::RecordingMessageBoxes boxes;
  texts::tInterfejs texts{boxes};
  TMDIChild project(settings, texts);
  project.DostosujWgTypuProjektu(typPlikuZRozszerzenia(kStar));
  ASSERT_TRUE(project.Load(kStar));
  ASSERT_GE(project.fig.size(), 3u);
  const int head = 0;
  const double travelHeight = 5;
  const tSelectedJobWriterCall write =
      selectedJobWriter(settings, [] { return jobMachineFor("YFB 32", 7, 20); }, head, travelHeight);
  const auto size = [&](tSelectedJob which, int selected) {
    project.selected = selected;
    const std::string path = (folder / "out.cnx").string();
    const tJobWriteResult r = write(project, path, 4, which);
    EXPECT_TRUE(r.written) << r.error;
    return std::filesystem::file_size(path);
  };
  const int last = static_cast<int>(project.fig.size()) - 1;
  const auto first = size(tSelectedJob::selectedFigure, 0);
  const auto second = size(tSelectedJob::selectedFigure, 1);
  const auto fromFirst = size(tSelectedJob::fromSelectedFigure, 0);
  const auto fromSecond = size(tSelectedJob::fromSelectedFigure, 1);
  const auto lastAlone = size(tSelectedJob::selectedFigure, last);
  const auto fromLast = size(tSelectedJob::fromSelectedFigure, last);
  EXPECT_LT(first, fromFirst);
  EXPECT_LT(fromSecond, fromFirst);
  EXPECT_LT(second, fromSecond);
  EXPECT_EQ(lastAlone, fromLast) << "from the last figure is the last figure alone";
  EXPECT_EQ(project.trybZapisu, TMDIChild(settings, texts).trybZapisu) << "the output mode is restored";
}

}  // namespace
}  // namespace trazvik
