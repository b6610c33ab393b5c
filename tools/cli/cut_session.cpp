#include "cut_session.h"

#include "interrupt_flag.h"
#include "machine_option.h"

#include "controller.h"
#include "journal.h"
#include "trace_writer.h"

#include "base/directories.h"
#include "base/version_text.h"
#include "config/tdlgkonfig.h"
#include "control/cutting_session.h"
#include "control/job_resume.h"
#include "control/stall_watch.h"
#include "link/hid_service.h"
#include "machine/machine_capabilities.h"
#include "machine/state_bits.h"
#include "link/machine_connection.h"
#include "link/machine_control_operations.h"
#include "logging/app_logs.h"
#include "project/tmdichild.h"
#include "texts/interfejs.h"

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <cmath>
#include <iostream>
#include <thread>

namespace trazvik::cli {
namespace {

using Clock = std::chrono::steady_clock;

// What a paused job waits for, as the operator can give it.
constexpr const char* kHowToGoOn = "Press the machine's continue button to go on, or Ctrl-C for the menu.";

double secondsSince(Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); }

// Feeds the sample jobs finish in a few seconds at.
constexpr double kDefaultSimSpeed = 20.0;

std::string trimmedText(const std::string& s) {
  const auto b = s.find_first_not_of(' ');
  return b == std::string::npos ? std::string() : s.substr(b, s.find_last_not_of(' ') - b + 1);
}

}  // namespace

int exitCodeOf(CutEnd end) {
  switch (end) {
    case CutEnd::finished: return 0;
    case CutEnd::stoppedByOperator:
    case CutEnd::leftPaused: return 2;
    case CutEnd::linkLost:
    case CutEnd::linkFaulty: return 3;
    case CutEnd::timedOut: return 4;
    case CutEnd::stalled: return 5;
    case CutEnd::notStarted: return 1;
  }
  return 1;
}

const char* cutEndName(CutEnd end) {
  switch (end) {
    case CutEnd::finished: return "finished";
    case CutEnd::stoppedByOperator: return "stopped by the operator";
    case CutEnd::leftPaused: return "left paused in the controller";
    case CutEnd::linkLost: return "interrupted: the link to the controller was lost";
    case CutEnd::linkFaulty: return "interrupted: the controller's replies could not be read";
    case CutEnd::stalled: return "stopped: the controller took no more of the job";
    case CutEnd::notStarted: return "not started";
    case CutEnd::timedOut: return "given up after the time limit";
  }
  return "?";
}

class CutSession {
 public:
  CutSession(Context& context, const CutOptions& options, std::istream& in, std::ostream& out, std::ostream& err)
      : context_(context), options_(options), in_(in), out_(out), err_(err) {}
  ~CutSession();

  int run();

 private:
  bool openMachine(const MachineTarget& target);
  void setWorkZero(const MachineTarget& target);
  bool repeatJob();
  void buildControl();
  void followJob();
  void step();
  void onEvent(const tControlEvent& e);
  bool askAfterInterrupt();
  void stopJob();
  void stopStalled();
  bool pausedTooLong();
  CutProgress progress();
  void finishSummary();
  bool takeUpJob();
  bool waitForRest();

  Context& context_;
  const CutOptions& options_;
  std::istream& in_;
  std::ostream& out_;
  std::ostream& err_;

  LoadedProject loaded_;
  std::unique_ptr<logging::AppLogs> logs_;
  std::unique_ptr<MachineSession> session_;
  tMachineConnection* connection_ = nullptr;
  std::unique_ptr<tCuttingSession> cutting_;
  tMachineControl* control_ = nullptr;  // the cutting session's
  std::unique_ptr<ProgressPrinter> printer_;
  double timeScale_ = 1;  // the simulated controller's clock against the wall clock
  std::string settingsCaption_;
  bool howToGoOnDue_ = false;
  double maxPause_ = 0;  // 0: a paused job waits for ever
  std::optional<Clock::time_point> pausedAt_;

  // The connected machine (after openMachine).
  tMachineState& machine() { return connection_->state(); }

