// The 16-byte records of the controller's language: a name ("s3v", "sLT",
// "sWA", "SE", ...) and its arguments, padded with spaces to 16 bytes.
#pragma once
#include "no_qt.h"

#include "geometry/bytes.h"
#include "machine/command_set.h"

#include <cstdint>
#include <string_view>

namespace trazvik {

inline constexpr std::size_t kRecordLength = 16;

// The record: name (its first letter put in the form's case) and argument
// bytes, padded with spaces. Longer contents are cut to 16 bytes.
Bytes record16(std::string_view name, const Bytes& arguments, CommandForm form = CommandForm::job);

// Third move coordinate: 4 drives the knife axis, 0 drives Z again.
inline constexpr std::uint8_t kThirdAxisKnife = 4;
inline constexpr std::uint8_t kThirdAxisZ = 0;
Bytes thirdAxisRecord(std::uint8_t mode, CommandForm form = CommandForm::job);  // s3v
// Third move coordinate drives the Z of head 1, 2 or 3 (bit 1, 2 or 4).
Bytes headZRecord(std::uint8_t headBit, CommandForm form = CommandForm::job);  // s3z
std::uint8_t headBitOf(int headIndex);                                         // 0, 1, 2 -> 1, 2, 4

Bytes laserPulseTimeRecord(std::uint32_t ms, CommandForm form = CommandForm::job);  // sLT
Bytes laserPulseRecord(CommandForm form = CommandForm::job);                        // sLP
Bytes pulseTimeEchoRecord(std::uint32_t ms, CommandForm form = CommandForm::job);   // sP
Bytes laserOnRecord(CommandForm form = CommandForm::job);                           // sLS
Bytes laserOffRecord(CommandForm form = CommandForm::job);                          // sLC

// Bezier segment records (job only). Control point 'A' to 'D' in steps,
// relative to the job position, then one space.
Bytes bezierPointRecord(char point, std::int32_t x, std::int32_t y, std::int32_t z);  // sWA..sWD
Bytes bezierStepRecord(double parameterStep);                                         // sWU: f32 of step x 0.8
Bytes bezierStepCountRecord(double parameterStep);                                    // sWL: round(1 / (step x 0.8))
Bytes bezierJoinRecord(bool smooth);                                                  // sWG
Bytes bezierExecuteRecord();                                                          // sWW

// "SE": the last record of a job for a wide-set controller.
Bytes jobEndRecord();
// "SA": acceleration coefficient 0 to 14 (immediate).
Bytes accelerationRecord(std::uint32_t value);

}  // namespace trazvik
