// Commands the controller only takes as immediate commands, one per report
// or exchange (stops, job control, homing, work zero, set-up values).
#pragma once
#include "no_qt.h"

#include "geometry/bytes.h"
#include "machine/command_set.h"

#include <array>
#include <cstdint>

namespace trazvik {

// One-letter commands.
namespace immediate {
inline constexpr char stopManualMotion = 'Y';
inline constexpr char holdJob = 'Q';
inline constexpr char continueJob = 'K';
inline constexpr char startStoredJob = 'G';
inline constexpr char clearJob = 'C';
inline constexpr char probe = 'W';
inline constexpr char stateQuery = 'X';
}  // namespace immediate

// Homing masks of "B" and the base-check masks.
namespace homeMask {
inline constexpr std::uint8_t x = 0x31;
inline constexpr std::uint8_t z = 0x34;
inline constexpr std::uint8_t xyz = 0x37;
inline constexpr std::uint8_t checkX = 0x81;
inline constexpr std::uint8_t checkY = 0x82;
inline constexpr std::uint8_t checkZ = 0x84;
}  // namespace homeMask

inline constexpr std::uint8_t kMachineParameterCode = 0x0D;

Bytes letterCommand(char letter);
Bytes homeCommand(std::uint8_t mask);  // "B"
// "U": work zero X, Y in steps, u32 each on a CNC machine, u24 otherwise.
Bytes workZeroXYCommand(std::int32_t x, std::int32_t y, const tCommandSet& set);
// "N": work zero Z, u32 on a CNC machine or a multi-head machine, u24 otherwise.
Bytes workZeroZCommand(std::int32_t z, const tCommandSet& set);
// "SN": Z zero of one head (10 bytes).
Bytes headZeroCommand(std::uint32_t head, std::int32_t z);
// "S3o": offset of the active head in steps (11 bytes).
Bytes headOffsetCommand(std::int32_t x, std::int32_t y);
// "S" 0x0D code byte: one byte of a machine parameter.
Bytes machineParameterByteCommand(std::uint8_t code, std::uint8_t value);
// A 32-bit machine parameter: four commands, codes c to c+3, lowest byte first.
std::array<Bytes, 4> machineParameterCommands(std::uint8_t code, std::uint32_t value);
// "SIP": the controller's IPv4 address octets.
Bytes controllerAddressCommand(const std::array<std::uint8_t, 4>& octets);
// "Sy" 0x02: shift of the second Y head in steps.
Bytes secondYShiftCommand(std::int32_t steps);
Bytes toolMeasureCommand();   // "SU"
Bytes spindleWaitCommand();   // "Sfw"
Bytes ethernetStatusQuery();  // "SX"
// Legacy parallel-link queries: the letter and, for "H" and "I", one byte.
Bytes legacyQuery(char letter);
Bytes legacyQuery(char letter, std::uint8_t argument);

}  // namespace trazvik