  CutSummary summary_;
  bool ended_ = false;
  bool interrupted_ = false;
  Clock::time_point startedAt_ = Clock::now();
  Clock::time_point lostAt_{};
  Clock::time_point lastRate_ = Clock::now();
  std::int64_t lastCount_ = 0;
  double rate_ = 0;
};

CutSession::~CutSession() {
  // The loop's objects refer to the connection: they go first.
  cutting_.reset();
  session_.reset();
}

bool CutSession::openMachine(const MachineTarget& target) {
  if (target.simulated()) timeScale_ = options_.simSpeed > 0 ? options_.simSpeed : kDefaultSimSpeed;
  session_ =
      connectForJob(context_, target, {"cut", options_.connectSeconds, timeScale_, options_.simFaults}, out_, err_);
  if (!session_) return false;
  connection_ = &session_->connection();
  return true;
}

void CutSession::setWorkZero(const MachineTarget& target) {
  std::optional<std::array<double, 3>> zero = options_.workZero;
  // A job taken up again goes on from the zero it was cut at.
  if (!zero && target.simulated() && !options_.resume) zero = kSimWorkZero;
  tMachineOps& ops = connection_->ops();
  if (zero) {
    machine().status.pos0.x = (*zero)[0] * 100;
    machine().status.pos0.y = (*zero)[1] * 100;
    machine().status.pos0.z = (*zero)[2] * 100;
    setWorkZeroXY(ops);
    setWorkZeroZ(ops);
  }
  ops.status.readZeroPoint();
  out_ << "Work zero: X " << machine().status.pos0.x / 100 << ", Y " << machine().status.pos0.y / 100 << ", Z "
       << machine().status.pos0.z / 100 << " mm\n";
}

bool CutSession::repeatJob() {
  if (summary_.runs > options_.repeat) return false;
  printer_->finish(progress());
  out_ << "Repeating the job stored in the controller (" << summary_.runs << " of " << options_.repeat << ")\n";
  ended_ = false;
  control_->commands.Powtrz1Click();
  return true;
}

void CutSession::buildControl() {
  TDlgkonfig& settings = *loaded_.settings;
  cutting_ = std::make_unique<tCuttingSession>(
      *connection_, settings, context_.texts(),
      tCuttingSessionSetup{context_.dataDirectory(), context_.switches(), logs_.get(), context_.frame().caption()});
  control_ = &cutting_->control;
  tControlSettings snapshot = controlSettingsOf(settings);
  snapshot.ethernetConnection = session_->overEthernet();  // the watchdog brings a dropped network link back
  snapshot.signalAtEnd = false;
  snapshot.stallAskSeconds = 0;  // no question: --max-stall decides
  cutting_->takeSettings(snapshot);
  cutting_->onEvent = [this](const tControlEvent& e) { onEvent(e); };
  cutting_->activeProject = [this] { return loaded_.project.get(); };
  cutting_->startContext().settingsCaption = settingsCaption_;
  cutting_->startContext().headChoice = options_.head - 1;
  control_->context.mainWindow.lastOpenedFile = [this] { return options_.project.file; };
  cutting_->createPanel();
  control_->panel.setTimerEnabled(true);
}

void CutSession::onEvent(const tControlEvent& e) {
  switch (e.kind) {
    case tControlEventKind::jobEnded:
      summary_.end = CutEnd::finished;
      ++summary_.runs;
      ended_ = true;
      break;
    case tControlEventKind::linkFaulty:
      // The message box says what happened and where the job stood.
      if (printer_) printer_->interrupt();
      summary_.end = CutEnd::linkFaulty;
      break;
    case tControlEventKind::echoFault:
      if (printer_) printer_->interrupt();
      // A job command's (its byte in `value`): the job is held. The advice
      // follows the message box, which comes after the event.
      howToGoOnDue_ = e.value >= 0;
      break;
    case tControlEventKind::pausedByMachine:
      if (printer_) printer_->interrupt();
      out_ << "The machine's STOP button paused the job. " << kHowToGoOn << "\n";
      break;
    case tControlEventKind::controllerStalled:
      if (printer_) printer_->interrupt();
      out_ << e.detail << "\n";
      break;
    case tControlEventKind::linkLost:
    case tControlEventKind::jobInterrupted:
      if (summary_.end == CutEnd::linkFaulty || summary_.end == CutEnd::stalled) break;
      if (summary_.end != CutEnd::linkLost) {
        if (printer_) printer_->interrupt();
        out_ << "The link to the controller was lost; the job stopped at byte " << e.filePos << " of the job file ("
             << e.percent << " % sent). Waiting for the controller...\n";
      }
      summary_.end = CutEnd::linkLost;
      lostAt_ = Clock::now();
      break;
    case tControlEventKind::jobPaused:
    case tControlEventKind::jobContinued:
      if (printer_) printer_->interrupt();
      out_ << controlEventName(e.kind) << (e.detail.empty() ? "" : ": " + e.detail) << "\n";
      break;
    case tControlEventKind::spindleOverload:
      // Its message box, which follows, tells it.
      if (printer_) printer_->interrupt();
      break;
    case tControlEventKind::driverError:
    case tControlEventKind::enclosureOpened:
      // Told by the message box that follows, with the advice after it:
      // the alarm paused the job.
      if (printer_) printer_->interrupt();
      howToGoOnDue_ = control_ && control_->context.flags.jobPaused;
      break;
    default: break;
  }
}

