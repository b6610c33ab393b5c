// trazvik-cli burn FILE.bmp --machine M: a bitmap engraved from the shell.
// The picture is opened as a project, the controller reached, the raster
// lines streamed by the engraving worker with a progress line (lines burnt,
// lines per second, time left); Ctrl-C pauses after the current line and
// asks whether to continue or stop; a summary closes the run.
#include "commands.h"
#include "cut_progress.h"
#include "cut_session.h"
#include "interrupt_flag.h"
#include "machine_option.h"
#include "project_loading.h"

#include "controller.h"
#include "trace_writer.h"
#include "usb_device.h"

#include "config/tdlgkonfig.h"
#include "control/cutting_session.h"
#include "machine/machine_capabilities.h"
#include "link/machine_control_operations.h"
#include "project/tmdichild.h"
#include "texts/interfejs.h"

#include <CLI/CLI.hpp>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <iostream>
#include <sstream>
#include <thread>

namespace trazvik::cli {
namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); }

struct BurnOptions {
  ProjectOptions project;
  std::string machine;
  double simSpeed = 20;
  std::string tracePath;
  double width = 0, pitch = 0, black = -1, white = -1;
  bool oneWay = false;
  std::vector<double> workZero;
  double connectSeconds = 10;
  double maxSeconds = 0;
};

std::string number(double v) {
  std::ostringstream s;
  s.imbue(std::locale::classic());
  s << v;
  return s.str();
}

class BurnSession {
 public:
  BurnSession(Context& context, BurnOptions options, std::istream& in, std::ostream& out, std::ostream& err)
      : context_(context), o_(std::move(options)), in_(in), out_(out), err_(err) {}
  ~BurnSession() {
    cutting_.reset();
    session_.reset();
  }
  int run();

 private:
  bool connect(const MachineTarget& target);
  void follow(InterruptFlag& interrupt);
  bool askAfterInterrupt();
  void progress(bool last);
  void summary();

  Context& context_;
  BurnOptions o_;
  std::istream& in_;
  std::ostream& out_;
  std::ostream& err_;
  LoadedProject loaded_;
  std::unique_ptr<MachineSession> session_;
  std::unique_ptr<tCuttingSession> cutting_;
  double timeScale_ = 1;
  Clock::time_point started_ = Clock::now();
  double pausedSeconds_ = 0;
  bool stopped_ = false;
  bool timedOut_ = false;
  double lastPrinted_ = -1;
  bool terminal_ = false;
  std::uint64_t reportsAtStart_ = 0;
  std::uint64_t statusReportsAtStart_ = 0;
  tMachineState& machine() { return session_->connection().state(); }
};

bool BurnSession::connect(const MachineTarget& target) {
  if (target.simulated()) timeScale_ = o_.simSpeed;
  session_ = connectForJob(context_, target, {"burn", o_.connectSeconds, timeScale_, {}}, out_, err_);
  return session_ != nullptr;
}

void BurnSession::progress(bool last) {
  const tBMPThread* w = cutting_->engraving.worker();
  if (!w) return;
  const double now = secondsSince(started_);
  if (!last && now - lastPrinted_ < (terminal_ ? 0.2 : 2.0)) return;
  lastPrinted_ = now;
  const int done = w->linesDone(), total = w->lineCount();
  const double running = std::max(1e-9, now - pausedSeconds_);
  const double rate = done / running;
  const double left = rate > 0 ? (total - done) / rate : -1;
  const int bar = 30, filled = total > 0 ? bar * done / total : 0;
  char line[256];
  std::snprintf(line, sizeof line, "[%s%s] %d/%d lines  %.1f lines/s  %s elapsed  %s left",
                std::string(filled, '#').c_str(), std::string(bar - filled, '.').c_str(), done, total, rate,
                clockText(running).c_str(), clockText(left).c_str());
  if (terminal_)
    out_ << "\r" << line << (last ? "\n" : "") << std::flush;
  else
    out_ << line << std::endl;
}

