// The writing side of Thpgl: turns a prepared project into the job in the
// controller's command language, figure by figure. The header loads
// speeds and powers and starts the tool, every figure gets a block (travel,
// approach, plunge or drilling, cutting, retract), the trailer ends the job.
// Bytes are handed to the sink after the header, after every figure and
// after the trailer, so memory follows the largest figure, not the job.
#pragma once
#include "no_qt.h"

#include "geometry/figure.h"
#include "job/byte_sink.h"
#include "job/job_machine.h"
#include "job/job_move.h"
#include "job/job_settings.h"
#include "job/speed_suffix.h"
#include "layers/warstwa.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace trazvik::job {

// Output modes of the writer (the filter index of the save dialog).
inline constexpr int kModeHpgl = 1;
inline constexpr int kModeDrawing = 4;
inline constexpr int kModeProgram = 5;

// Where a figure left the tool: x, y in millimetres without the scale, and
// the height (ostatniPktFigWwarstwie).
struct tLastPoint {
  double x = 0, y = 0, z = 0;
};

// What the start of the job decides besides the settings.
struct tJobOptions {
  int outputMode = kModeDrawing;
  double travelHeight = 0;  // mm
  // The job cuts one selected figure of a G-code program, or starts from one.
  bool oneSelectedFigureOfProgram = false;
  bool startsFromSelectedFigureOfProgram = false;
  double programFeed = 0;     // the program's F, mm/min (0: none)
  double programSpindle = 0;  // the program's S (0: none)
};

class Thpgl {
 public:
  Thpgl(tByteSink& f, const tJobSettings& settings, const tWriterMachine& machine, const tJobOptions& options);

  // Job header of a single-layer job; resets the job state.
  void save(int ImportFileType, int zadanaGlowica, bool otwartoJakoWielowarstwowy);
  // Header of a multi-layer job: no speeds and powers (the layer blocks
  // load them).
  void saveMultiLayer(int ImportFileType, int zadanaGlowica);
  // One figure block in the output mode; `adresWarstwy` is the layer in a
  // multi-layer job. Throws tJobRangeError, tJobWriteError.
  void write_figura(tfigura& fig, tLastPoint& ostatniPktFigWwarstwie, const tWarstwa* adresWarstwy);
  // Trailer: end-of-job travel, outputs off, slot 2.
  void closewrite(int zadanaGlowica);
  // The safe approach that opens a job on a selected figure of a program.
  void BezpiecznyDojazdDoWskazanejFig(const tfigura& fig);
  // Per-figure laser feed and powers in multi-layer projects.
  void saveLayerParamters(double weV, double wePowerSpocz, double wePower);
  // The block before the figures of one layer: speeds, powers, head
  // change, tool start.
  void ZastosujParametryWarstwy(const tWarstwa& w, int poprzGlowica, const tLastPoint& pkt, int nastGlowica);

  const tJobState& state() const { return st_; }
  // Bytes handed to the sink or waiting for it: the offset the next
  // command will have in the job.
  std::uint64_t offset() const { return f_.size() + buf_.size(); }
  // Where the last figure block began its way down into the material;
  // nothing for a block without one (a program's block cuts throughout).
  std::optional<std::uint64_t> cutMark() const { return cutMark_; }
  // Where the last figure block's cutting ended (its retract began).
  std::optional<std::uint64_t> doneMark() const { return doneMark_; }
  double minR() const { return minR_; }
  bool multiLayer() const { return otwarto_jako_wielowarstw; }
  int outputMode() const { return opt_.outputMode; }

  int FileType = 1;
  bool otwarto_jako_wielowarstw = false;
  int last_pen = 0;

 private:
  // --- emitting ---
  void put(const Bytes& b) { buf_.insert(buf_.end(), b.begin(), b.end()); }
  void flush();
  void pause(std::uint8_t ms);
  void longPauseS(double seconds);
  void slot(std::uint8_t s);
  void outputs(std::uint8_t state, std::uint8_t mask);
  void power(std::uint8_t channel, double value);
  void record(const Bytes& b) { put(b); }
  void load(std::uint8_t slot, double feedMmPerMin, bool zFeed);
  void move(double x, double y, double z, std::uint32_t code = 65535);
  void knifeMove(double x, double y, std::int32_t target, std::uint32_t code, std::int32_t multiplier);
  void spindleWaitRecord();

  // --- shared blocks ---
  void resetJob(int zadanaGlowica);
  void headSelection(int k);
  void headRelease(int k);
  void loadPlungeFeed();
  void loadRetractFeed();
  void loadPolishFeed();
  std::uint8_t plungeSlot() const { return m_.drillSlots ? 4 : 3; }
  std::uint8_t retractSlot() const { return m_.drillSlots ? 5 : 3; }
  void loadJobSlots(double workFeed);
  void toolStart();
  void lubrication(bool on);

  // --- figure blocks ---
  struct tPoint {
    double x, y, z;  // mm: x, y scaled, z not
  };
  tPoint pointOf(const tfigura& fig, std::size_t i) const;
  void planFigure(tfigura& fig);
  void writeDrawingFigure(tfigura& fig, tLastPoint& last, const tWarstwa* layer);
  void approach(const tPoint& p0);
  void drillPoint(const tfigura& fig);
  void plungeAndStart(const tPoint& p0);
  void beamOff();
  bool knife() const { return s_.hasKnife && m_.knifeAxis; }
  void cuttingMoves(tfigura& fig, const tWarstwa* layer);
  void bezierMoves(const tfigura& fig);
  bool cutsBezierChain(const tfigura& fig) const;
  void polylineMoves(const tfigura& fig, const tWarstwa* layer);
  void flyingStart(const tfigura& fig, std::size_t i, double accel);
  void stopAt(const tfigura& fig, std::size_t i, double z, double zBefore, bool flying, double accel);
  void turnKnifeAtStop(const tfigura& fig, std::size_t i, double z);
  void polishingStart(double z, const tWarstwa* layer, bool& started);
  void endOfCutting();
  void retract(const tfigura& fig, tLastPoint& last);
  void writeProgramFigure(tfigura& fig);
  double cuttingZ(const tPoint& p) const { return m_.laserZAxis ? st_.travelHeight : p.z; }
  double accelerationDistance() const;

  tByteSink& f_;
  const tJobSettings& s_;
  const tWriterMachine& m_;
  tJobOptions opt_;
  tJobMoveContext ctx_;
  tSpeedPlanParams plan_;
  tJobState st_;
  Bytes buf_;
  std::vector<std::uint16_t> tnx;
  double minR_ = 2147483647;
  std::optional<tNarrowSpeedLimits> narrow_;
  std::optional<tWideSpeedCarriage> carriage_;
  double workFeed_ = 0;  // the feed last loaded into slot 1, mm/min
  std::optional<std::uint64_t> cutMark_, doneMark_;
};

}  // namespace trazvik::job
