#include "app/main_form_rules.h"

#include <algorithm>
#include <array>

namespace trazvik::app {
namespace {

// Shown without any rule: the hidden items stay hidden until a rule shows them.
constexpr std::array kHiddenAtStart = {"Zapistestowy1",
                                       "Tnijwybranewarstwy1",
                                       "WypalBMP1",
                                       "miZalaczPompeProzniowa",
                                       "miWylaczPompeProzniowa",
                                       "miMultiTesty",
                                       "mPlanowanieStolu",
                                       "mInstrukcjaObsugi",
                                       "mInstrukcjaLaser",
                                       "mInstrukcjaFrezarka",
                                       "sWylaczPowiadomienia",
                                       "sbPomiarNarzedzia",
                                       "rgGlowica",
                                       "miOtworzFolderPlikowZadan"};

constexpr std::array kAlwaysUsable = {"File1",
                                      "FileOpenItem",
                                      "OpenBtn",
                                      "About1",
                                      "miPodgladDziennikow",
                                      "FileExitItem",
                                      "Cicie1",
                                      "sterowanie",
                                      "Konfiguracja",
                                      "mKonfigGlowna",
                                      "Funkcje1",
                                      "mPomoc",
                                      "mPobierzNajnowszaWersje",
                                      "Wstrzymaj1",
                                      "SpeedStop",
                                      "Powtrz1",
                                      "WypalBMP1",
                                      "Zapistestowy1",
                                      "miZalaczPompeProzniowa",
                                      "miWylaczPompeProzniowa",
                                      "miMultiTesty",
                                      "mPlanowanieStolu",
                                      "mInstrukcjaObsugi",
                                      "mInstrukcjaLaser",
                                      "mInstrukcjaFrezarka",
                                      "sWylaczPowiadomienia",
                                      "sbPomiarNarzedzia",
                                      "rgGlowica",
                                      "miOtworzFolderPlikowZadan"};

constexpr std::array kCuttingCommands = {
    "Start1", "SpeedStart", "Tnijwybran1", "Startodwybranej1", "Tnijwybranewarstwy1", "Kontynuacja1",
    "Skont",  "Wstrzymaj1", "SpeedStop",   "Powtrz1",          "WypalBMP1",           "miZatrzymajZadanie"};

}  // namespace

bool isCuttingCommand(const std::string& componentName) {
  return std::find(kCuttingCommands.begin(), kCuttingCommands.end(), componentName) != kCuttingCommands.end();
}

std::map<std::string, tStanKontrolki> UpdateMenuItems(const tStanGlownegoOkna& s) {
  std::map<std::string, tStanKontrolki> st;
  for (const char* name : kAlwaysUsable) st[name] = {};
  for (const char* name : kHiddenAtStart) st[name].visible = false;

  const bool any = s.projectCount >= 1;
  const int type = any ? s.activeFileType : 0;
  auto enable = [&](const char* name, bool on) { st[name].enabled = on; };

  enable("SpeedSymulacja", any && s.activeZoom == 1);
  for (const char* name : {"SpeedStart", "Start1", "Tnijwybran1", "Startodwybranej1"}) enable(name, any && s.machine);
  for (const char* name : {"FileCloseItem", "Symulacja", "WindowCascadeItem", "WindowTileItem", "Widok", "Window1",
                           "info", "CloseAll", "Kierunek", "Kolejnosc", "Warstwy", "Punktywej"})
    enable(name, any);
  enable("Tnijwybranewarstwy1", any && s.multiLayerSetting && type != 3);
  enable("mKreskowanie", any && type != 3 && type != 4);
  enable("mWarstwy", any && s.activeMultiLayer);
  for (const char* name : {"sbZoomOut", "sbZoomIn", "sbZoomToFit", "tbZoom"})
    enable(name, any && (type == 1 || type == 2));
  for (const char* name : {"Skont", "Kontynuacja1"}) enable(name, any && s.machine && s.canContinue);
  // Stopping a job for good only means something while there is one.
  enable("miZatrzymajZadanie", s.machine && s.jobActive);

  // Burning is offered while a bitmap project is the active one.
  st["WypalBMP1"].visible = type == 4;
  enable("WypalBMP1", type == 4 && s.machine);
  st["mPlanowanieStolu"].visible = s.serviceMode;
  st["miMultiTesty"].visible = s.serviceMode;
  st["miOtworzFolderPlikowZadan"].visible = s.saveLogToXml || s.jobLogging;
  st["sbPomiarNarzedzia"].visible = s.toolMeasureMachine;
  st["rgGlowica"].visible = s.headCount > 1;
  st["miZalaczPompeProzniowa"].visible = s.vacuumPump;
  st["miWylaczPompeProzniowa"].visible = s.vacuumPump;
  st["sWylaczPowiadomienia"].visible = s.notificationPending;
  st["mInstrukcjaLaser"].visible = s.laserManual;
  st["mInstrukcjaFrezarka"].visible = s.millManual;
  st["mInstrukcjaObsugi"].visible = s.laserManual || s.millManual;

  if (!s.cuttingAvailable)
    for (const char* name : kCuttingCommands) st[name].enabled = false;
  // Commands of the cutting side that only need a machine.
  for (const char* name : {"miZalaczPompeProzniowa", "miWylaczPompeProzniowa", "sbPomiarNarzedzia"})
    st[name].enabled = s.machine && s.cuttingAvailable;
  return st;
}

std::string hintWithShortcut(const std::string& caption, const std::string& shortcut, const std::string& longHint) {
  return caption + "  (" + shortcut + ")|" + longHint;
}

std::string shortHint(const std::string& hint) { return hint.substr(0, hint.find('|')); }

std::string longHint(const std::string& hint) {
  const std::size_t bar = hint.find('|');
  return bar == std::string::npos ? hint : hint.substr(bar + 1);
}

std::string manualFile(const std::string& programDirectory, const std::string& key, const std::string& languageCode,
                       const std::function<bool(const std::string&)>& exists) {
  for (const std::string& code : {languageCode, std::string("US")}) {
    const std::string path = programDirectory + "Trazvik_" + key + "_manual_" + code + ".pdf";
    if (exists(path)) return path;
  }
  return {};
}

std::string downloadPage(const std::string& languageCode) {
  return languageCode == "PL" ? "https://dornelis.pl/pobierz/" : "https://dornelis.pl/en/download/";
}

int zoomIn(int level) { return std::clamp(level + 1, kZoomMin, kZoomMax); }
int zoomOut(int level) { return std::clamp(level - 1, kZoomMin, kZoomMax); }

}  // namespace trazvik::app