bool BurnSession::askAfterInterrupt() {
  if (terminal_) out_ << "\n";
  out_ << "Ctrl-C: pausing after the current line..." << std::endl;
  tControlState& flags = cutting_->control.flags;
  flags.engravingStopRequested = true;
  const tBMPThread* w = cutting_->engraving.worker();
  const auto pausedAt = Clock::now();
  while (w && !w->Suspended() && !w->Finished()) {
    cutting_->timerEvent();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (!w || w->Finished()) return true;
  out_ << "Paused after line " << w->linesDone() << " of " << w->lineCount() << "." << std::endl;
  for (int attempt = 0; attempt < 3; ++attempt) {
    out_ << "Engraving paused. [c]ontinue, [s]top, or [q]uit (the engraving stops)? " << std::flush;
    std::string answer;
    if (!std::getline(in_, answer)) break;
    if (answer == "c" || answer == "continue") {
      pausedSeconds_ += secondsSince(pausedAt);
      cutting_->control.commands.Kontynuacja1Click();
      if (w->Suspended()) cutting_->engraving.resume();
      return true;
    }
    if (answer == "s" || answer == "stop" || answer == "q" || answer == "quit") break;
  }
  stopped_ = true;
  return false;
}

void BurnSession::follow(InterruptFlag& interrupt) {
  terminal_ = ::isatty(STDOUT_FILENO) == 1 && &out_ == &std::cout;
  const tBMPThread* w = cutting_->engraving.worker();
  while (w && !w->Finished()) {
    cutting_->timerEvent();
    progress(false);
    if (interrupt.take() && !askAfterInterrupt()) break;
    if (o_.maxSeconds > 0 && secondsSince(started_) > o_.maxSeconds) {
      timedOut_ = true;
      break;
    }
    // The worker waits for its monitoring tick to be run here: it is run
    // as soon as it is handed over, so the lines are not held back.
    session_->connection().queue().waitAndRun(std::chrono::milliseconds(5));
  }
  progress(true);
}

void BurnSession::summary() {
  const tBMPThread* w = cutting_->engraving.worker();
  const double wall = secondsSince(started_), running = std::max(1e-9, wall - pausedSeconds_);
  const int done = w ? w->linesDone() : 0, total = w ? w->lineCount() : 0;
  const std::uint64_t bytes = w ? w->bytesSent() : 0, commands = w ? w->commandsSent() : 0;
  const std::string problem = w ? w->problem() : std::string();
  cutting_->engraving.stop();
  const char* end = stopped_           ? "stopped by the operator"
                    : timedOut_        ? "given up after the time limit"
                    : !problem.empty() ? "interrupted"
                                       : "finished";
  out_ << "\nEngraving " << end << (problem.empty() ? "" : ": " + problem) << ".\n";
  char line[256];
  std::snprintf(line, sizeof line, "  lines:     %d of %d, %d pixels each, pitch %g mm\n", done, total,
                w ? w->szerokoscPixel : 0, loaded_.settings->real("BMPKrok"));
  out_ << line;
  std::snprintf(line, sizeof line, "  time:      %s burning (pauses left out), %s in all\n", clockText(running).c_str(),
                clockText(wall).c_str());
  out_ << line;
  std::snprintf(line, sizeof line, "  rate:      %.1f lines/s, %.0f bytes/s, %.0f commands/s\n", done / running,
                static_cast<double>(bytes) / running, static_cast<double>(commands) / running);
  out_ << line;
  std::snprintf(line, sizeof line, "  sent:      %llu bytes in %llu commands\n", static_cast<unsigned long long>(bytes),
                static_cast<unsigned long long>(commands));
  out_ << line;
  if (const sim::SimHidDevice* usb = session_->simUsbDevice()) {
    const double perSecond = static_cast<double>(usb->reports() - reportsAtStart_) / wall;
    const double status = static_cast<double>(usb->statusReports() - statusReportsAtStart_) / wall;
    std::snprintf(line, sizeof line,
                  "  USB link:  %.0f reports/s, %.1f %% of the link's 1000 a second (commands %.1f %%, status reads "
                  "%.1f %%)\n",
                  perSecond, perSecond / 10, (perSecond - status) / 10, status / 10);
    out_ << line;
  }
  sim::SimController* simulated = session_->simController();
  if (simulated && !o_.tracePath.empty()) {
    std::string error;
    if (sim::writeTrace(simulated->trace(), o_.tracePath, error))
      out_ << "  burnt:     " << o_.tracePath << "\n";
    else
      err_ << "trazvik-cli burn: " << error << "\n";
  }
}

int BurnSession::run() {
  std::string error;
  const auto target = parseMachineTarget(o_.machine, error);
  if (!target) {
    err_ << "trazvik-cli burn: " << error << "\n";
    return 1;
  }
  const bool simulated = target->simulated();
  if (!o_.tracePath.empty() && !simulated) {
    err_ << "trazvik-cli burn: --trace needs --machine sim:TYPE or sim-usb:TYPE (trazvik-sim draws its own with its "
            "--trace)\n";
    return 1;
  }
  try {
    context_.requireSingleInstance();
  } catch (const CommandFailed&) {
    return 1;
  }
  // The engraving's settings go in before the picture is opened: the
  // height follows the width.
  ProjectOptions project = o_.project;
  if (o_.width > 0) project.sets.push_back("SzerokoscObrazu=" + number(o_.width));
  if (o_.pitch > 0) project.sets.push_back("BMPKrok=" + number(o_.pitch));
  if (o_.black >= 0) project.sets.push_back("MocDlaCzarnego=" + number(o_.black));
  if (o_.white >= 0) project.sets.push_back("MocDlaBialego=" + number(o_.white));
  project.sets.push_back(std::string("Jednokierukowo=") + (o_.oneWay ? "1" : "0"));
  loaded_ = loadProject(context_, project);
  TMDIChild& p = *loaded_.project;
  if (p.ImportFileType != kFileTypeBitmap) {
    err_ << "trazvik-cli burn: " << o_.project.file << " is not a bitmap (.bmp); `cut` cuts other design files\n";
    return 1;
  }
  out_ << "Picture " << p.obrazSzerokosc << " x " << p.obrazWysokosc << " px, engraved "
       << loaded_.settings->real("SzerokoscObrazu") << " x " << loaded_.settings->real("WysokoscObrazu") << " mm\n";
  if (!connect(*target)) return 1;
  if (!machine().model.machineParams.isLaser) {
    err_ << "trazvik-cli burn: machine type \"" << machine().model.machineType << "\" is no laser\n";
    return 1;
  }
  loaded_.settings->SetParam(machineContextOf(machine().model, machine().link, machine().status, true));
  tMachineOps& ops = session_->connection().ops();
  if (o_.workZero.size() == 3 || simulated) {
    const std::vector<double> zero = o_.workZero.size() == 3 ? o_.workZero : std::vector<double>{20, 20, 0};
    machine().status.pos0.x = zero[0] * 100;
    machine().status.pos0.y = zero[1] * 100;
    machine().status.pos0.z = zero[2] * 100;
    setWorkZeroXY(ops);
    setWorkZeroZ(ops);
  }
  ops.status.readZeroPoint();
  tCuttingSessionSetup setup;
  setup.dataDirectory = context_.dataDirectory();
  setup.switches = context_.switches();
  cutting_ = std::make_unique<tCuttingSession>(session_->connection(), *loaded_.settings, context_.texts(), setup);
  tControlSettings snapshot = controlSettingsOf(*loaded_.settings);
  snapshot.ethernetConnection = session_->overEthernet();
  snapshot.signalAtEnd = false;
  cutting_->takeSettings(snapshot);
  cutting_->activeProject = [this] { return loaded_.project.get(); };
  cutting_->createPanel();
  cutting_->control.panel.setTimerEnabled(true);

  started_ = Clock::now();
  if (const sim::SimHidDevice* usb = session_->simUsbDevice()) {
    reportsAtStart_ = usb->reports();
    statusReportsAtStart_ = usb->statusReports();
  }
  InterruptFlag interrupt;
  const tBurnOutcome outcome = cutting_->WypalBMP1Click(&p);
  if (outcome != tBurnOutcome::started) {
    err_ << "trazvik-cli burn: the engraving was not started (" << burnOutcomeName(outcome) << ")\n";
    return 1;
  }
  const tBMPThread* w = cutting_->engraving.worker();
  out_ << "Burning " << w->lineCount() << " lines of " << w->szerokoscPixel << " pixels on "
       << machine().model.machineType << std::endl;
  follow(interrupt);
  const bool finished = w->Finished() && w->problem().empty() && w->linesDone() == w->lineCount();
  summary();
  if (finished) return 0;
  return stopped_ ? 2 : timedOut_ ? 4 : 3;
}

}  // namespace

