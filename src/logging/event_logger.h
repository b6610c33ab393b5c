// TEventLogger: writes the current event to one log file, as a text line
// block appended to the file or as one more "event" of an XML document.
#pragma once
#include "logging/app_event.h"

#include <array>
#include <optional>
#include <string>

namespace trazvik::logging {

class TEventLogger {
 public:
  // Without interface texts the messages are the built-in English ones.
  TEventLogger(std::string file, Clock clock, DateTimeText xmlTime);
  TEventLogger(std::string file, const texts::tInterfejs& texts, Clock clock, DateTimeText xmlTime);

  // Both return nothing on success, else a message naming the file and the
  // reason; the event is then lost.
  // Appends "yyyy-mm-dd hh:nn:ss - message" and the indented data lines.
  std::optional<std::string> DumpEventToTXT();
  // Adds one "event" to the XML log (a new document when the file is
  // missing) and replaces the file whole. A log that cannot be read is left
  // as it is.
  std::optional<std::string> DumpEventToXML();

  // The message of the current event's type.
  std::string EventMessage() const;

  std::string FLogFile;
  TAppEvent FAppEvent;
  int FEventDataIdent = 4;

 private:
  std::array<std::string, 10> FEventStrings;
  bool FStringsFromList = false;
  DateTimeText xmlTime_;
};

}  // namespace trazvik::logging
