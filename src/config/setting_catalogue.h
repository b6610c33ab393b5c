// The catalogue of every saved setting of the settings dialog, in the order
// the dialog declares them (which is also the order of the lines of a
// settings file). Each entry carries what a settings window needs to build
// and bind its control by the setting's component name, and what the
// settings file needs to write and read it.
#pragma once
#include "no_qt.h"

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace trazvik::config {

enum class SettingKind {
  Length,  // TFltEditU: value in millimetres (or mm/min), shown in a display unit
  Number,  // TFltEdit: plain number
  Check,   // checkbox: unchecked, checked, grayed
  Option,  // option button: selected or not, one of an option group
  Group,   // option group (radio group): 0-based index of the selected item, -1 none
  Slider,  // slider (track bar): integer position
};

// What a field's number means; picks the unit label.
enum class Quantity { None, Length, Speed, Percent, Seconds, Milliseconds, Spindle, Count };

// Limits that the machine type replaces (applied by TDlgkonfig::SetParam).
enum class MachineLimit {
  None,
  WorkFeed,    // min minFeed, max maxSmoothFeed with smoothing, else maxWorkFeed
  TravelFeed,  // min minFeed, max maxTravelFeed
  FinishFeed,  // min minFeed, max maxWorkFeed
  FeedZ,       // max maxFeedZ
  Spindle,     // minSpindle .. maxSpindle on machines with usbGeneration
  WorkAreaX,   // max workArea X
  WorkAreaY,   // max workArea Y
};

struct SettingDef {
  std::string_view name;  // component name: settings file key and lookup name
  SettingKind kind;
  std::string_view tab;              // tab page component name
  std::string_view group;            // group box or option-button group, empty when none
  std::string_view captionKey;       // key in section "Configuration" (mostly name + ".Caption")
  std::string_view laserCaptionKey;  // caption key on a laser, empty when the same
  std::string_view hintKey;          // hint key in section "Configuration", empty when none
  double defaultValue;               // mm for Length; 1/0/2 for Check; 1/0 for Option
  double minValue;                   // inclusive; equal limits mean "not limited"
  double maxValue;
  Quantity quantity;
  bool unitConverted;     // (u): converted and relabelled when rgJm changes
  bool important;         // (r): a change sets wazna_zmiana
  bool importantOnClick;  // (r) set by a click into the field, not by a change
  int decimals;           // declared display decimals; 0 = general number form
  MachineLimit machineLimit;
  std::string_view unitLabel;                 // component name of the unit label, empty when none
  std::span<const std::string_view> choices;  // item caption keys of a Group
  bool choicesLiteral;                        // the items are the texts themselves (not translated)
};

struct TabDef {
  std::string_view name;
  std::string_view captionKey;       // key in section "Configuration", or a literal caption
  std::string_view laserCaptionKey;  // on a laser, empty when the same
  bool captionIsLiteral;             // the caption is the text itself ("CNC")
};

// The caption key of a setting's control (or of the label beside it).
std::string_view captionKeyOf(const SettingDef& def, bool laser);

// Every saved setting in declaration order.
std::span<const SettingDef> settingCatalogue();

// The tab pages in order.
std::span<const TabDef> settingTabs();

// Index in settingCatalogue(), nullopt for an unknown name (names are
// matched exactly, letter case counts).
std::optional<std::size_t> findSetting(std::string_view name);

// Group boxes named by the enabling and visibility rules, with their caption keys.
struct GroupDef {
  std::string_view name;
  std::string_view tab;
  std::string_view captionKey;
};
std::span<const GroupDef> settingGroups();

// Action buttons of the dialog and the tab they sit on.
struct ActionDef {
  std::string_view name;
  std::string_view tab;
  std::string_view captionSection;  // section of the language file
  std::string_view captionKey;
};
std::span<const ActionDef> settingActions();

// Why the enabling rules grey a control out: keys of section "Configuration".
namespace reason {
inline constexpr std::string_view notOnLaser = "powodNieDlaLasera";
inline constexpr std::string_view laserOnly = "powodTylkoLaser";
inline constexpr std::string_view noLubrication = "powodBrakSmarowania";
inline constexpr std::string_view outlineOff = "powodBezSrednicy";
inline constexpr std::string_view spiralOff = "powodBezSpirali";
inline constexpr std::string_view fromLayersDepth = "lGlebokoscFrezowania.hint";
inline constexpr std::string_view fromLayersSpeed = "lWorkSpeed.hint";
inline constexpr std::string_view laserWithoutZ = "powodLaserBezOsiZ";
inline constexpr std::string_view oldController = "powodStarySterownik";
inline constexpr std::string_view all[] = {notOnLaser,      laserOnly,       noLubrication, outlineOff,   spiralOff,
                                           fromLayersDepth, fromLayersSpeed, laserWithoutZ, oldController};
}  // namespace reason

// Every text key the settings refer to, with its section of the language
// file: captions and hints of the settings, tabs, groups, items and action
// buttons, and the dialog's messages. Literal captions ("CNC") and the
// untranslated unit items are not keys and are left out.
struct TextKey {
  std::string_view section;
  std::string_view key;
  bool operator==(const TextKey&) const = default;
};
std::vector<TextKey> settingTextKeys();

}  // namespace trazvik::config
