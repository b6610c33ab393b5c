#include "logging/event_logger.h"

#include "base/atomic_file.h"
#include "texts/interfejs.h"

#include <pugixml.hpp>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <utility>

namespace trazvik::logging {
namespace {

std::string osError(const std::string& file, int error) { return file + ": " + std::strerror(error); }

}  // namespace

TEventLogger::TEventLogger(std::string file, Clock clock, DateTimeText xmlTime)
    : FLogFile(std::move(file)), FAppEvent(std::move(clock)), xmlTime_(std::move(xmlTime)) {
  for (int i = 0; i < 10; ++i) FEventStrings[i] = std::string(builtInEventText(i));
}

TEventLogger::TEventLogger(std::string file, const texts::tInterfejs& texts, Clock clock, DateTimeText xmlTime)
    : TEventLogger(std::move(file), std::move(clock), std::move(xmlTime)) {
  for (int i = 0; i < 10; ++i) FEventStrings[i] = texts.dajTxt(kJobLoggerSection, eventTextKey(i));
  FStringsFromList = true;
}

std::string TEventLogger::EventMessage() const {
  const int type = FAppEvent.FEventTypeId;
  const int index = type >= 0 && type < 10 ? type : 0;
  return FStringsFromList ? FEventStrings[index] : std::string(builtInEventText(index));
}

std::optional<std::string> TEventLogger::DumpEventToTXT() {
  std::string block = formatLogTime(FAppEvent.FEventTime) + " - " + EventMessage() + "\r\n";
  const std::string indent(static_cast<std::size_t>(FEventDataIdent > 0 ? FEventDataIdent : 0), ' ');
  for (const std::string& line : FAppEvent.FEventData) block += indent + line + "\r\n";

  // One write of the whole block, so a reader never sees half an event.
  std::FILE* f = std::fopen(FLogFile.c_str(), "ab");
  if (!f) return osError(FLogFile, errno);
  const std::size_t written = std::fwrite(block.data(), 1, block.size(), f);
  int error = written == block.size() ? 0 : errno;
  if (std::fflush(f) != 0 && error == 0) error = errno;
  if (std::fclose(f) != 0 && error == 0) error = errno;
  if (written != block.size() || error != 0) return osError(FLogFile, error != 0 ? error : EIO);
  return std::nullopt;
}

std::optional<std::string> TEventLogger::DumpEventToXML() {
  pugi::xml_document doc;
  std::error_code ec;
  if (std::filesystem::exists(FLogFile, ec)) {
    const pugi::xml_parse_result parsed = doc.load_file(FLogFile.c_str());
    if (!parsed) return FLogFile + ": " + parsed.description() + " (byte " + std::to_string(parsed.offset) + ")";
  }
  pugi::xml_node root = doc.child("event_log");
  if (!root) {
    if (doc.first_child()) return FLogFile + ": the root element is not \"event_log\"";
    pugi::xml_node decl = doc.prepend_child(pugi::node_declaration);
    decl.append_attribute("version") = "1.0";
    decl.append_attribute("encoding") = "utf-8";
    root = doc.append_child("event_log");
  }
  pugi::xml_node event = root.append_child("event");
  event.append_child("time").text() = xmlTime_(FAppEvent.FEventTime).c_str();
  event.append_child("event_type_id").text() = FAppEvent.FEventTypeId;
  event.append_child("event_msg").text() = EventMessage().c_str();
  int number = 0;
  for (const std::string& line : FAppEvent.FEventData) {
    pugi::xml_node data = event.append_child("event_data");
    data.append_attribute("name") = ("param_" + std::to_string(++number)).c_str();
    data.text() = line.c_str();
  }
  std::ostringstream out;
  doc.save(out, "  ", pugi::format_indent, pugi::encoding_utf8);
  std::string error;
  if (!base::writeFileAtomically(FLogFile, out.str(), &error)) return error;
  return std::nullopt;
}

}  // namespace trazvik::logging
