#include "control/base_check.h"

#include "link/machine_control_operations.h"
#include "link/move_operations.h"
#include "link/speed_operations.h"
#include "machine/commands_immediate.h"
#include "machine/state_bits.h"

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>

namespace trazvik {

using namespace std::chrono_literals;

namespace {

constexpr double kSecondsPerDay = 86400;

// The check's own line of the report ends with CR LF, as every line.
std::string joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& l : lines) text += l + "\r\n";
  return text;
}

// "CheckBase....txt", or with "_2", "_3"... when a job that started in
// the same second already has that name: a report is never overwritten.
std::string freeReportPath(const std::string& folder, logging::DateTime start) {
  const std::string name = baseCheckFileName(start);
  std::string path = folder + name;
  std::error_code ec;
  for (int n = 2; std::filesystem::exists(path, ec) && n < 1000; ++n)
    path = folder + name.substr(0, name.size() - 4) + "_" + std::to_string(n) + ".txt";
  return path;
}

}  // namespace

std::string computerName() {
  char name[256] = {};
  if (gethostname(name, sizeof name - 1) != 0) return {};
  return name;
}

tBaseCheck::tBaseCheck(tControlContext& context, tMachineOps& ops, tJobCommands& commands)
    : ctx_(context), ops_(ops), commands_(commands) {}

std::optional<trpoint3d> tBaseCheck::btnSprawdzBazeClick() {
  // Never under a running job: the checks would move the axes beneath it.
  if (ops_.linkUp()) ops_.status.readState();
  if (!ops_.linkUp() || !ops_.status.lastReadAnswered() || ops_.st.bit(stateBit::jobRunning)) return std::nullopt;
  const tMachineParams& p = ops_.params();
  loadSpeedSlot(ops_, speedSlot::travel, p.maxFeedXY);
  // Where the move ends does not matter: the checks run from wherever the
  // machine stands.
  moveToMachinePoint(ops_, 0, 0, 0);
  if (!settled(ops_, waitWhileBusy(ops_))) return std::nullopt;
  for (std::uint8_t mask : {homeMask::checkX, homeMask::checkY, homeMask::checkZ}) {
    checkBase(ops_, mask);
    if (!settled(ops_, waitWhileBusy(ops_))) return std::nullopt;
  }
  ops_.status.readPositions();
  const tplotstate& st = ops_.st;
  return trpoint3d{st.abspos.x / 100.0, st.abspos.y / 100.0, st.abspos.z / 100.0};
}

void tBaseCheck::startOfJob(const tBaseCheckJobInfo& info) {
  info_ = info;
  chkOdchylki_ = emptyDeviations();
  aborted_ = false;
  writeFailureShown_ = false;
  measurements_.clear();
  bylState_ = 0;
  startTime_ = clock();
  reportPath_ = freeReportPath(ctx_.dataDirectory, startTime_);
  append(reportPath_, baseCheckHeaderLines(info_, dateTimeText(startTime_), decimalSeparator));
}

std::string tBaseCheck::elapsedText() const { return logging::formatDuration(clock() - startTime_); }

void tBaseCheck::appendTimed(const std::string& text) {
  if (!reportPath_.empty()) append(reportPath_, {elapsedText() + text});
}

void tBaseCheck::appendLines(const std::vector<std::string>& lines) {
  if (!reportPath_.empty()) append(reportPath_, lines);
}

bool tBaseCheck::append(const std::string& path, const std::vector<std::string>& lines) {
  std::ofstream out(path, std::ios::binary | std::ios::app);
  out << joined(lines);
  out.flush();
  if (out) return true;
  // Once per job: the measurements go on, the operator knows the report
  // is incomplete.
  if (!writeFailureShown_) {
    writeFailureShown_ = true;
    ctx_.errorBox("The base-check report \"" + path + "\" could not be written.", "Error");
  }
  return false;
}

void tBaseCheck::baseCheckMonitor(bool forced) {
  // A test above the limit has ended: the paused job is the operator's.
  if (!ctx_.flags.checkBaseMode || checking_ || aborted_ || reportPath_.empty()) return;
  const tplotstate& st = ctx_.st;
  if (!forced && !st.bit(stateBit::jobRunning)) return;
  const std::uint64_t held = stateBit::mask(stateBit::heldForEmptyBuffer);
  if ((st.StateExtend & held) && !(bylState_ & held)) appendTimed("  WstrzymanyPrzezBufor");
  bylState_ = st.StateExtend;
  if ((clock() - chkTime_) * kSecondsPerDay > ctx_.flags.checkBaseInterval) periodicCheck();
}

void tBaseCheck::periodicCheck() {
  checking_ = true;
  chkTime_ = clock();
  commands_.wstrzymaj();
  // A pause like any other for the logs and the job's running time, which
  // the continue after the check goes on from.
  ctx_.report(tControlEventKind::jobPaused, 0, "base check");
  waitWhileBusy(ops_);
  ctx_.sleep(100ms);
  const trpoint3d& b = commands_.breakPoint().breakpoint;
  const trpoint3d at{b.x / 100.0, b.y / 100.0, b.z / 100.0};
  const std::optional<int> figure = nearestFigure ? nearestFigure(at.x, at.y) : std::nullopt;
  const std::string elapsed = elapsedText();
  const double elapsedSeconds = (clock() - startTime_) * kSecondsPerDay;
  btnSprawdzBazeClick();
  waitWhileBusy(ops_);
  ops_.status.readPositions();
  const tplotstate& st = ctx_.st;
  const trpoint3d deviation{st.abspos.x / 100.0, st.abspos.y / 100.0, st.abspos.z / 100.0};
  addDeviations(chkOdchylki_, deviation.x, deviation.y, deviation.z);
  const tBaseCheckMeasurement m{elapsedSeconds, deviation, beyondLimit(deviation)};
  measurements_.push_back(m);
  std::vector<std::string> lines{baseCheckLine(elapsed, at, figure, deviation, decimalSeparator)};
  if (m.beyondLimit) {
    for (std::string& l : abortLines(chkOdchylki_, decimalSeparator)) lines.push_back(std::move(l));
    append(reportPath_, lines);
    aborted_ = true;
    baseCheckReportLine(kResultFailed);
  } else {
    append(reportPath_, lines);
    commands_.kontynuuj();
  }
  // The next interval counts from here: a check that outlasts the interval
  // must not be followed by another before the job has moved on.
  chkTime_ = clock();
  checking_ = false;
  if (onMeasurement) onMeasurement(m);
}

void tBaseCheck::endOfJob() {
  if (reportPath_.empty() || aborted_) return;
  chkTime_ = 0;
  baseCheckMonitor(true);
  if (aborted_) return;  // the last check was beyond the limit
  const logging::DateTime now = clock();
  append(reportPath_, summaryLines(dateTimeText(now), logging::formatDuration(now - startTime_), !ctx_.linkUp(),
                                   chkOdchylki_, decimalSeparator));
  baseCheckReportLine(kResultOk);
}

void tBaseCheck::baseCheckReportLine(const std::string& result) {
  const std::string path = globalReportPath();
  std::error_code ec;
  std::vector<std::string> lines;
  if (!std::filesystem::exists(path, ec)) lines.push_back(globalReportHeader());
  lines.push_back(globalReportLine(dateTimeText(startTime_), info_, result, chkOdchylki_, decimalSeparator));
  append(path, lines);
}

}  // namespace trazvik