CutProgress CutSession::progress() {
  CutProgress p;
  p.percentSent = control_->context.flags.transmissionPercent;
  const double dt = secondsSince(lastRate_);
  if (dt >= 1.0) {
    rate_ = static_cast<double>(control_->transfer.licznik - lastCount_) / dt;
    lastCount_ = control_->transfer.licznik;
    lastRate_ = Clock::now();
  }
  p.commandsPerSecond = control_->transfer.isOpen ? rate_ : 0;
  p.elapsedSeconds = logs_->stopwatch().Elapsed() * 86400.0;
  p.estimatedSeconds = loaded_.project->GetEstimatedCuttingTime() * 60.0 / timeScale_;
  const double stall = control_->transfer.stallSeconds();
  if (summary_.end == CutEnd::linkLost)
    p.state = "link lost";
  else if (summary_.end == CutEnd::linkFaulty)
    p.state = "link faulty";
  else if (stall > 0 && stall >= control_->context.settings.stallNoticeSeconds)
    p.state = controllerWaitText(stall);
  else if (control_->context.flags.jobPaused)
    p.state = "paused";
  else if (control_->transfer.isOpen && !control_->context.flags.transferActive && control_->transfer.licznik > 0)
    p.state = "waiting for room";
  else if (control_->transfer.isOpen)
    p.state = "sending";
  else
    p.state = "cutting";
  return p;
}

void CutSession::stopJob() {
  // The job is held and parked by the pause; the controller forgets it.
  if (control_->transfer.isOpen) control_->transfer.stop();
  control_->context.send(Bytes{static_cast<std::uint8_t>('C')});
  control_->context.flags.jobStarted = false;
  control_->context.flags.jobPaused = false;
}

bool CutSession::askAfterInterrupt() {
  printer_->interrupt();
  out_ << "Ctrl-C: pausing the job...\n";
  control_->commands.Wstrzymaj1Click();
  for (int attempt = 0; attempt < 3; ++attempt) {
    out_ << "Job paused. [c]ontinue, [s]top the job, or [q]uit and leave it paused? " << std::flush;
    std::string answer;
    if (!std::getline(in_, answer)) break;
    if (answer == "c" || answer == "continue") {
      control_->commands.Kontynuacja1Click();
      return true;
    }
    if (answer == "s" || answer == "stop") {
      stopJob();
      summary_.end = CutEnd::stoppedByOperator;
      return false;
    }
    if (answer == "q" || answer == "quit") break;
  }
  out_ << "Leaving the job paused in the controller.\n";
  summary_.end = CutEnd::leftPaused;
  return false;
}

void CutSession::step() { cutting_->timerEvent(); }

void CutSession::stopStalled() {
  printer_->interrupt();
  const long long seconds = std::llround(std::floor(control_->transfer.stallSeconds()));
  summary_.end = CutEnd::stalled;
  control_->transfer.stopStalled("The controller reported its buffer full while the machine stood still for " +
                                 std::to_string(seconds) + " s (--max-stall): the job is stopped at byte " +
                                 std::to_string(control_->transfer.filePosition()) + " of the job file.");
  stopJob();
}

