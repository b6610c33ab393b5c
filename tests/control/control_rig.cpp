#include "control_rig.h"

#include "base/version_text.h"
#include "machine/commands_basic.h"
#include "machine/commands_move.h"
#include "machine/commands_records.h"
#include "machine/speed_code.h"
#include "usb_device.h"

#include <fstream>
#include <thread>

#include <unistd.h>

using namespace std::chrono_literals;

namespace trazvik::control_test {

namespace {

void add(Bytes& job, const Bytes& b) { job.insert(job.end(), b.begin(), b.end()); }

void jobHead(Bytes& job, const tCommandSet& set, tJobPosition& pos, int mult) {
  add(job, loadSlotCommand(0, speedCode(3000, set), set));
  add(job, loadSlotCommand(1, speedCode(1500, set), set));
  add(job, selectSlotCommand(0));
  add(job, moveToPoint(pos, 20, 20, 0, kNoSpeedCode, set, mult));
  add(job, outputsCommand(1, 0x01));
  add(job, selectSlotCommand(1));
}

void jobTail(Bytes& job, const tCommandSet& set, tJobPosition& pos, int mult) {
  add(job, moveToPoint(pos, 20, 20, 0, kNoSpeedCode, set, mult));
  add(job, outputsCommand(0, 0x01));
  add(job, selectSlotCommand(0));
  add(job, moveToPoint(pos, 0, 0, 0, kNoSpeedCode, set, mult));
  if (set.wide) add(job, jobEndRecord());  // narrow jobs end when the buffer runs dry
}

}  // namespace

tConnectionOptions localConnectionOptions(std::uint16_t commandPort, std::uint16_t identityPort) {
  tConnectionOptions options;
  options.createUsb = false;
  options.ethernetEnabled = true;
  options.machineAddress = "127.0.0.1";
  options.commandPort = commandPort;
  options.identityPort = identityPort;
  return options;
}

Bytes squareJob(const tMachineModel& machine, const tLinkState& link, int laps) {
  const tCommandSet set = commandSetOf(machine, link);
  const int mult = machine.machineParams.speedMultiplier;
  Bytes job;
  tJobPosition pos;
  jobHead(job, set, pos, mult);
  add(job, moveToPoint(pos, 20, 20, -1, kNoSpeedCode, set, mult));
  for (int lap = 0; lap < laps; ++lap) {
    add(job, moveToPoint(pos, 40, 20, -1, kNoSpeedCode, set, mult));
    add(job, moveToPoint(pos, 40, 40, -1, kNoSpeedCode, set, mult));
    add(job, moveToPoint(pos, 20, 40, -1, kNoSpeedCode, set, mult));
    add(job, moveToPoint(pos, 20, 20, -1, kNoSpeedCode, set, mult));
  }
  jobTail(job, set, pos, mult);
  return job;
}

Bytes shortJob(const tMachineModel& machine, const tLinkState& link, int moves) {
  const tCommandSet set = commandSetOf(machine, link);
  const int mult = machine.machineParams.speedMultiplier;
  Bytes job;
  tJobPosition pos;
  add(job, loadSlotCommand(1, speedCode(1500, set), set));
  add(job, selectSlotCommand(1));
  for (int i = 0; i < moves; ++i) add(job, moveToPoint(pos, 10 + i, 10, 0, kNoSpeedCode, set, mult));
  add(job, set.wide ? jobEndRecord() : selectSlotCommand(0));
  return job;
}

Bytes openEndedJob(const tMachineModel& machine, const tLinkState& link, int moves, double lengthMm) {
  const tCommandSet set = commandSetOf(machine, link);
  const int mult = machine.machineParams.speedMultiplier;
  Bytes job;
  tJobPosition pos;
  add(job, loadSlotCommand(1, speedCode(1500, set), set));
  add(job, selectSlotCommand(1));
  for (int i = 0; i < moves; ++i) add(job, moveToPoint(pos, (i % 2) ? 0 : lengthMm, 10, 0, kNoSpeedCode, set, mult));
  return job;
}

int commandCount(const Bytes& job, const tCommandLengths& lengths) {
  int n = 0;
  for (std::size_t at = 0; at < job.size(); ++n) {
    const auto len = lengths.of(job[at]);
    if (!len) return -1;
    at += *len;
  }
  return n;
}

ControlRig::ControlRig(RigOptions o) : options(std::move(o)) {
  static int serial = 0;
  dataDir = std::filesystem::temp_directory_path() /
            ("trazvik_control_" + std::to_string(::getpid()) + "_" + std::to_string(++serial));
  std::filesystem::create_directories(dataDir);
  texts = std::make_unique<texts::tInterfejs>(boxes);
  texts->loadLanguageFile(std::string(TRAZVIK_SOURCE_DIR) + "/lang/", "US", base::programMajorMinorVersion());

  machineLink = std::make_unique<tMachineLink>(link);
  channel = std::make_unique<tLinkStatusChannel>(*machineLink);
  reader = std::make_unique<tStatusReader>(*channel, state);
  ctx = std::make_unique<tControlContext>(*machineLink, *reader, state, *texts, flags, dataDir.string() + "/");
  ctx->interfaceQueue = &queue;
  ctx->panelMakesWatchdog = true;
  identify_.safetyEnclosureSwitch = options.safetyEnclosure;
  ctx->identifyEnvironment = [this] { return identify_; };
  ctx->onEvent = [this](const tControlEvent& e) { events.push_back(e); };
  ctx->mainWindow.statusBar = [this](int panel, const std::string& t) {
    if (panel == 0) statusTexts.push_back(t);
  };
  ctx->mainWindow.startCommand = [this] { ++starts; };
  // Stand-ins for the main window's commands: the pause command clears
  // the operator's run request, as the real one does.
  ctx->mainWindow.pauseCommand = [this] {
    ++pauses;
    flags.runRequested = false;
  };
  ctx->mainWindow.continueCommand = [this] { ++continues; };
  ctx->mainWindow.endOfJobSignal = [this] { ++signals; };
  trans = std::make_unique<TTransArm>(*ctx);
  ster = std::make_unique<Tster>(*ctx, *trans);

  if (options.externalPort == 0) controller_ = std::make_shared<sim::SimController>(options.config);
  if (options.usb) {
    auto service = std::make_unique<sim::ListedHidService>();
    service->devices.push_back(std::make_shared<sim::SimHidDevice>(controller_, true));
    hid_ = std::move(service);
    usb = std::make_unique<TfUsb>(*hid_, link);
    machineLink->usb = usb.get();
  } else {
    if (controller_) {
      server_ = std::make_unique<sim::SimServer>(controller_, sim::ServerPorts{"127.0.0.1", 0, 0});
      server_->start();
      options.externalPort = server_->commandPort();
      options.externalIdentityPort = server_->identityPort();
    }
    ethernet = std::make_unique<TfEthernet>(state, queue);
    ethernet->setAddress("127.0.0.1", options.externalPort, options.externalIdentityPort);
    ethernet->setTimeouts({3000ms, 500ms});
    ethernet->setIdentifyEnvironment(identify_);
    machineLink->ethernet = ethernet.get();
  }
}

ControlRig::~ControlRig() {
  commands.reset();
  ster.reset();
  queue.runPending();
  ethernet.reset();
  if (server_) server_->stop();
  std::error_code ec;
  std::filesystem::remove_all(dataDir, ec);
}

bool ControlRig::connect() {
  if (usb) {
    usb->FormCreate();
    if (!usb->Present) return false;
  } else {
    if (ethernet->connectCommand() != 0) return false;
    for (int i = 0; i < 60 && !link.ethernetActive; ++i) queue.waitAndRun(50ms);
    if (!link.ethernetActive) return false;
  }
  ster->FormCreate(base::StartupSwitches{});
  return machine.machineType != "LFV";
}

tJobCommands& ControlRig::useJobCommands(double travelHeight, double top) {
  ctx->settings.travelHeight = travelHeight;
  ctx->settings.materialThickness = top;
  ctx->settings.aboveTable = 0;
  ctx->settings.retractFeed = 600;
  ctx->settings.plungeFeed = 300;
  ctx->settings.travelFeed = 3000;
  ops = std::make_unique<tMachineOps>(*machineLink, *reader, state);
  ops->settings.travelHeight = travelHeight;
  commands = std::make_unique<tJobCommands>(*ctx, *ops, *ster, *trans);
  return *commands;
}

void ControlRig::writeJob(const Bytes& job) {
  std::ofstream out(dataDir / jobFileName, std::ios::binary);
  out.write(reinterpret_cast<const char*>(job.data()), static_cast<std::streamsize>(job.size()));
}

void ControlRig::timerEvent() {
  ster->Timer1Timer();
  queue.runPending();
}

bool ControlRig::runUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout,
                          std::chrono::milliseconds maxWait) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < end) {
    timerEvent();
    if (done()) return true;
    std::this_thread::sleep_for(std::min(maxWait, std::chrono::milliseconds(ster->interval())));
  }
  return done();
}

int ControlRig::count(tControlEventKind kind) const {
  int n = 0;
  for (const auto& e : events) n += e.kind == kind;
  return n;
}

int ControlRig::messages(const std::string& part) const {
  int n = 0;
  for (const auto& m : boxes.messages()) n += m.text.find(part) != std::string::npos;
  return n;
}

}  // namespace trazvik::control_test
