// The simulated motion controller: the machine's side of the link. It takes
// commands as they arrive over TCP or USB, answers with echoes and status
// replies laid out for its firmware, keeps a job buffer with flow control,
// executes immediate and job commands in simulated time, keeps a trace of the
// tool and shows faults on request. It is thread-safe: the servers, the USB
// device and a test may call it at once. Time moves only through advance()
// (or advanceWall(), which applies the time scale).
#pragma once
#include "no_qt.h"

#include "faults.h"
#include "job_buffer.h"
#include "machine_state.h"
#include "motion.h"
#include "sim_config.h"
#include "tcp_server.h"
#include "tool_trace.h"

#include "job/command_decoder.h"
#include "machine/command_set.h"
#include "link/status_encode.h"
#include "link/status_layout.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace trazvik::sim {

using ByteView = std::span<const std::uint8_t>;

struct SimCounters {
  std::uint64_t commands = 0;  // commands received (status queries not counted)
  std::uint64_t statusReplies = 0;
  std::uint64_t jobCommands = 0;  // accepted into the job buffer
  std::uint64_t jobExecuted = 0;
  std::uint64_t droppedJobCommands = 0;  // arrived while the buffer was beyond its headroom
  std::uint64_t unknownCommands = 0;
  std::uint64_t jobsEnded = 0;
  std::uint64_t maxPendingBytes = 0;  // highest buffer fill seen
};

enum class Button { start, stop, continueJob, programmable1, programmable2 };

class SimController {
 public:
  // The machine identified from the configuration (throws std::invalid_argument
  // for an unknown type), or one described by the caller.
  explicit SimController(SimConfig config);
  SimController(SimConfig config, SimMachine machine);

  // ----- link side -----
  // One receive on the command port: echoes, status replies, or nothing
  // (stall); `close` when the link is to drop.
  PortResponse onCommandData(int connection, ByteView data);
  void onCommandClosed(int connection);
  // One receive on the identity port.
  PortResponse onIdentityData(ByteView data);
  Bytes identityReply() const;

  // USB: one output report payload (16 bytes, zero-padded command).
  void onUsbPayload(ByteView payload);
  // Body of string descriptor `index` (status reports 10 to 25).
  Bytes usbReport(int index);
  bool usbConnected() const;
  bool stalled() const;
  void plugUsb();  // reattaches after a dropped link

  // ----- clock -----
  void advance(std::chrono::microseconds simulated);
  void advanceWall(std::chrono::nanoseconds wall);
  // Advances in small steps until no motion and no running job remain;
  // false when that did not happen within `limit` simulated time.
  bool runUntilIdle(std::chrono::seconds limit = std::chrono::seconds(3600));

  // ----- observation -----
  tControllerReports reports() const;
  std::uint64_t stateWord() const;
  bool stateBit(int bit) const { return (stateWord() >> bit) & 1u; }
  ToolTrace trace() const;
  SimCounters counters() const;
  MachineState machineState() const;
  const SimMachine& machine() const { return machine_; }
  const SimConfig& config() const { return config_; }
  tStatusLayout layout() const { return layout_; }
  double simulatedSeconds() const;
  // The last commands received (status queries not included), oldest
  // first, as the controller framed them; at most kReceivedLogSize.
  static constexpr std::size_t kReceivedLogSize = 1024;
  // Pixel bytes in one packet of a raster line.
  static constexpr std::size_t kPixelsPerPacket = 15;
  std::vector<Bytes> receivedCommands() const;
  void clearReceivedCommands();
  // Every job command executed since the start, in order (a repeated job
  // is there again).
  std::vector<Bytes> executedJobCommands() const;
  // Position of the tool in millimetres (machine coordinates).
  TracePoint toolPosition() const;

  // ----- control (tests and the program's fault options) -----
  void press(Button b);
  void holdButton(Button b, bool down);
  void spindleOverload();
  void setDriverError(std::uint8_t axes);
  void setEnclosureOpen(bool open);
  void setInverterError(bool on);
  void holdBufferFull(bool on);
  void dropLink();  // the next command exchange closes the link; USB unplugs
  void setStalled(bool on);
  void setReplyFaults(const ReplyFaults& f);
  ReplyFaults replyFaults() const;
  void apply(const ScheduledFault& f);
  void schedule(const ScheduledFault& f);
  // True once when a dropped link has to be closed (the server asks).
  bool takeLinkDrop();

 private:
  // all below: caller holds mutex_
  void receiveCommand(const Command& c);
  void executeImmediate(const Command& c);
  void executeJobCommand(const Command& c);
  void execute(const tDecodedCommand& d, bool inJob);
  bool rasterCommand(const Command& c);
  void setOutputs(bool on, std::uint8_t mask);
  void startQueuedImmediate(const Command& c);
  void runFor(double us);
  void endJob();
  void holdJob();
  void continueJob();
  void goJob();
  void clearJob();
  void resetLocked();
  void stopManualMotion();
  Motion moveMotion(const tDecodedCommand& d, TraceSource source) const;
  Motion engravingMotion(const tDecodedCommand& d);
  Motion homingMotion(std::uint8_t mask) const;
  Motion probeMotion() const;
  Motion dwellMotion(double ms, TraceSource source) const;
  void bezierMotions(std::deque<Motion>& out);
  double slotPeriod() const;
  std::uint64_t stateWordLocked() const;
  tControllerReports reportsLocked() const;
  Bytes statusReplyLocked();
  Bytes faultyStatus(Bytes reply);
  std::vector<Command> frame(ByteView data, Bytes& pending) const;
  void countCommand();
  void applyLocked(const ScheduledFault& f);

  SimConfig config_;
  SimMachine machine_;
  tStatusLayout layout_;
  tCommandSet set_;
  mutable std::mutex mutex_;
  MachineState st_;
  // Steps lost so far, X, Y, Z in mm: the counted position minus the true
  // one. A base check finds them; homing of an axis clears its share.
  std::array<double, 3> lostStepsMm_{};
  MotionExecutor executor_;
  ToolTrace trace_;
  JobBuffer job_;
  std::deque<Command> immediateQueue_;
  std::deque<Motion> immediateMotions_;
  std::deque<Motion> jobMotions_;
  std::optional<Motion> heldJobMotion_;
  std::array<std::array<std::int32_t, 3>, 4> bezier_{};  // control points A to D
  bool endSeen_ = false;
  bool jobEnded_ = false;
  double emptyForUs_ = 0;
  double simulatedUs_ = 0;
  double wallRemainderUs_ = 0;
  std::map<int, Bytes> pendingBytes_;  // per TCP connection: an incomplete job command
  std::vector<ScheduledFault> scheduled_;
  ReplyFaults replyFaults_;
  bool stalled_ = false;
  bool dropRequested_ = false;
  bool restarting_ = false;
  bool usbUnplugged_ = false;
  std::uint64_t noiseSeed_ = 0x9E3779B97F4A7C15ull;
  SimCounters counters_;
  std::deque<Bytes> received_;
  std::vector<Bytes> executedJob_;
};

}  // namespace trazvik::sim
