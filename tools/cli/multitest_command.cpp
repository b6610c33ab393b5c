// trazvik-cli multitest FOLDER --machine M: every project of a test folder
// cut in turn with its own settings file, each job base-checked, with the
// per-job and global base-check reports, one summary line per project, the
// drift chart beside the global report and, with --compare, each written
// job compared byte for byte with a stored one.
#include "commands.h"
#include "cut_session.h"
#include "drift_chart.h"
#include "machine_option.h"

#include "app/job_compare.h"
#include "app/multi_test.h"
#include "app/offline_job.h"
#include "base/directories.h"
#include "base/version_text.h"
#include "control/cutting_session.h"
#include "link/machine_control_operations.h"
#include "machine/machine_capabilities.h"
#include "project/open_project.h"

#include <CLI/CLI.hpp>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <thread>

namespace trazvik::cli {

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct MultitestOptions {
  std::string folder;
  std::string machine;
  int checkBaseSeconds = 0;  // 0: the program's CHECKBASE switch, else 60
  std::string compareDir;
  std::string saveJobsDir;
  double simSpeed = 20;
  double connectSeconds = 10;
  double maxJobSeconds = 0;      // 0: no limit
  std::vector<double> workZero;  // X, Y, Z machine mm; empty: a sim's default, else the machine's own
};

// Exit codes, the worst one met wins.
enum Exit : int { ok = 0, notRun = 1, itemFailed = 2, linkLost = 3, jobTimedOut = 4, beyondLimit = 5, jobDiffers = 6 };

double secondsSince(Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); }

