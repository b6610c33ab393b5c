#include "config/setting_catalogue.h"

#include <algorithm>
#include <array>
#include <string>
#include <unordered_map>

namespace trazvik::config {

namespace {

using K = SettingKind;
using Q = Quantity;
using M = MachineLimit;

constexpr std::array<std::string_view, 2> kProjektTypeItems{"ProjektType.Items.Strings_0",
                                                            "ProjektType.Items.Strings_1"};
constexpr std::array<std::string_view, 3> kOrderFigItems{"order_fig.Items.Strings_0", "order_fig.Items.Strings_1",
                                                         "order_fig.Items.Strings_2"};
constexpr std::array<std::string_view, 6> kOrderGlobalItems{
    "order_global.Items.Strings_0", "order_global.Items.Strings_1", "order_global.Items.Strings_2",
    "order_global.Items.Strings_3", "order_global.Items.Strings_4", "order_global.Items.Strings_5"};
constexpr std::array<std::string_view, 3> kOutDirItems{"out_dir.Items.Strings_0", "out_dir.Items.Strings_1",
                                                       "out_dir.Items.Strings_2"};
constexpr std::array<std::string_view, 2> kInDirItems{"in_dir.Items.Strings_0", "in_dir.Items.Strings_1"};
constexpr std::array<std::string_view, 3> kPlateItems{"PolozeniePlytki.Items_0", "PolozeniePlytki.Items_1",
                                                      "PolozeniePlytki.Items_2"};
constexpr std::array<std::string_view, 3> kUnitItems{"mm", "inch", "feet"};

// The controller address as delivered from the factory.
constexpr double kFactoryIp[4] = {192, 168, 0, 100};

constexpr SettingDef check(std::string_view name, std::string_view key, std::string_view tab, bool checked,
                           bool important = false) {
  return SettingDef{name,      K::Check, tab, {},      key, {}, {},   checked ? 1.0 : 0.0, 0, 2, Q::None, false,
                    important, false,    0,   M::None, {},  {}, false};
}

constexpr SettingDef option(std::string_view name, std::string_view key, std::string_view tab, std::string_view group,
                            bool selected) {
  return SettingDef{name,  K::Option, tab, group,   key, {}, {},   selected ? 1.0 : 0.0, 0, 1, Q::None, false,
                    false, false,     0,   M::None, {},  {}, false};
}

constexpr SettingDef radioGroup(std::string_view name, std::string_view key, std::string_view tab, int index,
                                std::span<const std::string_view> items, bool important = false, bool literal = false) {
  return SettingDef{name,      K::Group,
                    tab,       {},
                    key,       {},
                    {},        static_cast<double>(index),
                    -1,        static_cast<double>(items.size()) - 1,
                    Q::None,   false,
                    important, false,
                    0,         M::None,
                    {},        items,
                    literal};
}

// A length or speed field converted with the display unit (u).
constexpr SettingDef unitField(std::string_view name, std::string_view key, std::string_view tab, double value,
                               double min, double max, Q quantity, bool important, std::string_view unitLabel,
                               M limit = M::None) {
  return SettingDef{name,     K::Length, tab,       {},    key, {},    {},        value, min,  max,
                    quantity, true,      important, false, 2,   limit, unitLabel, {},    false};
}

// A millimetre (or plain) field of kind TFltEditU that stays in millimetres.
constexpr SettingDef mmField(std::string_view name, std::string_view key, std::string_view tab, double value,
                             double min, double max, Q quantity, bool important, int decimals, M limit = M::None) {
  return SettingDef{name,     K::Length, tab,       {},    key,      {},    {}, value, min,  max,
                    quantity, false,     important, false, decimals, limit, {}, {},    false};
}

constexpr SettingDef numberField(std::string_view name, std::string_view key, std::string_view tab, double value,
                                 double min, double max, Q quantity, bool important, bool onClick, M limit = M::None) {
  return SettingDef{name,     K::Number, tab,       {},      key, {},    {}, value, min,  max,
                    quantity, false,     important, onClick, 0,   limit, {}, {},    false};
}

constexpr SettingDef inGroup(SettingDef def, std::string_view group) {
  def.group = group;
  return def;
}

constexpr SettingDef onLaser(SettingDef def, std::string_view laserKey) {
  def.laserCaptionKey = laserKey;
  return def;
}

constexpr SettingDef withHint(SettingDef def, std::string_view hint) {
  def.hintKey = hint;
  return def;
}

#define CAP(name) name, name ".Caption"

constexpr std::string_view kImport = "TabSheet2";
constexpr std::string_view kOrder = "obj_in_obj";
constexpr std::string_view kDirections = "TabSheet4";
constexpr std::string_view kCutting = "TabSheet5";
constexpr std::string_view kDrilling = "wiercenie";
constexpr std::string_view kMachine = "Ploter";
constexpr std::string_view kLubrication = "Smarowanie";
constexpr std::string_view kGeneral = "Ogolne";
constexpr std::string_view kBitmap = "TabSheetBMP";
constexpr std::string_view kHeads = "tsYJB";
constexpr std::string_view kService = "tsSerwis";
constexpr std::string_view kRB2 = "tsRB2";
constexpr std::string_view kAfterJob = "gbPoZakonczeniu";

const SettingDef kCatalogue[] = {
    // Import of drawings.
    check(CAP("auto_add"), kImport, true),
    check(CAP("auto_remove"), kImport, true),
    check(CAP("Auto_kierunek"), kImport, true),
    check(CAP("Auto_kolejnosc"), kImport, true),
    check(CAP("auto_optymalizacja"), kImport, false),
    radioGroup(CAP("ProjektType"), kImport, 0, kProjektTypeItems),
    check(CAP("crosstopoint"), kImport, true, true),
    check(CAP("negatyw"), kImport, false, true),
    check(CAP("bezramki"), kImport, false),
    check(CAP("chkAbsolutArcPos"), kImport, true),
    numberField("skala", "labSkala.Caption", kImport, 100, 1, 1000, Q::Percent, true, true),
    numberField("mnoznikZ", "mnoznikZlabel.caption", kImport, 1, 0.1, 100, Q::None, false, false),
    // Order.
    radioGroup(CAP("order_fig"), kOrder, 1, kOrderFigItems, true),
    radioGroup(CAP("Order_global"), kOrder, 1, kOrderGlobalItems, true),
    check(CAP("WszystkieWjednej"), kOrder, true, true),
    // Directions.
    radioGroup(CAP("out_dir"), kDirections, 2, kOutDirItems, true),
    radioGroup(CAP("in_dir"), kDirections, 1, kInDirItems, true),
    // Cutting.
    unitField("grubosc", "txtGruboscMaterialu.Caption", kCutting, 10, 0, 170, Q::Length, true, "lGruboscMatJm"),
    unitField("ponad_stol", "lPodkladka.Caption", kCutting, 0.49, -40, 120, Q::Length, true, "lPodkladkaJm"),
    unitField("WorkSpeed", "lWorkSpeed.Caption", kCutting, 500, 20, 1000, Q::Speed, false, "lVrobocza", M::WorkFeed),
    unitField("przespeed", "lblRapidSpeed.Caption", kCutting, 1000, 20, 1000, Q::Speed, false, "lVprzestawczaJm",
              M::TravelFeed),
    unitField("nadmat", "lPonadMat.Caption", kCutting, 5, 0, 120, Q::Length, true, "lPonadMatJm"),
    onLaser(check("doOutline", "doOutlineFrez.Caption", kCutting, true, true), "doOutlineWiazka.Caption"),
    onLaser(unitField("srednica", "lSrednicaFreza.Caption", kCutting, 3, 0, 100, Q::Length, true, "lSrednicaFrezaJm"),
            "lSrednicaWiazki.Caption"),
    check(CAP("cbZejsciePoSpirali"), kCutting, false),
    unitField("skok", "skok.Caption", kCutting, 100, 0.01, 1000, Q::Length, true, "lSkokSpiraliJm"),
    unitField("Glebokosc", "lGlebokoscFrezowania.Caption", kCutting, 1.5, 0, 170, Q::Length, true,
              "lGlebokoscFrezowaniaJm"),
    onLaser(
        numberField("work_power", "lwork_power.Caption", kCutting, 100, 0, 100, Q::Spindle, false, false, M::Spindle),
        "lLaser_power.Caption"),
    check(CAP("polerowanie"), kCutting, false, true),
    unitField("poler_grubosc", "poler_grubosc.Caption", kCutting, 0.3, 0, 1, Q::Length, true, "lGruboscPolerJm"),
    unitField("Polerspeed", "Polerspeed.Caption", kCutting, 200, 20, 1000, Q::Speed, false, "lVpolerJm", M::FinishFeed),
    unitField("Poler_start", "Poler_start.Caption", kCutting, 0.5, 0, 100, Q::Length, true, "lPrzedKoncemJm"),
    numberField("poler_power", "lwork_power.Caption", kCutting, 100, 0, 100, Q::Spindle, false, false, M::Spindle),
    check(CAP("wygladzanie"), kCutting, false, true),
    // Drilling.
    unitField("wiercenie_posuw", "wiercenie_posuw.Caption", kDrilling, 100, 20, 1000, Q::Speed, true, "lPosuwJm",
              M::FeedZ),
    unitField("wiercenie_cofanie", "wiercenie_cofanie.Caption", kDrilling, 200, 20, 1000, Q::Speed, true, "lCofanieJm",
              M::FeedZ),
    unitField("Skok_wiercenia", "Skok_wiercenia.Caption", kDrilling, 1, 0.01, 1000, Q::Length, true,
              "lSkokWierceniaJm"),
    // Machine.
    inGroup(radioGroup(CAP("PolozeniePlytki"), kMachine, 0, kPlateItems), "ramkaplytki"),
    inGroup(
        unitField("GruboscPlytki", "GruboscPlytki.Caption", kMachine, 15, 0, 20, Q::Length, true, "lGruboscPlytkiJm"),
        "ramkaplytki"),
    inGroup(check(CAP("LaserMiekkiStart"), kMachine, false), "Laser"),
    inGroup(mmField(CAP("SpoczynkowaMocLasera"), kMachine, 5, 0, 65000, Q::Percent, false, 0), "Laser"),
    inGroup(mmField("CzasImpulsu", "lCzasImpulsu.caption", kMachine, 100, 0, 65000, Q::Milliseconds, false, 0),
            "Laser"),
    inGroup(check(CAP("LotnyStart"), kMachine, false), "Laser"),
    inGroup(mmField("IP1", "GroupBoxIP.caption", kMachine, kFactoryIp[0], 0, 65000, Q::Count, false, 0), "GroupBoxIP"),
    inGroup(mmField("IP2", "GroupBoxIP.caption", kMachine, kFactoryIp[1], 0, 65000, Q::Count, false, 0), "GroupBoxIP"),
    inGroup(mmField("IP3", "GroupBoxIP.caption", kMachine, kFactoryIp[2], 0, 65000, Q::Count, false, 0), "GroupBoxIP"),
    inGroup(mmField("IP4", "GroupBoxIP.caption", kMachine, kFactoryIp[3], 0, 65000, Q::Count, false, 0), "GroupBoxIP"),
    check(CAP("cbEthernetConnection"), kMachine, false),
    inGroup(SettingDef{"tbRuchNaLukach",
                       K::Slider,
                       kMachine,
                       {},
                       "tbRuchNaLukach.Caption",
                       {},
                       {},
                       100,
                       1,
                       3000,
                       Q::None,
                       false,
                       false,
                       false,
                       0,
                       M::None,
                       {},
                       {},
                       false},
            "gbRuchNaLukach"),
    numberField(CAP("CzasRozruchu"), kMachine, 3, 0, 10, Q::Seconds, true, false),
    // Lubrication.
    check(CAP("PodczasCiecia"), kLubrication, false),
    check(CAP("PodczasPrzestawczych"), kLubrication, false),
    check(CAP("PodczasWiercenia"), kLubrication, false),
    check(CAP("PrzedWierceniem"), kLubrication, false),
    // General.
    radioGroup(CAP("rgJm"), kGeneral, 0, kUnitItems, false, true),
    option(CAP("rbPowrotDo0projektu"), kGeneral, kAfterJob, true),
    option(CAP("rbOdjazdDoPunktu"), kGeneral, kAfterJob, false),
    withHint(mmField(CAP("feuOdjazdY"), kGeneral, 0, 0, 800, Q::Length, true, 2, M::WorkAreaY), "feuOdjazdXY.hint"),
    withHint(mmField(CAP("feuOdjazdX"), kGeneral, 0, 0, 700, Q::Length, true, 2, M::WorkAreaX), "feuOdjazdXY.hint"),
    check(CAP("cbSygnalNaZakonczenie"), kGeneral, false),
    option(CAP("rbTylkoGlowicaDoGory"), kGeneral, kAfterJob, false),
    numberField(CAP("feInterwalSygnalizacji"), kGeneral, 3, 1, 60, Q::Seconds, true, true),
    check(CAP("CBAktywnaGlowica"), kGeneral, false),
    check(CAP("CBDwuKierunkowyNoz"), kGeneral, false),
    // Raster burning.
    mmField(CAP("SzerokoscObrazu"), kBitmap, 30, 0, 10000, Q::Length, false, 2),
    mmField(CAP("WysokoscObrazu"), kBitmap, 40, 0, 10000, Q::Length, false, 2),
    check(CAP("Proporcjonalnie"), kBitmap, true),
    mmField(CAP("BMPKrok"), kBitmap, 0.15, 0, 100, Q::Length, true, 2),
    mmField(CAP("MocDlaBialego"), kBitmap, 17, 0, 100, Q::Percent, true, 0),
    mmField(CAP("MocDlaCzarnego"), kBitmap, 65, 0, 100, Q::Percent, true, 0),
    check(CAP("Jednokierukowo"), kBitmap, true),
    // Heads.
    mmField(CAP("feuOffsetXGlowica2"), kHeads, 150, 0, 0, Q::Length, true, 2),
    mmField(CAP("feuOffsetXGlowica3"), kHeads, 300, 0, 0, Q::Length, true, 2),
    mmField(CAP("feuOffsetYGlowica3"), kHeads, 1, 0, 0, Q::Length, true, 2),
    mmField(CAP("feuOffsetYGlowica2"), kHeads, 1, 0, 0, Q::Length, true, 2),
    mmField(CAP("feuPomiarNarzX"), kHeads, 1280, 0, 0, Q::Length, true, 2),
    mmField(CAP("feuPomiarNarzZ"), kHeads, 15, 0, 0, Q::Length, true, 2),
    check(CAP("cbZalaczPompeProzniowa"), kHeads, false),
    // Service.
    numberField(CAP("fePrzyspieszenie"), kService, 0, 0, 14, Q::None, false, false),
    // Second Y head.
    mmField(CAP("feuOffsetY_RB2"), kRB2, 0, -5, 5, Q::Length, false, 0),
};

#undef CAP

constexpr TabDef kTabs[] = {
    {"TabSheet2", "tabImport.Caption", {}, false},     {"obj_in_obj", "obj_in_obj.Caption", {}, false},
    {"TabSheet4", "tabKierunki.Caption", {}, false},   {"TabSheet5", "CNC", "tabCiecie.caption", true},
    {"wiercenie", "wiercenie.Caption", {}, false},     {"Ploter", "Ploter.Caption", {}, false},
    {"Smarowanie", "smarowanie.Caption", {}, false},   {"Ogolne", "ogolne.Caption", {}, false},
    {"TabSheetBMP", "TabSheetBMP.Caption", {}, false}, {"tsYJB", "tsYJB.Caption", {}, false},
    {"tsSerwis", "tsSerwis.Caption", {}, false},       {"tsRB2", "tsRB2.Caption", {}, false},
};

constexpr GroupDef kGroups[] = {
    {"ramkaplytki", "Ploter", "RamkaPlytki.Caption"},
    {"Laser", "Ploter", "Laser.Caption"},
    {"GroupBoxIP", "Ploter", "GroupBoxIP.caption"},
    {"gbRuchNaLukach", "Ploter", "gbRuchNaLukach.Caption"},
    {"gbPoZakonczeniu", "Ogolne", {}},
    {"gbCalibration", "tsSerwis", "gbCalibration.Caption"},
};

constexpr ActionDef kActions[] = {
    {"ButtonProgramujIPplotera", "Ploter", "Configuration", "GroupBoxIP.caption"},
    {"btnPrzywrocDomyslnyWspVNaLukach", "Ploter", "Configuration", "btnPrzywrocDomyslnyWspVNaLukach.Caption"},
    {"btnAktPoz_pobierz", "Ogolne", "Configuration", "btnAktPoz_pobierz.Caption"},
    {"btnPrzywrocDomyslnePrzysp", "tsSerwis", "Configuration", "btnPrzywrocDomyslnePrzysp.Caption"},
    {"btnUstawPrzyspieszenie", "tsSerwis", "Configuration", "btnUstawPrzyspieszenie.Caption"},
    {"bUstawPrzyspieszenieZgodneZtypem", "tsSerwis", "Configuration", "bUstawPrzyspieszenieZgodneZtypem.Caption"},
    {"btnCalibrate", "tsSerwis", "Form_Calibration", "form.caption"},
    {"btnRB2_przesunY2", "tsRB2", "Configuration", "btnRB2_przesunY2.Caption"},
};

}  // namespace

std::string_view captionKeyOf(const SettingDef& def, bool laser) {
  return laser && !def.laserCaptionKey.empty() ? def.laserCaptionKey : def.captionKey;
}

std::span<const SettingDef> settingCatalogue() { return kCatalogue; }
std::span<const TabDef> settingTabs() { return kTabs; }
std::span<const GroupDef> settingGroups() { return kGroups; }
std::span<const ActionDef> settingActions() { return kActions; }

std::optional<std::size_t> findSetting(std::string_view name) {
  static const std::unordered_map<std::string_view, std::size_t> index = [] {
    std::unordered_map<std::string_view, std::size_t> map;
    for (std::size_t i = 0; i < std::size(kCatalogue); ++i) map.emplace(kCatalogue[i].name, i);
    return map;
  }();
  const auto found = index.find(name);
  if (found == index.end()) return std::nullopt;
  return found->second;
}

std::vector<TextKey> settingTextKeys() {
  constexpr std::string_view kSection = "Configuration";
  std::vector<TextKey> keys;
  const auto add = [&](std::string_view section, std::string_view key) {
    if (key.empty()) return;
    const TextKey entry{section, key};
    if (std::find(keys.begin(), keys.end(), entry) == keys.end()) keys.push_back(entry);
  };
  for (const SettingDef& def : kCatalogue) {
    add(kSection, def.captionKey);
    add(kSection, def.laserCaptionKey);
    add(kSection, def.hintKey);
    if (!def.choicesLiteral) {
      for (std::string_view item : def.choices) add(kSection, item);
    }
  }
  for (const TabDef& tab : kTabs) {
    if (!tab.captionIsLiteral) add(kSection, tab.captionKey);
    add(kSection, tab.laserCaptionKey);
  }
  for (const GroupDef& group : kGroups) add(kSection, group.captionKey);
  for (const ActionDef& action : kActions) add(action.captionSection, action.captionKey);
  for (std::string_view key : reason::all) add(kSection, key);
  for (std::string_view key :
       {"lGlebokoscFrezowania.hint", "lWorkSpeed.hint", "hpgl_load.Caption", "msgLadujeZbiorKonf",
        "msgOperacjaZakonczonaNiepowodzeniem", "msgPodlaczSterowink", "lRuchNaLukachPowolny.Caption",
        "lRuchNaLukachPrzyspieszony.Caption", "lGlowica.caption"}) {
    add(kSection, key);
  }
  return keys;
}

}  // namespace trazvik::config
