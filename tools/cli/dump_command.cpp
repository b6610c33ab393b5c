// trazvik-cli dump: a job file in the controller's command language as one
// readable line per command, split as job transmission splits it for the
// given machine type and firmware.
#include "commands.h"

#include "job/command_decoder.h"
#include "machine/identify_machine.h"
#include "machine/machine_table.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

namespace trazvik::cli {
namespace {

struct DumpOptions {
  std::string file;
  std::string type = "YFB 32";
  std::string firmware = "7.20";
  bool hex = false;
};

struct FirmwareNumbers {
  int level = 0, minor = 0, build = 0;
};

bool parseFirmware(const std::string& text, FirmwareNumbers& out) {
  char extra = 0;
  const int n = std::sscanf(text.c_str(), "%d.%d.%d%c", &out.level, &out.minor, &out.build, &extra);
  return n >= 2 && n <= 3 && out.level >= 0 && out.minor >= 0 && out.build >= 0;
}

std::string hexOf(const Bytes& bytes) {
  std::string s;
  char buf[4];
  for (std::uint8_t b : bytes) {
    std::snprintf(buf, sizeof buf, "%02X ", b);
    s += buf;
  }
  return s;
}

void dump(const DumpOptions& o) {
  const auto& codes = machineTypeCodes();
  if (std::find(codes.begin(), codes.end(), o.type) == codes.end()) {
    std::cerr << "dump: unknown machine type \"" << o.type << "\"; known types:";
    for (const std::string& c : codes) std::cerr << " \"" << c << '"';
    std::cerr << '\n';
    throw CommandFailed(2, "unknown machine type");
  }
  FirmwareNumbers fw;
  if (!parseFirmware(o.firmware, fw)) {
    std::cerr << "dump: firmware \"" << o.firmware << "\" is not of the form 7.20 or 7.20.5\n";
    throw CommandFailed(2, "bad firmware");
  }
  std::ifstream in(o.file, std::ios::binary);
  if (!in) {
    std::cerr << "dump: cannot open \"" << o.file << "\"\n";
    throw CommandFailed(1, "cannot open job file");
  }
  const Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) {
    std::cerr << "dump: cannot read \"" << o.file << "\"\n";
    throw CommandFailed(1, "cannot read job file");
  }

  tLinkState link;
  const tMachineModel machine = machineModelFor(paddedProductString(o.type, 8), fw.level, fw.minor, fw.build, link);
  const tCommandSet set = commandSetOf(machine, link);
  const auto commands = decodeCommandStream(bytes, set, machine.commandLengths);
  std::size_t problems = 0;
  for (const tDecodedCommand& c : commands) {
    char offset[16];
    std::snprintf(offset, sizeof offset, "%06zu  ", c.offset);
    std::cout << offset;
    if (o.hex) std::cout << hexOf(c.bytes) << " ";
    std::cout << commandText(c, set) << '\n';
    if (!c.problem.empty()) ++problems;
  }
  std::cerr << commands.size() << " commands, " << bytes.size() << " bytes, " << problems
            << (problems == 1 ? " problem" : " problems") << '\n';
  if (problems > 0) throw CommandFailed(3, "job file has problems");
}

}  // namespace

void addDumpCommand(CLI::App& app, Context&) {
  auto options = std::make_shared<DumpOptions>();
  CLI::App* command = app.add_subcommand(
      "dump", "Show a job file in the controller's command language as one readable line per command");
  command->add_option("file", options->file, "The job file (out.cnx)")->required();
  command->add_option("--machine,--type", options->type, "Machine type code of the identification table")
      ->capture_default_str();
  command->add_option("--firmware", options->firmware, "Controller firmware, level.minor[.build]")
      ->capture_default_str();
  command->add_flag("--hex", options->hex, "Also show the bytes of each command");
  command->callback([options] { dump(*options); });
}

}  // namespace trazvik::cli