std::vector<std::uint8_t> readAll(const std::string& path, bool& ok) {
  std::ifstream in(path, std::ios::binary);
  ok = static_cast<bool>(in);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::string mmRange(double lo, double hi) {
  char b[64];
  if (lo > hi) return "-";
  std::snprintf(b, sizeof b, "%.3f..%.3f", lo, hi);
  return b;
}

class MultitestRun {
 public:
  MultitestRun(Context& context, const MultitestOptions& options, std::ostream& out, std::ostream& err)
      : context_(context), options_(options), out_(out), err_(err) {}
  ~MultitestRun() {
    cutting_.reset();
    session_.reset();
  }

  int run();

 private:
  bool connect();
  std::string startItem(const app::TMultiTestDane& item);
  void finishItem(const std::string& result);
  void compareJob(const std::string& projectName);
  void follow();
  void worst(Exit e) { exit_ = std::max(exit_, static_cast<int>(e)); }

  Context& context_;
  const MultitestOptions& options_;
  std::ostream& out_;
  std::ostream& err_;

  std::unique_ptr<MachineSession> session_;
  TDlgkonfig settings_{'.'};
  std::unique_ptr<TMDIChild> project_;
  std::unique_ptr<logging::AppLogs> logs_;
  std::unique_ptr<tCuttingSession> cutting_;
  app::TMultiTest list_;
  std::unique_ptr<app::tMultiTestRun> run_;
  std::vector<DriftSeries> series_;
  bool sim_ = false;
  bool ended_ = false, interrupted_ = false, itemOpen_ = false;
  std::string stopText_;
  Clock::time_point itemStart_ = Clock::now();
  int exit_ = ok;
};

bool MultitestRun::connect() {
  std::string error;
  auto target = parseMachineTarget(options_.machine, error);
  if (!target) {
    err_ << "trazvik-cli multitest: " << error << "\n";
    return false;
  }
  sim_ = target->kind == MachineTarget::Kind::sim;
  target->machineFilter = context_.switches().machineFilter;
  if (sim_) target->simTimeScale = options_.simSpeed;
  MachineSession::Limits limits;
  limits.overall = std::chrono::milliseconds(static_cast<long long>(options_.connectSeconds * 1000));
  tConnectionOptions base;
  base.switches = context_.switches();
  base.programDirectory = context_.programDirectory();
  session_ = MachineSession::open(*target, error, limits, base);
  if (!session_) {
    err_ << "trazvik-cli multitest: " << error << "\n";
    return false;
  }
  texts::tInterfejs& texts = context_.texts();
  session_->connection().text = [&texts](const std::string& section, const std::string& key) {
    return texts.dajTxt(section, key);
  };
  out_ << "Connected to " << session_->description() << "\n";
  return true;
}

std::string MultitestRun::startItem(const app::TMultiTestDane& item) {
  tMachineState& m = session_->state();
  const std::string name = fs::path(item.plikPrj).filename().string();
  out_ << "[" << list_.AktualnieTestowany() + 1 << "/" << list_.Lista().size() << "] " << name << " with "
       << fs::path(item.plikKonf).filename().string() << "\n";
  // A test run never cuts with settings other than the item's.
  if (!fs::exists(item.plikKonf)) return "no settings file \"" + item.plikKonf + "\"";
  project_.reset();
  settings_ = TDlgkonfig(settings_.decimalSeparator());
  try {
    app::applySettingsFile(settings_, item.plikKonf);
  } catch (const app::tOfflineJobError& e) {
    return e.what();
  }
  settings_.SetParam(machineContextOf(m.model, m.link, m.status, true));
  tOtwieranieProjektu o;
  o.spline = context_.switches().spline;
  project_ = OtworzProjekt(item.plikPrj, settings_, context_.texts(), o);
  if (!project_) return "the project could not be opened";
  tControlSettings snapshot = controlSettingsOf(settings_);
  snapshot.ethernetConnection = session_->overEthernet();
  snapshot.signalAtEnd = false;
  cutting_->takeSettings(snapshot);
  cutting_->startContext().settingsCaption = item.plikKonf;
  ended_ = interrupted_ = false;
  itemOpen_ = true;
  itemStart_ = Clock::now();
  const tStartOutcome outcome = cutting_->Start1Click(project_.get());
  if (outcome != tStartOutcome::started) {
    itemOpen_ = false;
    return std::string("the job was not started (") + startOutcomeName(outcome) + ")";
  }
  return {};
}

void MultitestRun::compareJob(const std::string& projectName) {
  const std::string written = cutting_->start().jobFilePath();
  bool readOk = false;
  const std::vector<std::uint8_t> job = readAll(written, readOk);
  if (!options_.saveJobsDir.empty()) {
    std::error_code ec;
    fs::create_directories(options_.saveJobsDir, ec);
    fs::copy_file(written, fs::path(options_.saveJobsDir) / (projectName + ".cnx"),
                  fs::copy_options::overwrite_existing, ec);
    if (ec) err_ << "trazvik-cli multitest: the job could not be saved: " << ec.message() << "\n";
  }
  if (options_.compareDir.empty()) return;
  const std::string storedPath = (fs::path(options_.compareDir) / (projectName + ".cnx")).string();
  bool storedOk = false;
  const std::vector<std::uint8_t> stored = readAll(storedPath, storedOk);
  if (!storedOk || !readOk) {
    out_ << "    job: no stored job \"" << storedPath << "\"\n";
    worst(jobDiffers);
    return;
  }
  const tMachineState& m = session_->state();
  const app::tJobDifference d = app::compareJobs(stored, job, commandSetOf(m.model, m.link), m.model.commandLengths);
  out_ << "    job: " << app::differenceText(d) << "\n";
  if (!d.same) worst(jobDiffers);
}

void MultitestRun::finishItem(const std::string& result) {
  itemOpen_ = false;
  const tBaseCheck& check = cutting_->baseCheck;
  const app::TMultiTestDane& item = list_.Lista()[static_cast<std::size_t>(list_.AktualnieTestowany())];
  const std::string name = fs::path(item.plikPrj).filename().string();
  series_.push_back({name, check.measurements()});
  const tMinMax& d = check.chkOdchylki();
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.1f s", secondsSince(itemStart_));
  out_ << name << ": " << result << ", " << check.measurements().size()
       << (check.measurements().size() == 1 ? " check, X " : " checks, X ") << mmRange(d.minX, d.maxX) << " Y "
       << mmRange(d.minY, d.maxY) << " Z " << mmRange(d.minZ, d.maxZ) << " mm, " << seconds << ", report "
       << fs::path(check.reportPath()).filename().string() << "\n";
  if (result == kResultFailed) worst(beyondLimit);
  compareJob(name);
}

void MultitestRun::follow() {
  auto lastSecond = Clock::now();
  while (list_.JestWtoku()) {
    cutting_->timerEvent();
    if (secondsSince(lastSecond) >= 1.0) {
      lastSecond = Clock::now();
      logs_->JobTimeDisplayTimer();
    }
    if (ended_) {
      ended_ = false;
      finishItem(cutting_->baseCheck.aborted() ? kResultFailed : kResultOk);
      run_->nextItem();
      continue;
    }
    if (itemOpen_ && cutting_->baseCheck.aborted()) {
      // The job stays paused above the limit: the operator decides.
      finishItem(kResultFailed);
      run_->stop("---- TEST ZOSTAŁ PRZERWANY - the job is left paused ---- - " + run_->texts().end);
      break;
    }
    if (interrupted_ || !session_->connection().connected()) {
      if (itemOpen_) finishItem("link lost");
      worst(linkLost);
      cutting_->baseCheck.appendTimed(std::string("  ") + app::kMultiTestNoLink);
      run_->stop(run_->texts().noLink);
      break;
    }
    if (options_.maxJobSeconds > 0 && itemOpen_ && secondsSince(itemStart_) > options_.maxJobSeconds) {
      finishItem("timed out");
      worst(jobTimedOut);
      run_->stop("the job took longer than --max-job-time - " + run_->texts().end);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(std::max(1, cutting_->interval())));
  }
}

int MultitestRun::run() {
  try {
    context_.requireSingleInstance();
  } catch (const CommandFailed&) {
    return notRun;
  }
  if (!fs::is_directory(options_.folder)) {
    err_ << "trazvik-cli multitest: \"" << options_.folder << "\" is not a folder\n";
    return notRun;
  }
  if (auto warning = list_.LadujListeZFolderu(options_.folder)) err_ << *warning << "\n";
  if (list_.Lista().empty()) {
    err_ << "trazvik-cli multitest: no project (.plt, .dxf, .nc) in \"" << options_.folder << "\"\n";
    return notRun;
  }
  base::StartupSwitches switches = context_.switches();
  switches.checkBaseMode = true;
  if (options_.checkBaseSeconds > 0) switches.checkBaseInterval = options_.checkBaseSeconds;
  logging::LogSetup setup;
  setup.dataDirectory = context_.dataDirectory();
  setup.saveLogToXml = switches.saveLogToXml;
  setup.jobLogging = switches.jobLogging;
  setup.texts = &context_.texts();
  setup.boxes = &context_.boxes();
  setup.decimalSeparator = settings_.decimalSeparator();
  logs_ = std::make_unique<logging::AppLogs>(setup);
  logs_->log_start_app(base::programFileDirectory() + "trazvik-cli", base::programVersionText());
  if (!connect()) {
    logs_->log_end_app();
    return notRun;
  }
  tMachineState& m = session_->state();
  if (sim_ || !options_.workZero.empty()) {
    const bool given = options_.workZero.size() == 3;
    m.status.pos0.x = (given ? options_.workZero[0] : kSimWorkZero[0]) * 100;
    m.status.pos0.y = (given ? options_.workZero[1] : kSimWorkZero[1]) * 100;
    m.status.pos0.z = (given ? options_.workZero[2] : kSimWorkZero[2]) * 100;
    setWorkZeroXY(session_->ops());
    setWorkZeroZ(session_->ops());
  }
  cutting_ = std::make_unique<tCuttingSession>(
      session_->connection(), settings_, context_.texts(),
      tCuttingSessionSetup{context_.dataDirectory(), switches, logs_.get(), context_.frame().caption()});
  cutting_->activeProject = [this] { return project_.get(); };
  cutting_->onEvent = [this](const tControlEvent& e) {
    ended_ = ended_ || e.kind == tControlEventKind::jobEnded;
    interrupted_ = interrupted_ || e.kind == tControlEventKind::jobInterrupted;
  };
  cutting_->takeSettings(controlSettingsOf(settings_));
  cutting_->createPanel();
  cutting_->control.panel.setTimerEnabled(true);
  out_ << "Testing " << list_.Lista().size() << " projects of " << list_.AktualnyFolder() << ", base check every "
       << cutting_->control.flags.checkBaseInterval << " s\n";

  app::tMultiTestHooks hooks;
  hooks.startItem = [this](const app::TMultiTestDane& item) { return startItem(item); };
  hooks.stopped = [this](const std::string& text) { stopText_ = text; };
  hooks.machinePresent = [this] { return session_->connection().connected(); };
  hooks.reportLine = [this](const std::string& text) { cutting_->baseCheck.appendTimed(text); };
  run_ = std::make_unique<app::tMultiTestRun>(list_, hooks, app::tMultiTestTexts::of(context_.texts()));
  run_->start();
  follow();
  if (stopText_ != run_->texts().end) worst(itemFailed);
  out_ << "Status: " << stopText_ << "\n";
  const std::string global = cutting_->baseCheck.globalReportPath();
  out_ << "Global report: " << global << "\n";
  if (!series_.empty()) {
    const std::string chart = global.substr(0, global.size() - 4) + ".png";
    std::string error;
    if (writeDriftChart(series_, chart, error))
      out_ << "Drift chart: " << chart << "\n";
    else
      err_ << "trazvik-cli multitest: " << error << "\n";
  }
  logs_->log_end_app();
  return exit_;
}

}  // namespace