bool CutSession::pausedTooLong() {
  if (!control_->context.flags.jobPaused) {
    pausedAt_.reset();
    return false;
  }
  if (maxPause_ <= 0) return false;
  if (!pausedAt_) {
    pausedAt_ = Clock::now();
    printer_->interrupt();
    out_ << "Unless the job is continued at the machine within " << maxPause_
         << " s, it is left paused (--max-pause).\n";
    return false;
  }
  if (secondsSince(*pausedAt_) < maxPause_) return false;
  printer_->interrupt();
  out_ << "The job was not continued within " << maxPause_ << " s: leaving it paused in the controller.\n";
  summary_.end = CutEnd::leftPaused;
  return true;
}

void CutSession::followJob() {
  InterruptFlag interrupt;
  const bool answerable = &in_ == &std::cin && ::isatty(STDIN_FILENO) == 1;
  maxPause_ = options_.maxPauseSeconds > 0 ? options_.maxPauseSeconds : answerable ? 0 : kUnattendedPauseSeconds;
  printer_ = std::make_unique<ProgressPrinter>(out_, ::isatty(STDOUT_FILENO) == 1 && &out_ == &std::cout);
  auto lastSecond = Clock::now();
  for (;;) {
    step();
    if (ended_ && !repeatJob()) break;
    if (secondsSince(lastSecond) >= 1.0) {
      lastSecond = Clock::now();
      logs_->JobTimeDisplayTimer();
    }
    if (howToGoOnDue_) {
      howToGoOnDue_ = false;
      out_ << kHowToGoOn << "\n";
    }
    printer_->update(progress(), secondsSince(startedAt_));
    if (interrupt.take() && !askAfterInterrupt()) return;
    if (summary_.end == CutEnd::linkFaulty) return;
    if (pausedTooLong()) return;
    if (options_.maxStallSeconds > 0 && control_->transfer.stallSeconds() >= options_.maxStallSeconds) {
      stopStalled();
      return;
    }
    if (summary_.end == CutEnd::linkLost) {
      if (connection_->connected() || secondsSince(lostAt_) > options_.reconnectSeconds) {
        out_ << (connection_->connected() ? "The controller answers again." : "The controller did not come back.")
             << "\n";
        out_ << "Take the job up where the machine stopped with: trazvik-cli cut " << options_.project.file
             << " --machine " << options_.machine << " --resume\n";
        return;
      }
    }
    if (options_.maxSeconds > 0 && secondsSince(startedAt_) > options_.maxSeconds) {
      summary_.end = CutEnd::timedOut;
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(std::max(1, control_->interval())));
  }
  printer_->finish(progress());
}

void CutSession::finishSummary() {
  summary_.wallSeconds = secondsSince(startedAt_);
  summary_.timeScale = timeScale_;
  summary_.runningSeconds = logs_ ? logs_->stopwatch().Elapsed() * 86400.0 : 0;
  if (control_) {
    summary_.commandsSent = control_->transfer.licznik;
    summary_.filePosition = control_->transfer.isOpen ? static_cast<std::int32_t>(control_->transfer.filePosition())
                                                      : control_->context.flags.lastFilePos;
  }
  summary_.percentSent = control_->context.flags.transmissionPercent;
  if (logs_) summary_.logs = logs_->filesWritten();
  sim::SimController* simulated = session_ ? session_->simController() : nullptr;
  if (simulated && !options_.simJournal.empty()) {
    std::string error;
    if (!sim::writeJournal(simulated->executedJobCommands(), options_.simJournal, error))
      err_ << "trazvik-cli cut: " << error << "\n";
  }
  if (simulated && !options_.tracePath.empty()) {
    std::string error;
    if (sim::writeTrace(simulated->trace(), options_.tracePath, error))
      summary_.tracePath = options_.tracePath;
    else
      err_ << "trazvik-cli cut: " << error << "\n";
  }
}

