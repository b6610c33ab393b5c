#include "config/inverter_parameters.h"

#include <charconv>
#include <fstream>
#include <sstream>

namespace trazvik::config {

namespace {

std::string_view skipBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  return text;
}

// A decimal integer at the start of `text` (after blanks); advances past it.
bool readInteger(std::string_view& text, long long& value) {
  text = skipBlanks(text);
  std::string_view digits = text;
  if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
  const auto [ptr, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (error != std::errc{} || ptr == digits.data()) return false;
  // The number must end at a blank or at the end of the line.
  if (ptr != digits.data() + digits.size() && *ptr != ' ' && *ptr != '\t') return false;
  text = digits.substr(static_cast<std::size_t>(ptr - digits.data()));
  return true;
}

}  // namespace

std::string_view inverterFileName(std::string_view machineType) {
  return machineType.size() >= 3 && machineType[2] == 'F' ? "3g3MV.dat" : "3g3jv.dat";
}

InverterFile readInverterParameters(std::string_view text, std::string_view fileName) {
  InverterFile file;
  int lineNumber = 0;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (skipBlanks(line).empty()) continue;
    long long number = 0;
    long long value = 0;
    if (!readInteger(line, number) || !readInteger(line, value)) {
      file.error =
          std::string(fileName) + ", line " + std::to_string(lineNumber) + ": expected a parameter number and a value";
      return file;
    }
    file.parameters.push_back(InverterParameter{static_cast<std::uint16_t>(number & 0xFFFF),
                                                static_cast<std::uint16_t>(value & 0xFFFF), lineNumber});
  }
  return file;
}

std::string inverterCommand(const InverterParameter& parameter) {
  std::string command = "[";
  command += static_cast<char>(parameter.number & 0xFF);
  command += static_cast<char>(parameter.number >> 8);
  command += static_cast<char>(parameter.value & 0xFF);
  command += static_cast<char>(parameter.value >> 8);
  return command;
}

std::string sendInverterParameters(const std::filesystem::path& programDirectory, std::string_view machineType,
                                   const std::function<bool(const std::string&)>& send,
                                   const std::function<void(int milliseconds)>& wait) {
  const std::filesystem::path path = programDirectory / std::string(inverterFileName(machineType));
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return {};
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  if (!in && !in.eof()) return path.string() + ": cannot be read";
  const InverterFile file = readInverterParameters(content.str(), path.string());
  if (!file.error.empty()) return file.error;
  for (const InverterParameter& parameter : file.parameters) {
    if (!send(inverterCommand(parameter))) {
      return path.string() + ", line " + std::to_string(parameter.line) + ": the controller did not take the parameter";
    }
    if (wait) wait(80);
  }
  return {};
}

}  // namespace trazvik::config
