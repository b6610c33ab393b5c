#include "machine/machine_table.h"

#include <array>

namespace trazvik {

namespace {

// Exact quotients behind the factors of the table.
constexpr double kOldPlotter = 0.9794150511187;
constexpr double kEfv = 0.9796599048814797;
constexpr double kYff333 = 9.787690635367657;
constexpr double kYcp50 = 4.796163069544365;
constexpr double kWtk32 = 320.0 / 127.0;
constexpr double kWtk32q = 64.0 / 27.0;
constexpr double kWtk32d = 32.0 / 15.0;
constexpr double kWtk64 = 2.448537586029159;
constexpr double kWtk65 = 2.6670287908151713;

struct Timing {
  std::int32_t tickScale;
  double timerTick;
  std::int32_t speedMultiplier;
  double axisFactorXY, axisFactorZ;
  std::int32_t knifeStepsPerTurn;
};

struct Feeds {
  std::uint16_t maxFeedXY, maxWorkFeed, maxTravelFeed, maxFeedZ, maxSmoothFeed, minFeed;
  std::int32_t maxJogSpeed;
  std::uint8_t legacyJogScale;
};

struct Caps {
  std::int32_t maxSpindle, minSpindle;
  std::uint8_t usbGeneration;
  std::int32_t radiusStraight, radiusSmooth, radiusSlope;
  std::uint8_t wide;
  std::int32_t rampStep;
  std::uint8_t isLaser, laserZAxis;
  std::uint32_t displayDecimals;
  std::uint8_t headCount, vacuumPump, knifeAxis;
};

tMachineParams row(const Timing& t, const Feeds& f, const Caps& c) {
  tMachineParams p;
  p.tickScale = t.tickScale;
  p.timerTick = t.timerTick;
  p.speedMultiplier = t.speedMultiplier;
  p.axisFactorX = p.axisFactorY = t.axisFactorXY;
  p.axisFactorZ = t.axisFactorZ;
  p.knifeStepsPerTurn = t.knifeStepsPerTurn;
  p.maxFeedXY = f.maxFeedXY;
  p.maxWorkFeed = f.maxWorkFeed;
  p.maxTravelFeed = f.maxTravelFeed;
  p.maxFeedZ = f.maxFeedZ;
  p.maxSmoothFeed = f.maxSmoothFeed;
  p.minFeed = f.minFeed;
  p.maxJogSpeed = f.maxJogSpeed;
  p.legacyJogScale = f.legacyJogScale;
  p.maxSpindle = c.maxSpindle;
  p.minSpindle = c.minSpindle;
  p.usbGeneration = c.usbGeneration;
  p.radiusFactorStraight = c.radiusStraight;
  p.radiusFactorSmooth = c.radiusSmooth;
  p.radiusFactorSlope = c.radiusSlope;
  p.wideCommandSet = c.wide;
  p.rampStep = c.rampStep;
  p.isLaser = c.isLaser;
  p.laserZAxis = c.laserZAxis;
  p.displayDecimals = c.displayDecimals;
  p.headCount = c.headCount;
  p.vacuumPump = c.vacuumPump;
  p.knifeAxis = c.knifeAxis;
  return p;
}

// Timing and scales.
constexpr Timing tLfv{1, 0.75, 3, kOldPlotter, 5.3333333333, 1};
constexpr Timing tTfv{1, 0.75, 3, kOldPlotter, 1.5, 1};
constexpr Timing tWfv{1, 0.75, 1, kOldPlotter, 4.5, 1};
constexpr Timing t16w{1, 0.75, 2, kOldPlotter, 2, 1};
constexpr Timing tEfv{1, 0.8, 1, kEfv, 4.5, 1};
constexpr Timing tYfv{1, 0.8, 1, kEfv, 1, 1};
constexpr Timing tYfF{1, 0.8, 1, kEfv, kEfv, 1};
constexpr Timing tEfF{1, 0.8, 1, kEfv, 2.4975, 1};
constexpr Timing tYff333{2, 0.0125, 1, kYff333, 10, 1};
constexpr Timing tPff{2, 0.0138888889, 2, 10, 10, 1};
constexpr Timing tYfb{1, 0.0125, 2, 10, 10, 1};
constexpr Timing tYfb635{2, 0.0125, 2, 10, 10, 1};
constexpr Timing tYhb{1, 0.0125, 2, 10, 10, 4000};
constexpr Timing tYcp{1, 0.0125, 1, kYcp50, 6.4, 1};
constexpr Timing tYjb{1, 0.0125, 2, 5, 5, 1};
constexpr Timing tWtk55{1, 0.0125, 1, 10, 0, 1};
constexpr Timing tWtk32{1, 0.0125, 1, kWtk32, 0, 1};
constexpr Timing tWtk32q{1, 0.0125, 1, kWtk32q, 0, 1};
constexpr Timing tWtk32d{1, 0.0125, 1, kWtk32d, 0, 1};
constexpr Timing tWtk11{1, 0.0125, 1, kWtk32, 7.89, 1};
constexpr Timing tWtk64{1, 0.0125, 1, kWtk64, 0, 0};
constexpr Timing tWtk65{1, 0.0125, 1, kWtk65, 0, 0};
constexpr Timing tDrill{2, 0.0277777778, 2, 2, 2, 0};
constexpr Timing tYfn{2, 0.0277777778, 2, 10, 10, 1};

// Feeds and the manual slider.
constexpr Feeds fLfv{2000, 1000, 1000, 180, 2000, 12, 340, 1};
constexpr Feeds fUfv{1800, 1000, 1000, 180, 2000, 12, 340, 1};
constexpr Feeds fTfv{1000, 1000, 1000, 660, 500, 12, 340, 1};
constexpr Feeds f4fv{2000, 1000, 1000, 660, 2000, 12, 340, 1};
constexpr Feeds fWfv{2500, 2500, 2500, 660, 2000, 12, 340, 1};
constexpr Feeds fRfv{2500, 2500, 0, 660, 2000, 12, 340, 1};
constexpr Feeds f16w{1500, 1000, 1000, 660, 2000, 12, 340, 1};
constexpr Feeds fEfv{2500, 2500, 2500, 500, 2500, 100, 340, 1};
constexpr Feeds fYfv{16000, 8000, 16000, 3000, 5000, 100, 340, 0};
constexpr Feeds fEfF{2500, 2500, 2500, 3000, 2500, 100, 340, 1};
constexpr Feeds fYrn{16000, 8000, 16000, 6000, 5000, 100, 340, 0};
constexpr Feeds fYff333{5000, 5000, 5000, 900, 1000, 1, 230, 0};
constexpr Feeds fPff{5000, 5000, 5000, 4500, 4000, 1, 240, 0};
constexpr Feeds fYfb{5000, 5000, 5000, 5000, 500, 1, 230, 0};
constexpr Feeds fYfb32x635{5000, 5000, 5000, 5000, 5000, 1, 230, 0};
constexpr Feeds fYhb{5000, 5000, 5000, 7000, 500, 1, 230, 0};
constexpr Feeds fYcp{10000, 10000, 10000, 10000, 500, 1, 280, 0};
constexpr Feeds fYjb{30000, 30000, 30000, 10000, 500, 1, 480, 0};
constexpr Feeds fWtk55{10000, 10000, 10000, 10000, 1000, 1, 280, 0};
constexpr Feeds fWtk32{26000, 26000, 26000, 16000, 1000, 2, 440, 0};
constexpr Feeds fWtk32q{25000, 25000, 25000, 16000, 1000, 2, 440, 0};
constexpr Feeds fWtk11{50000, 50000, 50000, 4000, 1000, 2, 680, 0};
constexpr Feeds fWtk64{24000, 24000, 24000, 4000, 1000, 2, 420, 0};
constexpr Feeds fYnb15{15000, 15000, 15000, 5000, 500, 1, 330, 0};
constexpr Feeds fYnb30{30000, 30000, 30000, 5000, 500, 1, 480, 0};
constexpr Feeds fRb{33000, 33000, 33000, 5000, 500, 1, 330, 0};

// Spindle, planning and capabilities.
constexpr Caps cPlotter{24000, 3000, 0, 1200, 2400, 1000, 0, 1, 0, 0, 2, 1, 0, 0};
constexpr Caps cUsbOld{24000, 3000, 1, 1200, 2400, 1000, 0, 1, 0, 0, 2, 1, 0, 0};
constexpr Caps cYff333{24000, 3000, 1, 800, 2400, 600, 1, 10, 0, 0, 3, 1, 0, 0};
constexpr Caps cPff{24000, 3000, 1, 1200, 2400, 1200, 1, 0, 0, 0, 3, 1, 0, 0};
constexpr Caps cYfb32{24000, 3000, 1, 800, 2400, 800, 1, 1, 0, 0, 3, 1, 0, 0};
constexpr Caps cYfb635{24000, 3000, 1, 1000, 2400, 1000, 1, 0, 0, 0, 3, 1, 0, 0};
constexpr Caps cYfb46{24000, 3000, 1, 700, 2400, 600, 1, 4, 0, 0, 3, 1, 0, 0};
constexpr Caps cYfb48{24000, 3000, 1, 600, 2400, 400, 1, 4, 0, 0, 3, 1, 0, 0};
constexpr Caps cYfb48x635{24000, 3000, 1, 900, 2400, 900, 1, 0, 0, 0, 3, 1, 0, 0};
constexpr Caps cYhb{100, 0, 1, 600, 2400, 400, 1, 4, 0, 0, 3, 1, 0, 1};
constexpr Caps cYcp{18000, 3000, 1, 800, 2400, 600, 1, 4, 0, 0, 3, 1, 0, 0};
constexpr Caps cYjb{18000, 3000, 1, 1500, 2400, 1200, 1, 4, 0, 0, 3, 3, 1, 0};
constexpr Caps cWtk55{100, 0, 1, 1200, 2400, 1000, 1, 3, 1, 0, 3, 1, 0, 0};
constexpr Caps cWtk32{100, 0, 1, 3000, 2400, 3000, 1, 1, 1, 0, 3, 1, 0, 0};
constexpr Caps cWtk11{100, 0, 1, 4000, 2400, 4000, 1, 1, 1, 1, 3, 1, 0, 0};
constexpr Caps cWtk64{100, 0, 1, 1200, 2400, 1000, 1, 14, 1, 0, 3, 0, 0, 0};
constexpr Caps cYnb{18000, 3000, 1, 1000, 2400, 1000, 1, 0, 0, 0, 3, 1, 0, 0};
constexpr Caps cRz{18000, 3000, 1, 1000, 2400, 1000, 1, 1, 0, 0, 3, 1, 0, 0};
constexpr Caps cRb{2400, 750, 1, 1000, 2400, 1000, 1, 1, 0, 0, 3, 1, 0, 0};

struct Entry {
  const char* type;
  Timing t;
  Feeds f;
  Caps c;
};

const Entry kRows[] = {
    {"LFV", tLfv, fLfv, cPlotter},
    {"UFV", tLfv, fUfv, cPlotter},
    {"TFV", tTfv, fTfv, cPlotter},
    {"FV ", tTfv, fTfv, cPlotter},
    {"4FV", tTfv, f4fv, cPlotter},
    {"WFV", tWfv, fWfv, cPlotter},
    {"RFV", tWfv, fRfv, cPlotter},
    {"16W", t16w, f16w, cPlotter},
    {"EFV", tEfv, fEfv, cUsbOld},
    {"EFF", tEfv, fEfv, cUsbOld},
    {"YFV", tYfv, fYfv, cUsbOld},
    {"YFF", tYfv, fYfv, cUsbOld},
    {"YfF", tYfF, fYfv, cUsbOld},
    {"EfF", tEfF, fEfF, cUsbOld},
    {"YRN", tYfv, fYrn, cUsbOld},
    {"YRF", tYfv, fYrn, cUsbOld},
    {"YFF 333", tYff333, fYff333, cYff333},
    {"PFF", tPff, fPff, cPff},
    {"YFB 32", tYfb, fYfb, cYfb32},
    {"YFB 46", tYfb, fYfb, cYfb46},
    {"YFB 48", tYfb, fYfb, cYfb48},
    {"YHB 32", tYhb, fYhb, cYhb},
    {"YCP 50", tYcp, fYcp, cYcp},
    {"YJB", tYjb, fYjb, cYjb},
    {"WTK55", tWtk55, fWtk55, cWtk55},
    {"WTK32", tWtk32, fWtk32, cWtk32},
    {"WTK32Q", tWtk32q, fWtk32q, cWtk32},
    {"WTK32D", tWtk32d, fWtk32q, cWtk32},
    {"WTK32V", tWtk32d, fWtk32q, cWtk32},
    {"WTK11", tWtk11, fWtk11, cWtk11},
    {"WTK64", tWtk64, fWtk64, cWtk64},
    {"WTK65", tWtk65, fWtk64, cWtk64},
    {"YNB 15", tDrill, fYnb15, cYnb},
    {"YNB 30", tDrill, fYnb30, cYnb},
    {"RZ", tDrill, fYnb15, cRz},
    {"RB", tDrill, fRb, cRb},
    {"RB2", tDrill, fRb, cRb},
    {"YFN", tYfn, fYfb32x635, cYnb},
};

const Entry kRowsFrom635[] = {
    {"YFB 32", tYfb635, fYfb32x635, cYfb635},
    {"YFB 46", tYfb635, fYfb, cYfb635},
    {"YFB 48", tYfb635, fYfb, cYfb48x635},
};

template <std::size_t N>
std::optional<tMachineParams> find(const Entry (&rows)[N], std::string_view type) {
  for (const Entry& e : rows)
    if (type == e.type) return row(e.t, e.f, e.c);
  return std::nullopt;
}

}  // namespace

std::optional<tMachineParams> machineRow(std::string_view type) { return find(kRows, type); }

std::optional<tMachineParams> machineRowFrom635(std::string_view type) { return find(kRowsFrom635, type); }

const std::vector<std::string>& machineTypeCodes() {
  static const std::vector<std::string> codes = [] {
    std::vector<std::string> v;
    for (const Entry& e : kRows) v.emplace_back(e.type);
    return v;
  }();
  return codes;
}

}  // namespace trazvik