int CutSession::run() {
  std::string error;
  const auto target = parseMachineTarget(options_.machine, error);
  if (!target) {
    err_ << "trazvik-cli cut: " << error << "\n";
    return 1;
  }
  if ((!options_.simFaults.empty() || !options_.simJournal.empty()) && !target->simulated()) {
    err_ << "trazvik-cli cut: --sim-fault and --sim-journal need --machine sim:TYPE or sim-usb:TYPE\n";
    return 1;
  }
  if (!options_.tracePath.empty() && !target->simulated()) {
    err_ << "trazvik-cli cut: --trace needs --machine sim:TYPE (trazvik-sim draws its own with its --trace)\n";
    return 1;
  }
  // Another copy holding the machine: told by the frame's box; the job is
  // not started (exit 1, not the link-lost 3 the other commands' refusal has).
  try {
    context_.requireSingleInstance();
  } catch (const CommandFailed&) {
    return 1;
  }
  loaded_ = loadProject(context_, options_.project);
  // A job is taken up only with the design file it was written from, as
  // it was then: told before the machine is reached.
  if (options_.resume) {
    if (const auto refusal = resumeRefusalFor(context_.dataDirectory(), options_.project.file)) {
      err_ << "trazvik-cli cut: " << *refusal << "\n";
      return 1;
    }
  }
  settingsCaption_ =
      options_.project.settingsFile.empty() ? std::string("(default settings)") : options_.project.settingsFile;
  const base::StartupSwitches& switches = context_.switches();
  logging::LogSetup setup;
  setup.dataDirectory = context_.dataDirectory();
  setup.saveLogToXml = switches.saveLogToXml;
  setup.jobLogging = switches.jobLogging;
  setup.texts = &context_.texts();
  setup.boxes = &context_.boxes();
  setup.decimalSeparator = loaded_.settings->decimalSeparator();
  logs_ = std::make_unique<logging::AppLogs>(setup);
  logs_->log_start_app(base::programFileDirectory() + "trazvik-cli", base::programVersionText());

  if (!openMachine(*target)) {
    logs_->log_end_app();
    return 1;
  }
  out_ << "Controller: " << trimmedText(machine().status.info1) << " (" << machine().model.machineType << "), firmware "
       << firmwareVersionText(machine().link) << ", working area " << machine().link.workArea[0] << " x "
       << machine().link.workArea[1] << " mm\n";
  // A machine without heads in its table has the one tool.
  const int heads = std::max(1, static_cast<int>(machine().model.machineParams.headCount));
  if (options_.head > heads) {
    err_ << "trazvik-cli cut: head " << options_.head << ": machine type \"" << machine().model.machineType << "\" has "
         << heads << (heads == 1 ? " head" : " heads") << "\n";
    logs_->log_end_app();
    return 1;
  }
  loaded_.settings->SetParam(machineContextOf(machine().model, machine().link, machine().status, true));
  setWorkZero(*target);
  buildControl();

  startedAt_ = Clock::now();
  if (options_.resume) {
    if (!takeUpJob()) {
      finishSummary();
      logs_->log_end_app();
      return 1;
    }
    followJob();
    finishSummary();
    logs_->log_end_app();
    const TMDIChild& p = *loaded_.project;
    out_ << summaryText(summary_, p.total_lenwork, p.total_lenprzes, p.GetEstimatedCuttingTime());
    return exitCodeOf(summary_.end);
  }
  const tStartOutcome outcome = cutting_->Start1Click(loaded_.project.get());
  summary_.startOutcome = startOutcomeName(outcome);
  summary_.jobFile = cutting_->start().jobFilePath();
  if (outcome != tStartOutcome::started) {
    err_ << "trazvik-cli cut: the job was not started (" << summary_.startOutcome << ")\n";
    finishSummary();
    logs_->log_end_app();
    return 1;
  }
  out_ << "Job " << summary_.jobFile << " started on " << trimmedText(machine().status.info1) << "\n";
  followJob();
  finishSummary();
  logs_->log_end_app();
  const TMDIChild& p = *loaded_.project;
  out_ << summaryText(summary_, p.total_lenwork, p.total_lenprzes, p.GetEstimatedCuttingTime());
  return exitCodeOf(summary_.end);
}

