// A job as the operator follows and ends it in the desktop program, against
// the simulated controller over TCP: the progress bar while it is sent, the
// paused state in the status bar, the panel and the toolbar, "Stop job",
// which abandons it after a confirmation, and the question about figures
// the tool cannot cut before cutting a selected figure.
#include "control/job_progress.h"
#include "control/job_resume.h"
#include "frame/cutting_commands.h"
#include "job/figure_index.h"
#include "machine/state_bits.h"
#include "project/project_view.h"
#include "project/project_window.h"
#include "project/tmdichild.h"
#include "modal_answer.h"

#include "machine_session_fixture.h"

#include <QProgressBar>
#include <QToolButton>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace trazvik::ui {
namespace {

using testing::MachineSessionTest;
using testing::pressInNextBox;
using testing::SeenBox;

// Every file under `folder` that mentions `text`.
bool anyFileMentions(const std::filesystem::path& folder, const std::string& text) {
  std::error_code ec;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, ec)) {
    if (!entry.is_regular_file()) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    if (all.str().find(text) != std::string::npos) return true;
  }
  return false;
}

struct JobControlTest : MachineSessionTest {
  void startJob() {
    writeSettings(true);
    startProgram({"JobLogging"});
    ASSERT_TRUE(runUntil([&] { return connected(); }, 15000));
    setWorkZero(20, 20, 60);
    ASSERT_NE(main().OtworzProjekt(testing::sample("star.plt")), nullptr);
    QApplication::processEvents();
    main().action("Start1")->trigger();
    ASSERT_EQ(session().cutting().lastOutcome(), tStartOutcome::started) << boxesShown();
  }
  QProgressBar& bar() { return *main().jobProgressBar(); }
  // The job of the data folder that a restarted program would offer to take up.
  std::optional<tInterruptedJob> interruptedJob(std::string& error) {
    const tMachineOps& ops = session().connection().ops();
    return findInterruptedJob(session().control().context.dataDirectory, ops.commandSet(), ops.machine.commandLengths,
                              error);
  }
};

