// tBMPThread: the engraving worker. It streams the raster lines of a bitmap
// to the controller line by line: the pixels of the next line while the
// machine still moves, then the run-up, the engraving move that burns them
// and the run-out, alternating direction unless one direction is asked for.
// A stop request or the machine's hold button pauses it between lines; a
// resume goes on with the next line.
//
// Threads: the worker runs on its own thread and uses the program's link,
// status reads and plot state alone from Resume() until it suspends itself
// or ends; the flag engravingHoldsLink tells the interface thread so, and
// the interface thread then leaves the link alone except in the monitoring
// ticks the worker hands over (`handOver`) and waits for. Suspension,
// resumption and the hand-over go through a mutex and condition variables;
// the progress figures are atomics.
#pragma once
#include "no_qt.h"

#include "control/control_state.h"
#include "geometry/records.h"
#include "import/bmp_decoder.h"
#include "link/machine_ops.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace trazvik {

// What the worker takes from the settings when it is made.
struct tEngravingSettings {
  double ZadanaWysokosc = 40;   // WysokoscObrazu, mm
  double ZadanaSzerokosc = 30;  // SzerokoscObrazu, mm
  double MocDlaCzarnego = 65;   // percent
  double MocDlaBialego = 17;    // percent
  double Krok = 0.15;           // BMPKrok, mm
  bool jednokierunkowo = true;  // Jednokierukowo: every line forward
  double mocSpoczynkowa = 0;    // SpoczynkowaMocLasera, percent
  double workFeed = 1000;       // WorkSpeed, mm/min: the engraving speed when the slot reads empty
};

class tBMPThread {
 public:
  // The machine's state and link as `ops` reaches them; `picture` stays
  // shared with the project.
  tBMPThread(tMachineOps& ops, tControlState& flags, tEngravingSettings settings,
             std::shared_ptr<const import::tBitmap> picture);
  // Ends the worker (at the end of its current line) and waits for it.
  ~tBMPThread();
  tBMPThread(const tBMPThread&) = delete;
  tBMPThread& operator=(const tBMPThread&) = delete;

  // Runs the step on the interface thread (queued there); unset: the
  // worker runs no monitoring tick.
  std::function<void(std::function<void()>)> handOver;
  // The control panel's monitoring tick (the interface thread runs it).
  std::function<void()> monitoringTick;

  // The raster lines of the picture (before the first Resume).
  void BMPToList();
  // Starts the worker the first time, then resumes it from a pause.
  void Resume();
  // The worker ends after its current line (a paused one at once) and
  // leaves the controller as at the end of an engraving.
  void Terminate();
  // Waits until the worker has ended.
  void WaitFor();

  bool Suspended() const { return suspended_.load(); }
  bool Finished() const { return finished_.load(); }
  bool Started() const { return thread_.joinable(); }
  int linesDone() const { return linesDone_.load(); }
  std::uint64_t bytesSent() const { return bytesSent_.load(); }
  std::uint64_t commandsSent() const { return commandsSent_.load(); }
  // Why the worker gave up (the controller stopped answering); empty otherwise.
  std::string problem() const;

  // The lines; read them only before Resume() or after WaitFor().
  int szerokoscPixel = 0;
  int wysokoscPixel = 0;
  std::vector<tLinia> ListaLini;
  int lineCount() const { return lineCount_.load(); }

 private:
  void Execute();
  void engraveLine(std::size_t q, bool forward);
  void sendPixels(const tLinia& line, bool forward);
  void finishRaster();
  // Waits for the end of motion; false when the controller stopped answering.
  bool waitIdle();
  // Reads the state until `done` holds after a read; false when the
  // controller stopped answering.
  bool pollUntil(const std::function<bool()>& done);
  // The head to the start of a line, the move not before `pauseEnds`;
  // false when it did not get there.
  bool moveToLineStart(double y, double x, std::chrono::steady_clock::time_point pauseEnds);
  // The monitoring tick on the interface thread, at most every 100 ms.
  void tickNow(bool always);
  // Suspends until resumed or terminated; true when resumed.
  bool suspend();
  void send(const Bytes& command);
  template <class Range>
  void sendRange(const Range& r) {
    send(Bytes(r.begin(), r.end()));
  }
  double runUpSteps();

  tMachineOps ops_;
  tControlState& flags_;
  tEngravingSettings s_;
  std::shared_ptr<const import::tBitmap> picture_;
  bool greyMapping_ = false;
  std::int32_t normalAcceleration_ = 0;
  std::int32_t rasterAcceleration_ = 0;
  // The head stands at the travel height and nobody moved it since the
  // last line.
  bool headPlaced_ = false;

  std::thread thread_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  bool resumeRequested_ = false;
  std::string problem_;
  std::atomic<bool> terminated_{false};
  std::atomic<bool> suspended_{false};
  std::atomic<bool> finished_{false};
  std::atomic<int> linesDone_{0};
  std::atomic<int> lineCount_{0};
  std::atomic<std::uint64_t> bytesSent_{0};
  std::atomic<std::uint64_t> commandsSent_{0};
  std::chrono::steady_clock::time_point lastTick_{};
};

}  // namespace trazvik