// The controller may still run out what it received: the point is taken
// once it stands.
bool CutSession::waitForRest() {
  const auto resting = [this] {
    const tplotstate& st = machine().status;
    return !st.bit(stateBit::motionRunning) &&
           (!st.bit(stateBit::jobRunning) || st.bit(stateBit::heldForEmptyBuffer) || st.bit(stateBit::jobPaused));
  };
  connection_->status().readState();
  if (resting()) return true;
  out_ << "The controller still runs the job it received; waiting until the machine stands...\n";
  const auto since = Clock::now();
  while (secondsSince(since) < options_.reconnectSeconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    connection_->status().readState();
    if (resting()) return true;
  }
  return false;
}

bool CutSession::takeUpJob() {
  std::string error;
  auto job = cutting_->interruptedJob(error);
  if (!job) {
    err_ << "trazvik-cli cut: " << (error.empty() ? "there is no interrupted job to take up" : error) << "\n";
    return false;
  }
  if (!waitForRest()) {
    err_ << "trazvik-cli cut: the machine did not come to rest within " << options_.reconnectSeconds
         << " s; the job was not taken up\n";
    return false;
  }
  const tResumePoint point = cutting_->resumePoint(*job);
  out_ << "Interrupted job: " << point.account << "\n";
  out_ << "The point is " << resumeCertaintyName(point.certainty) << ".\n";
  if (point.homingRequired) {
    err_ << "trazvik-cli cut: home the machine first (trazvik-cli home --machine " << options_.machine
         << "), then take the job up with --resume again\n";
    return false;
  }
  const tResumeChoice choice = options_.resumeFromNext ? (*options_.resumeFromNext ? tResumeChoice::nextFigure
                                                                                   : tResumeChoice::interruptedFigure)
                                                       : cutting_->defaultChoice();
  const tResumeResult r = cutting_->resume(loaded_.project.get(), *job, point, choice);
  summary_.startOutcome = r.started ? "resumed" : variantOutcomeName(r.variant);
  summary_.jobFile = cutting_->start().jobFilePath();
  if (!r.started) {
    err_ << "trazvik-cli cut: " << r.message << "\n";
    return false;
  }
  out_ << "Job taken up at figure " << r.figure + 1 << ", " << resumeChoiceText(choice) << "; " << summary_.jobFile
       << " started on " << trimmedText(machine().status.info1) << "\n";
  return true;
}

std::string summaryText(const CutSummary& s, double cutMm, double travelMm, double estimatedMinutes) {
  char line[512];
  std::string text = "\nJob " + std::string(cutEndName(s.end)) + ".\n";
  std::snprintf(line, sizeof line, "  time:      %s cutting (pauses left out), %s in all; estimated %s\n",
                clockText(s.runningSeconds).c_str(), clockText(s.wallSeconds).c_str(),
                clockText(estimatedMinutes * 60 / s.timeScale).c_str());
  text += line;
  if (s.timeScale != 1) {
    std::snprintf(
        line, sizeof line, "             simulated %g times faster: %s cutting at the machine's pace, %s estimated\n",
        s.timeScale, clockText(s.runningSeconds * s.timeScale).c_str(), clockText(estimatedMinutes * 60).c_str());
    text += line;
  }
  std::snprintf(line, sizeof line, "  lengths:   %.1f mm cut, %.1f mm travel\n", cutMm, travelMm);
  text += line;
  std::snprintf(line, sizeof line, "  sent:      %lld commands, %.0f %% of the job file (byte %d)\n",
                static_cast<long long>(s.commandsSent), s.percentSent, s.filePosition);
  text += line;
  if (!s.jobFile.empty()) text += "  job file:  " + s.jobFile + "\n";
  for (const std::string& log : s.logs) text += "  log:       " + log + "\n";
  if (!s.tracePath.empty()) text += "  tool path: " + s.tracePath + "\n";
  return text;
}

int runCut(Context& context, const CutOptions& options, std::istream& in, std::ostream& out, std::ostream& err) {
  // The logs and the job record name the design file by its full path.
  CutOptions absolute = options;
  std::error_code ec;
  const auto full = std::filesystem::absolute(options.project.file, ec);
  if (!ec) absolute.project.file = full.lexically_normal().string();
  CutSession session(context, absolute, in, out, err);
  return session.run();
}

}  // namespace trazvik::cli