void addBurnCommand(CLI::App& app, Context& context) {
  auto o = std::make_shared<BurnOptions>();
  CLI::App* cmd = app.add_subcommand(
      "burn", "Engrave a bitmap on a laser: raster lines streamed line by line, progress, pause with Ctrl-C, summary");
  addProjectOptions(*cmd, o->project);
  cmd->add_option("--machine", o->machine, "sim:TYPE | tcp:HOST[:PORT[:IDENTITY_PORT]] | usb | sim-usb:TYPE")
      ->required();
  cmd->add_option("--width", o->width, "engraved width in mm (the height follows the picture's aspect)")
      ->check(CLI::PositiveNumber);
  cmd->add_option("--pitch", o->pitch, "line and pixel pitch in mm (default 0.15)")->check(CLI::PositiveNumber);
  cmd->add_option("--black", o->black, "laser power for black, percent (default 65)")->check(CLI::Range(0.0, 100.0));
  cmd->add_option("--white", o->white, "laser power for white, percent (default 17)")->check(CLI::Range(0.0, 100.0));
  cmd->add_flag("--one-way", o->oneWay, "every line in the same direction (default: alternating)");
  cmd->add_option("--trace", o->tracePath, "sim: the burnt picture at the end (.png)");
  cmd->add_option("--sim-speed", o->simSpeed, "sim: simulated seconds per real second (default 20)")
      ->check(CLI::PositiveNumber);
  cmd->add_option("--work-zero", o->workZero, "work zero X,Y,Z in machine millimetres (sim default 20,20,0)")
      ->delimiter(',')
      ->expected(3);
  cmd->add_option("--connect-timeout", o->connectSeconds, "seconds to wait for the controller (default 10)");
  cmd->add_option("--max-time", o->maxSeconds, "give up after this many seconds (default: never)");
  cmd->callback([o, &context] {
    BurnSession session(context, *o, std::cin, std::cout, std::cerr);
    const int code = session.run();
    if (code != 0) throw CommandFailed(code);
  });
}

}  // namespace trazvik::cli