void addMultitestCommand(CLI::App& app, Context& context) {
  auto options = std::make_shared<MultitestOptions>();
  CLI::App* cmd = app.add_subcommand(
      "multitest",
      "Cut every project of a test folder with its own settings file, base-checked, with the base-check reports");
  cmd->add_option("FOLDER", options->folder, "Folder of projects (.plt, .dxf, .nc) and their .mcc settings files")
      ->required();
  cmd->add_option("--machine", options->machine, "sim:TYPE | tcp:HOST[:PORT[:IDENTITY_PORT]] | usb")->required();
  cmd->add_option("--check-base", options->checkBaseSeconds,
                  "seconds between base checks during a job (default: the CHECKBASE switch's, else 60)")
      ->check(CLI::PositiveNumber);
  cmd->add_option("--compare", options->compareDir,
                  "folder of stored jobs (PROJECT.cnx, e.g. a.plt.cnx): each written job must be the same");
  cmd->add_option("--save-jobs", options->saveJobsDir, "copy each written job there as PROJECT.cnx");
  cmd->add_option("--sim-speed", options->simSpeed, "sim: simulated seconds per real second (default 20)")
      ->check(CLI::PositiveNumber);
  cmd->add_option("--connect-timeout", options->connectSeconds, "seconds to wait for the controller (default 10)");
  cmd->add_option("--work-zero", options->workZero,
                  "work zero X,Y,Z in machine millimetres, set before the first job (sim default 20,20,60)")
      ->delimiter(',')
      ->expected(3);
  cmd->add_option("--max-job-time", options->maxJobSeconds, "give up a job after this many seconds (default: never)");
  cmd->callback([options, &context] {
    MultitestRun run(context, *options, std::cout, std::cerr);
    const int code = run.run();
    if (code != 0) throw CommandFailed(code);
  });
}

}  // namespace trazvik::cli
