// Reading the controller's command language back: a job stream (split by
// the machine's command-length table, as job transmission splits it) or a
// single command message, into structured commands that a simulated
// controller can execute and a readable line per command.
#pragma once
#include "no_qt.h"

#include "geometry/bytes.h"
#include "machine/command_set.h"
#include "machine/commands_move.h"
#include "machine/command_lengths.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace trazvik {

enum class CommandKind {
  // job commands and their immediate forms
  move,
  loadSlot,
  selectSlot,
  pause,
  outputs,
  power,
  smoothing,
  segmentLimit,
  headZReference,
  thirdAxis,
  headZ,
  laserPulseTime,
  laserPulse,
  pulseTimeEcho,
  laserOn,
  laserOff,
  bezierPoint,
  bezierStep,
  bezierStepCount,
  bezierJoin,
  bezierExecute,
  jobEnd,
  // immediate only
  acceleration,
  stopManualMotion,
  holdJob,
  continueJob,
  startStoredJob,
  clearJob,
  probe,
  stateQuery,
  home,
  workZeroXY,
  workZeroZ,
  headZero,
  headOffset,
  machineParameter,
  controllerAddress,
  secondYShift,
  toolMeasure,
  spindleWait,
  ethernetStatusQuery,
  legacyQuery,
  // bytes that are no command of the language
  unknown
};

// What the third move coordinate drives when a move is executed.
enum class ThirdAxis { z, knife, headZ };

struct tDecodedCommand {
  CommandKind kind = CommandKind::unknown;
  bool immediate = false;  // upper-case opcode
  std::size_t offset = 0;  // position in the decoded stream
  Bytes bytes;             // the command as split
  std::string name;        // opcode or record name ("a", "sLT", "SN", ...)

  // move
  tStepDelta delta;  // signed step deltas
  std::uint8_t flags = 0;
  std::uint32_t pathLength = 0;
  std::uint32_t speedCode = 65535;  // wide set: code at the end of the move
  ThirdAxis thirdAxis = ThirdAxis::z;
  int head = 0;  // head index the third coordinate drives (headZ)

  // small arguments: slot, channel, output state, record mode, head bit,
  // parameter code, homing mask, legacy query argument, Bezier point letter
  std::uint8_t number = 0;
  std::uint8_t mask = 0;  // output mask; parameter byte
  // speed code, milliseconds, power, step count, join flag, acceleration,
  // head number of "SN", Z reference
  std::uint32_t value = 0;
  std::int32_t x = 0, y = 0, z = 0;  // Bezier point, work zero, head offset/zero, Y shift
  float step = 0;                    // Bezier parameter step x 0.8
  std::array<std::uint8_t, 4> octets{};

  std::string problem;  // empty when the command is sound

  bool operator==(const tDecodedCommand&) const = default;
};

// Decodes a job stream. Commands are split with the length table (opcode
// case ignored); a byte that starts no command becomes a one-byte "unknown"
// command, and a command cut short by the end of the stream is reported with
// its problem. The third-axis mode is followed through "s3v" and "s3z".
std::vector<tDecodedCommand> decodeCommandStream(std::span<const std::uint8_t> bytes, const tCommandSet& set,
                                                 const tCommandLengths& lengths);

// Decodes one command message (an immediate command, or a job command sent
// on its own). Its length comes from its layout; bytes after it (the zero
// padding of a USB report) are ignored.
tDecodedCommand decodeCommand(std::span<const std::uint8_t> message, const tCommandSet& set,
                              ThirdAxis thirdAxis = ThirdAxis::z, int head = 0);

// Bytes the command starting at `bytes` takes by its own layout (0 when the
// first byte starts no command, or the layout cannot be told yet).
std::size_t layoutLength(std::span<const std::uint8_t> bytes, const tCommandSet& set);

// One readable line: name, fields, then after " | " their meaning in
// millimetres, mm/min, heads and slots.
std::string commandText(const tDecodedCommand& c, const tCommandSet& set);
// The text of a whole stream, one line per command with its offset.
std::string streamText(const std::vector<tDecodedCommand>& commands, const tCommandSet& set);

}  // namespace trazvik