TEST_F(JobControlTest, ProgressPauseAndStopJobAreShownAndAbandonTheJob) {
  ASSERT_NO_FATAL_FAILURE(startJob());
  // The bar shows the share sent, the running time and the time left.
  ASSERT_TRUE(runUntil([&] { return bar().isVisible() && bar().value() > 0; }, 20000)) << bar().format().toStdString();
  const std::string shown = bar().format().toStdString();
  EXPECT_NE(shown.find("elapsed"), std::string::npos) << shown;
  EXPECT_NE(shown.find("left"), std::string::npos) << shown;
  EXPECT_EQ(shown.find("--:-- left"), std::string::npos) << "the project's estimate gives the time left: " << shown;
  EXPECT_FALSE(main().action("Kontynuacja1")->isEnabled());
  // The project view follows the tool and draws the part cut.
  ProjectWindow* window = main().activeProjectWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(runUntil([&] { return window->view().machineCutPieces() > 0; }, 20000));

  main().action("Wstrzymaj1")->trigger();
  ASSERT_TRUE(runUntil([&] { return session().control().context.flags.jobPaused; }, 20000));
  runUntil([] { return false; }, 300);
  // The tool stands still now: the view shows it where the controller says,
  // the work zero (20, 20) being the project's corner (40 units a mm).
  ASSERT_TRUE(window->view().machineTool());
  const TMDIChild& project = window->project();
  const auto tool = controller_->toolPosition();
  EXPECT_NEAR(window->view().machineTool()->x(), project.pp.x + (tool.x - 20) * 40, 20);
  EXPECT_NEAR(window->view().machineTool()->y(), project.pp.y + (tool.y - 20) * 40, 20);
  const std::string paused = texts().dajTxt("Main_window", "msgZadanieWstrzymane");
  EXPECT_EQ(main().statusPanel(0).toStdString().rfind(paused, 0), 0u) << main().statusPanel(0).toStdString();
  EXPECT_EQ(panel().jobState().toStdString().rfind(paused, 0), 0u) << "the panel says so too";
  EXPECT_TRUE(main().action("Skont")->isEnabled());
  EXPECT_FALSE(main().control("Skont")->styleSheet().isEmpty()) << "Continue is lit";
  ASSERT_TRUE(main().action("miZatrzymajZadanie")->isEnabled());

  // Another start over the paused job says why it is refused and leaves it.
  boxWatcher_.stop();
  window->project().selected = 0;
  for (const char* command : {"Start1", "Tnijwybran1", "Startodwybranej1"}) {
    SeenBox refused;
    pressInNextBox(QMessageBox::Ok, &refused);
    main().action(command)->trigger();
    EXPECT_TRUE(refused.seen) << command;
    EXPECT_EQ(refused.text.toStdString(), texts().dajTxt("Main_window", "msgStartPodczasZadania")) << command;
    EXPECT_TRUE(session().control().context.flags.jobPaused) << command;
    EXPECT_TRUE(controller_->stateBit(stateBit::jobStored)) << command;
  }

  // "No" keeps the job paused; "Yes" abandons it.
  SeenBox asked;
  pressInNextBox(QMessageBox::No, &asked);
  main().action("miZatrzymajZadanie")->trigger();
  ASSERT_TRUE(asked.seen);
  EXPECT_EQ(asked.text.toStdString(), texts().dajTxt("Main_window", "msgCzyZatrzymacZadanie"));
  EXPECT_TRUE(session().control().context.flags.jobPaused);
  EXPECT_TRUE(controller_->stateBit(stateBit::jobStored));

  pressInNextBox(QMessageBox::Yes);
  main().action("miZatrzymajZadanie")->trigger();
  EXPECT_FALSE(session().control().context.flags.jobPaused);
  EXPECT_FALSE(session().control().transfer.isOpen);
  EXPECT_TRUE(runUntil([&] { return !controller_->stateBit(stateBit::jobStored); }, 5000))
      << "the controller was told to forget the job";
  EXPECT_FALSE(controller_->stateBit(stateBit::jobRunning));
  runUntil([] { return false; }, 300);
  EXPECT_FALSE(bar().isVisible());
  EXPECT_TRUE(main().statusPanel(0).isEmpty()) << main().statusPanel(0).toStdString();
  EXPECT_TRUE(panel().jobState().isEmpty());
  EXPECT_TRUE(main().control("Skont")->styleSheet().isEmpty());
  EXPECT_FALSE(main().action("Kontynuacja1")->isEnabled());
  EXPECT_FALSE(main().action("miZatrzymajZadanie")->isEnabled());
  EXPECT_TRUE(main().action("Start1")->isEnabled());
  EXPECT_TRUE(anyFileMentions(folder_ / "data", "Cut stopped")) << "the job log is closed as stopped";
  // The job's record says so, and a stopped job is never offered for taking up.
  std::string error;
  const auto record = readJobProgress(jobProgressPathOf(session().control().transfer.jobFilePath()), error);
  ASSERT_TRUE(record) << error;
  EXPECT_EQ(record->state, tJobRunState::stopped);
  EXPECT_FALSE(interruptedJob(error)) << error;
}

