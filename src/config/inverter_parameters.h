// The spindle inverter's parameter file ("3g3MV.dat" or "3g3jv.dat" in the
// program's folder) and the commands that send it to the controller.
#pragma once
#include "no_qt.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace trazvik::config {

// "3g3MV.dat" when the third character of the machine type is 'F', else "3g3jv.dat".
std::string_view inverterFileName(std::string_view machineType);

struct InverterParameter {
  std::uint16_t number = 0;
  std::uint16_t value = 0;
  int line = 0;
};

struct InverterFile {
  std::vector<InverterParameter> parameters;
  std::string error;  // empty when every line was read
};

// One parameter per line: number and value as decimal integers separated by
// blanks, then an optional comment. Both are taken as 16-bit values. Blank
// lines are skipped; a line whose two numbers cannot be read is an error
// naming the file and the line.
InverterFile readInverterParameters(std::string_view text, std::string_view fileName);

// "[" and the bytes: number low, number high, value low, value high.
std::string inverterCommand(const InverterParameter& parameter);

// sendInverterParameters: sends every parameter of the machine's file with
// `send` (false: the link failed), waiting `wait` (80 ms) after each. A
// missing file sends nothing and is no error. The whole file is checked
// before the first command goes out, so a bad line never leaves the
// inverter half-configured. Returns an error text, empty on success.
std::string sendInverterParameters(const std::filesystem::path& programDirectory, std::string_view machineType,
                                   const std::function<bool(const std::string&)>& send,
                                   const std::function<void(int milliseconds)>& wait);

}  // namespace trazvik::config
