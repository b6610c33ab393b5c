// Speed of the job transfer and of the monitoring loop against the
// trazvik-sim program over TCP on 127.0.0.1.
//
//   stream: a long job sent while the controller's buffer has room, the
//           panel's timer firing every 10 ms as the desktop program's does;
//           the ceiling is 100 commands per step, 10 000 per second.
//   idle:   processor time of one timer event of the panel (monitoring
//           step with the status stage) on an idle machine.
//
// Usage: bench_control_loop [seconds]   (default 3)
#include "sim_process.h"

#include "base/version_text.h"
#include "control/trans_arm.h"
#include "control/tster.h"
#include "machine/commands_basic.h"
#include "machine/commands_move.h"
#include "machine/speed_code.h"
#include "link/ethernet.h"
#include "texts/recording_message_boxes.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

using namespace std::chrono_literals;
using namespace trazvik;

namespace {

double processCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

struct Workstation {
  tMachineState state;
  tLinkState& link = state.link;
  tplotstate& st = state.status;
  tMachineModel& machine = state.model;
  tInterfaceQueue queue;
  texts::RecordingMessageBoxes boxes;
  texts::tInterfejs texts{boxes};
  tControlState flags;
  tMachineLink machineLink{link};
  tLinkStatusChannel channel{machineLink};
  tStatusReader reader{channel, state};
  TfEthernet ethernet{state, queue};
  std::unique_ptr<tControlContext> ctx;
  std::unique_ptr<TTransArm> trans;
  std::unique_ptr<Tster> ster;

  Workstation(const std::string& dataDir, std::uint16_t port, std::uint16_t identityPort) {
    texts.loadLanguageFile(std::string(TRAZVIK_SOURCE_DIR) + "/lang/", "US", base::programMajorMinorVersion());
    machineLink.ethernet = &ethernet;
    ethernet.setAddress("127.0.0.1", port, identityPort);
    ctx = std::make_unique<tControlContext>(machineLink, reader, state, texts, flags, dataDir);
    ctx->interfaceQueue = &queue;
    trans = std::make_unique<TTransArm>(*ctx);
    ster = std::make_unique<Tster>(*ctx, *trans);
  }
  bool connect() {
    if (ethernet.connectCommand() != 0) return false;
    for (int i = 0; i < 60 && !link.ethernetActive; ++i) queue.waitAndRun(50ms);
    ster->FormCreate(base::StartupSwitches{});
    return link.ethernetActive;
  }
};

Bytes longJob(const Workstation& w, int moves) {
  const tCommandSet set = commandSetOf(w.machine, w.link);
  const int mult = w.machine.machineParams.speedMultiplier;
  Bytes job;
  auto add = [&job](const Bytes& b) { job.insert(job.end(), b.begin(), b.end()); };
  add(loadSlotCommand(1, speedCode(3000, set), set));
  add(selectSlotCommand(1));
  tJobPosition pos;
  for (int i = 0; i < moves; ++i) add(moveToPoint(pos, (i % 2) ? 0 : 0.5, 10, 0, kNoSpeedCode, set, mult));
  return job;
}

int stream(const std::string& dir, double seconds) {
  sim::test::SimProcess sim;
  // A buffer large enough that the controller never reports it full.
  if (!sim.start({"--buffer", "67108864", "--time-scale", "1"})) {
    std::fprintf(stderr, "trazvik-sim did not start: %s\n", sim.output().c_str());
    return 1;
  }
  Workstation w(dir, sim.commandPort(), sim.identityPort());
  if (!w.connect()) return 1;
  const int moves = static_cast<int>(seconds * 12000) + 1000;
  const Bytes job = longJob(w, moves);
  std::ofstream(dir + jobFileName, std::ios::binary)
      .write(reinterpret_cast<const char*>(job.data()), static_cast<std::streamsize>(job.size()));
  if (!w.trans->start()) return 1;

  std::vector<double> stepMs;
  int fullSteps = 0;
  const auto begin = std::chrono::steady_clock::now();
  auto next = begin;
  const double cpu0 = processCpuSeconds();
  while (std::chrono::steady_clock::now() - begin < std::chrono::duration<double>(seconds) && w.trans->isOpen) {
    const auto t0 = std::chrono::steady_clock::now();
    w.ster->Timer1Timer();
    w.queue.runPending();
    stepMs.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    fullSteps += w.trans->n == TTransArm::commandsPerTick;
    next += std::chrono::milliseconds(w.ster->interval());
    std::this_thread::sleep_until(next);
  }
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
  const double cpu = processCpuSeconds() - cpu0;
  const int sent = w.trans->licznik;
  std::sort(stepMs.begin(), stepMs.end());
  std::printf(
      "stream: %d commands in %.2f s = %.0f commands/s (ceiling 10000); %zu steps, %d of them full "
      "(100 commands); step time median %.2f ms, 95%% %.2f ms, max %.2f ms; workstation CPU %.2f s; "
      "buffer full seen: %s\n",
      sent, wall, sent / wall, stepMs.size(), fullSteps, stepMs[stepMs.size() / 2], stepMs[stepMs.size() * 95 / 100],
      stepMs.back(), cpu, w.st.bit(9) ? "yes" : "no");
  w.trans->stop();
  return 0;
}

int idle(const std::string& dir) {
  sim::test::SimProcess sim;
  if (!sim.start({})) return 1;
  Workstation w(dir, sim.commandPort(), sim.identityPort());
  if (!w.connect()) return 1;
  for (bool active : {false, true}) {
    if (active) w.ster->FormActivate();
    const int steps = 2000;
    for (int i = 0; i < 50; ++i) w.ster->Timer1Timer();
    const double cpu0 = processCpuSeconds();
    const auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < steps; ++i) w.ster->Timer1Timer();
    const double cpu = processCpuSeconds() - cpu0;
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    std::printf("idle step (panel %s): %.3f ms processor time, %.3f ms wall per step over %d steps\n",
                active ? "active" : "hidden", cpu * 1000 / steps, wall * 1000 / steps, steps);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 3.0;
  const std::string dir =
      (std::filesystem::temp_directory_path() / ("trazvik_bench_control_" + std::to_string(::getpid()))).string() + "/";
  std::filesystem::create_directories(dir);
  int rc = stream(dir, seconds > 0 ? seconds : 3.0);
  if (rc == 0) rc = idle(dir);
  std::filesystem::remove_all(dir);
  return rc;
}
