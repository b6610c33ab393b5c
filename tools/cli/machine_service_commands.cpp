// trazvik-cli home, move and send: service work on a controller. Ctrl-C
// during a wait stops the motion ("Y") and ends the command.
#include "commands.h"
#include "machine_option.h"

#include "control/job_progress.h"
#include "control/trans_arm.h"
#include "machine/commands_immediate.h"
#include "link/machine_control_operations.h"
#include "link/move_operations.h"

#include <CLI/CLI.hpp>

#include <atomic>
#include <cctype>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <iostream>

namespace trazvik::cli {
namespace {

constexpr std::size_t kLongestCommand = 32;  // two USB reports

std::atomic<bool> interrupted{false};

void onInterrupt(int) { interrupted = true; }

// Ctrl-C becomes the operator's STOP while the command runs.
class StopOnInterrupt {
 public:
  explicit StopOnInterrupt(MachineSession& session) {
    interrupted = false;
    previous_ = std::signal(SIGINT, onInterrupt);
    session.ops().stopRequested = [] { return interrupted.load(); };
    session.ops().pumpEvents = [&session] { session.pump(); };
  }
  ~StopOnInterrupt() { std::signal(SIGINT, previous_); }

 private:
  void (*previous_)(int) = SIG_DFL;
};

std::string mm(double hundredths) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", hundredths / 100);
  return text;
}

void printPosition(MachineSession& session) {
  session.status().readPositions();
  const tplotstate& st = session.state().status;
  std::cout << "position: X " << mm(st.abspos.x) << " Y " << mm(st.abspos.y) << " Z " << mm(st.abspos.z) << " mm\n";
}

[[noreturn]] void fail(int code, const std::string& message) {
  std::cerr << "trazvik-cli: " << message << '\n';
  throw CommandFailed(code, message);
}

void endOfWait(tWaitResult result, const char* what) {
  if (result == tWaitResult::stopped) fail(1, std::string(what) + " stopped by the operator");
  if (result == tWaitResult::linkLost) fail(4, std::string("the controller stopped answering during ") + what);
}

bool busy(MachineSession& session) {
  session.status().readState();
  const tplotstate& st = session.state().status;
  return st.bit(stateBit::jobRunning) || st.bit(stateBit::motionRunning);
}

void runHome(Context& context, const std::string& machine, const std::string& axes) {
  context.requireSingleInstance();
  std::uint8_t mask = homeMask::xyz;
  if (axes == "x")
    mask = homeMask::x;
  else if (axes == "z")
    mask = homeMask::z;
  auto session = openMachine(context, machine);
  if (busy(*session)) fail(1, "the machine is busy (a job or a motion runs); nothing was sent");
  StopOnInterrupt stop(*session);
  home(session->ops(), mask);
  const tWaitResult result = waitWhileBusy(session->ops());
  if (result == tWaitResult::stopped) stopManualMotion(session->ops());
  endOfWait(result, "homing");
  // Every axis found its switch again: an interrupted job whose controller
  // lost its position may be taken up now.
  if (mask == homeMask::xyz) noteMachineHomed(std::filesystem::path(context.dataDirectory()) / jobFileName);
  std::cout << "homed (" << axes << ")\n";
  printPosition(*session);
}

void runMove(Context& context, const std::string& machine, const std::vector<double>& xyz, bool relative) {
  context.requireSingleInstance();
  auto session = openMachine(context, machine);
  if (busy(*session)) fail(1, "the machine is busy (a job or a motion runs); nothing was sent");
  StopOnInterrupt stop(*session);
  tMachineOps& ops = session->ops();
  if (relative) {
    moveRelative(ops, xyz[2], xyz[1], xyz[0]);
    const tWaitResult result = waitWhileBusy(ops);
    settled(ops, result);
    endOfWait(result, "the move");
  } else if (!moveToMachinePoint(ops, xyz[2], xyz[1], xyz[0])) {
    if (interrupted) fail(1, "the move stopped by the operator");
    if (!session->connection().connected()) fail(4, "the controller stopped answering during the move");
    printPosition(*session);
    fail(1, "the machine did not arrive at the point");
  }
  printPosition(*session);
}

std::optional<Bytes> parseHex(const std::string& text, std::string& error) {
  std::string digits;
  for (char c : text) {
    if (std::isxdigit(static_cast<unsigned char>(c)))
      digits += c;
    else if (c != ' ' && c != ':' && c != ',' && c != '-') {
      error = std::string("\"") + c + "\" is not a hexadecimal digit";
      return std::nullopt;
    }
  }
  if (digits.size() % 2 != 0) {
    error = "an odd number of hexadecimal digits";
    return std::nullopt;
  }
  Bytes bytes;
  for (std::size_t i = 0; i < digits.size(); i += 2)
    bytes.push_back(static_cast<std::uint8_t>(std::stoi(digits.substr(i, 2), nullptr, 16)));
  if (bytes.empty()) {
    error = "no bytes to send";
    return std::nullopt;
  }
  if (bytes.size() > kLongestCommand) {
    error = "a command is at most " + std::to_string(kLongestCommand) + " bytes, this one has " +
            std::to_string(bytes.size());
    return std::nullopt;
  }
  return bytes;
}

void runSend(Context& context, const std::string& machine, const std::string& hex) {
  std::string error;
  const std::optional<Bytes> bytes = parseHex(hex, error);
  if (!bytes) fail(2, error);
  context.requireSingleInstance();
  auto session = openMachine(context, machine);
  session->state().link.ethernetError = 0;
  sendCommand(session->connection().link(), *bytes);
  if (!session->connection().connected()) fail(4, "the controller went away while the command was sent");
  if (session->overEthernet() && session->state().link.ethernetError != 0)
    fail(1, "the controller's echo was wrong (error " + std::to_string(session->state().link.ethernetError) + ")");
  std::cout << "sent " << bytes->size() << " bytes" << (session->overEthernet() ? ", echo correct" : "") << '\n';
}

}  // namespace