// Closing with a job asks. No keeps the program and the job; Yes pauses the
// running job and closes, and what resuming needs stays: the controller
// holds the paused job, the job file and its figure index are on disk, the
// job's record is cut off where the sending stopped, the job log says on hold.
TEST_F(JobControlTest, ClosingWithAJobAsksAndKeepsWhatResumingNeeds) {
  ASSERT_NO_FATAL_FAILURE(startJob());
  ASSERT_TRUE(runUntil([&] { return controller_->stateBit(stateBit::jobRunning); }, 20000));
  boxWatcher_.stop();
  SeenBox asked;
  pressInNextBox(QMessageBox::No, &asked);
  EXPECT_FALSE(main().close());
  ASSERT_TRUE(asked.seen);
  EXPECT_NE(asked.text.toStdString().find(texts().dajTxt("Main_window", "msgZamknacPrzyZadaniu")), std::string::npos)
      << asked.text.toStdString();
  EXPECT_FALSE(session().control().context.flags.jobPaused) << "No leaves the job running";

  const std::string jobFile = session().control().transfer.jobFilePath();
  pressInNextBox(QMessageBox::Yes);
  EXPECT_TRUE(main().close());
  EXPECT_TRUE(controller_->stateBit(stateBit::jobPaused));
  EXPECT_TRUE(controller_->stateBit(stateBit::jobStored));
  EXPECT_FALSE(controller_->stateBit(stateBit::toolOn));
  EXPECT_TRUE(std::filesystem::exists(jobFile));
  std::string error;
  EXPECT_TRUE(readJobIndexOf(jobFile, error)) << error;
  const auto job = interruptedJob(error);
  ASSERT_TRUE(job) << error;
  EXPECT_EQ(job->progress.state, tJobRunState::interrupted);
  EXPECT_EQ(job->progress.sent, static_cast<std::uint64_t>(session().control().context.flags.lastFilePos));
  EXPECT_GT(job->progress.sent, 0u);
  program_.reset();
  const auto record = readJobProgress(jobProgressPathOf(jobFile), error);
  ASSERT_TRUE(record) << error;
  EXPECT_EQ(record->state, tJobRunState::interrupted) << "the program's end leaves the record as the close cut it off";
  EXPECT_TRUE(anyFileMentions(folder_ / "data", "Cut on hold"));
  EXPECT_FALSE(anyFileMentions(folder_ / "data", "Cut stopped"));
}

// plate.dxf under a 10 mm cutter: its four 7 mm holes cannot be cut. The
// variants name the holes of their own job as the start does: a hole alone
// leaves nothing to cut, a job from the first figure on asks, and No sends
// nothing; the plate's outline alone has nothing to ask about.
TEST_F(JobControlTest, CuttingSelectedFiguresTellsOfFiguresNarrowerThanTheTool) {
  writeSettings(true);
  startProgram();
  ASSERT_TRUE(runUntil([&] { return connected(); }, 15000));
  setWorkZero(20, 20, 60);
  TDlgkonfig& settings = program_->context().settings();
  settings.set("doOutline", true);
  settings.set("srednica", 10.0);
  ProjectWindow* window = main().OtworzProjekt(testing::sample("plate.dxf"));
  ASSERT_NE(window, nullptr);
  TMDIChild& project = window->project();
  int hole = -1, outline = -1;
  for (std::size_t i = 0; i < project.fig.size(); ++i)
    (project.fig[i]->narrowerThanTool ? hole : outline) = static_cast<int>(i);
  ASSERT_GE(hole, 0);
  ASSERT_GE(outline, 0);
  boxWatcher_.stop();
  const std::string named = texts().dajTxt("Project_window", "msgFiguryWezszeOdNarzedzia");

  struct Case {
    const char* command;
    int figure;
    std::string told;    // the box's text holds it
    std::string answer;  // the box's closing line
  };
  const Case refused[] = {
      {"Tnijwybran1", hole, named + " 1\n", texts().dajTxt("Main_window", "msgNicDoWyciecia")},
      {"Startodwybranej1", 0, named + " 4\n", texts().dajTxt("Main_window", "msgCzyCiacPozostale")},
  };
  for (const Case& c : refused) {
    project.selected = c.figure;
    SeenBox box;
    pressInNextBox(QMessageBox::No, &box);
    main().action(c.command)->trigger();
    ASSERT_TRUE(box.seen) << c.command;
    const std::string text = box.text.toStdString();
    EXPECT_NE(text.find(c.told), std::string::npos) << c.command << ": " << text;
    EXPECT_EQ(text.substr(text.size() - c.answer.size()), c.answer) << c.command << ": " << text;
    EXPECT_EQ(session().cutting().lastVariantOutcome(), tVariantOutcome::narrowFigures) << c.command;
    EXPECT_FALSE(controller_->stateBit(stateBit::jobStored)) << c.command << " sent a job";
  }

  project.selected = outline;
  SeenBox none;
  pressInNextBox(QMessageBox::No, &none);
  main().action("Tnijwybran1")->trigger();
  EXPECT_EQ(session().cutting().lastVariantOutcome(), tVariantOutcome::started) << none.text.toStdString();
  EXPECT_FALSE(none.seen) << none.text.toStdString();
}

}  // namespace
}  // namespace trazvik::ui
