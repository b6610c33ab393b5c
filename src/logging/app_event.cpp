#include "logging/app_event.h"

#include "base/text.h"

#include "texts/interfejs.h"

#include <utility>

namespace trazvik::logging {
namespace {

struct EventText {
  std::string_view key;
  std::string_view text;
};

constexpr std::array<EventText, 10> kEventTexts{{
    {"ev_str_unknown", "Unknown event."},
    {"ev_str_app_start", "Launching the application."},
    {"ev_str_app_stop", "Closing the application."},
    {"ev_str_start_cut", "Start cutting."},
    {"ev_str_stop_cut", "Cutting stop."},
    {"ev_str_cut_continue", "Continue cutting."},
    {"ev_str_end_of_job", "End of cutting."},
    {"ev_str_homing", "Machine homing."},
    {"ev_str_int_broken_wire", "Cutting interruption: BROKEN WIRE."},
    {"ev_str_int_safetysys", "Cutting interruption: SAFETY SYSTEM."},
}};

// The prefixes of the data lines when no language file is at hand.
constexpr std::array<EventText, 15> kDataTexts{{
    {"ev_str_app_ver", "Application version: "},
    {"ev_str_cut_time", "Cutting time: "},
    {"ev_str_exe_file", "Program file: "},
    {"ev_str_gcf_file", "Global configuration: "},
    {"ev_str_gcf_file_not_exist", "Global configuration file missing: "},
    {"ev_str_mcc_file", "Settings file: "},
    {"ev_str_mcc_file_not_exist", "Settings file missing: "},
    {"ev_str_prj_name", "Project: "},
    {"ev_str_config", "Settings: "},
    {"ev_str_cut_speed", "Cutting speed [mm/min]: "},
    {"ev_str_cut_rotation", "Spindle speed / power: "},
    {"ev_str_tool_diameter", "Tool diameter [mm]: "},
    {"ev_str_estimated_cutting_time", "Estimated cutting time [min]: "},
    {"ev_str_cutting_lenght", "Cutting length: "},
    {"ev_str_resumed", "Taken up again: "},
}};

}  // namespace

std::string_view builtInEventText(int type) { return kEventTexts[type >= 0 && type < 10 ? type : 0].text; }

std::string_view eventTextKey(int type) { return kEventTexts[type >= 0 && type < 10 ? type : 0].key; }

std::string jobLoggerText(const texts::tInterfejs* texts, std::string_view key) {
  if (texts) return texts->dajTxt(kJobLoggerSection, key);
  for (const EventText& e : kEventTexts)
    if (e.key == key) return std::string(e.text);
  for (const EventText& e : kDataTexts)
    if (e.key == key) return std::string(e.text);
  return std::string(key);
}

TAppEvent::TAppEvent(Clock clock) : clock_(std::move(clock)) {}

void TAppEvent::Clear() {
  FEventTypeId = LOG_EV_APP_NULL;
  FEventTime = 0;
  FEventData.clear();
}

void TAppEvent::RegisterEvent(int type) {
  FEventTypeId = type;
  FEventTime = clock_();
}

void TAppEvent::RegisterEvent(int type, const std::string& data) {
  RegisterEvent(type);
  AddEventData(data);
}

void TAppEvent::AddEventData(const std::string& text) {
  std::size_t from = 0;
  for (;;) {
    const std::size_t cr = text.find('\r', from);
    if (cr == std::string::npos) break;
    FEventData.push_back(base::trimmedOfControls(std::string_view(text).substr(from, cr - from)));
    from = cr + 1;
  }
  if (from < text.size()) FEventData.push_back(base::trimmedOfControls(std::string_view(text).substr(from)));
}

}  // namespace trazvik::logging
