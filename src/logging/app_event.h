// The events of the event log: their types and texts, and the one event
// being written.
#pragma once
#include "logging/date_time.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace trazvik::texts {
class tInterfejs;
}

namespace trazvik::logging {

enum TEventType : int {
  LOG_EV_APP_NULL = 0,
  LOG_EV_APP_START = 1,
  LOG_EV_APP_STOP = 2,
  LOG_EV_CUT_START = 3,
  LOG_EV_CUT_STOP = 4,
  LOG_EV_CUT_CONTINUE = 5,
  LOG_EV_CUT_END_OF_JOB = 6,
  LOG_EV_HOMING = 7,
  LOG_EV_CUT_INT_BROKEN_WIRE = 8,
  LOG_EV_CUT_INT_SAFETYSYS = 9,
  _END_EVENT_TYPE_ = 10,
};

// Section of the language file that holds the log texts.
inline constexpr const char* kJobLoggerSection = "JobLogger";

// Built-in English message and text key of each event type 0 to 9.
std::string_view builtInEventText(int type);
std::string_view eventTextKey(int type);

// A text of section "JobLogger": from the interface texts when given, else
// the built-in English one (the data-line prefixes included).
std::string jobLoggerText(const texts::tInterfejs* texts, std::string_view key);

class TAppEvent {
 public:
  explicit TAppEvent(Clock clock);

  void Clear();
  void RegisterEvent(int type);
  void RegisterEvent(int type, const std::string& data);
  // Splits the text at every CR into data lines, each trimmed of blanks and
  // control characters; a piece after the last CR counts only when it is
  // not empty before trimming.
  void AddEventData(const std::string& text);
  void ClearEventData() { FEventData.clear(); }

  int FEventTypeId = LOG_EV_APP_NULL;
  DateTime FEventTime = 0;
  std::vector<std::string> FEventData;

 private:
  Clock clock_;
};

}  // namespace trazvik::logging