void addHomeCommand(CLI::App& app, Context& context) {
  CLI::App* command = app.add_subcommand("home", "Home the machine's axes and wait until it is done");
  auto machine = std::make_shared<std::string>();
  auto axes = std::make_shared<std::string>("xyz");
  addMachineOption(*command, *machine);
  command->add_option("--axes", *axes, "xyz (default), x or z")->check(CLI::IsMember({"xyz", "x", "z"}));
  command->callback([&context, machine, axes] { runHome(context, *machine, *axes); });
}

void addMoveCommand(CLI::App& app, Context& context) {
  CLI::App* command = app.add_subcommand(
      "move", "Move straight to X Y Z in machine millimetres (or by X Y Z with --relative) and wait");
  auto machine = std::make_shared<std::string>();
  auto xyz = std::make_shared<std::vector<double>>();
  auto relative = std::make_shared<bool>(false);
  addMachineOption(*command, *machine);
  command->add_option("X Y Z", *xyz, "Millimetres")->expected(3)->required()->allow_extra_args(false);
  command->add_flag("--relative", *relative, "Move by X Y Z from where the machine stands");
  command->callback([&context, machine, xyz, relative] { runMove(context, *machine, *xyz, *relative); });
}

void addSendCommand(CLI::App& app, Context& context) {
  CLI::App* command = app.add_subcommand("send", "Send one command given in hexadecimal (service work)");
  auto machine = std::make_shared<std::string>();
  auto hex = std::make_shared<std::string>();
  addMachineOption(*command, *machine);
  command->add_option("HEX", *hex, "The command's bytes, e.g. \"59\" or \"46 02\"")->required();
  command->callback([&context, machine, hex] { runSend(context, *machine, *hex); });
}

}  // namespace trazvik::cli
