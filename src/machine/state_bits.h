// Bits of the controller state word (`StateExtend`; bits 0 to 7 also in `state`).
#pragma once
#include "no_qt.h"

#include <cstdint>

namespace trazvik::stateBit {

inline constexpr int motionRunning = 0;  // waitWhileBusy waits on it
inline constexpr int jobRunning = 1;     // the controller executes a job
inline constexpr int toolOn = 2;         // spindle or laser on
inline constexpr int homing = 3;         // readState re-reads while set
inline constexpr int jobStored = 5;      // a job can be repeated
inline constexpr int jobPaused = 6;
inline constexpr int bufferFull = 9;        // transmission sends nothing
inline constexpr int startRequest = 11;     // machine's start button
inline constexpr int stopRequest = 12;      // machine's stop button
inline constexpr int continueRequest = 13;  // machine's continue button
inline constexpr int spindleOverload = 14;  // comes with a stop request
inline constexpr int rasterEngraving = 21;
inline constexpr int heldForEmptyBuffer = 25;
inline constexpr int programmableRequest1 = 26;  // also ends automatic tool measurement
inline constexpr int programmableRequest2 = 27;
inline constexpr int axisDriverError = 28;
inline constexpr int inverterError = 62;  // extended state word only

constexpr std::uint64_t mask(int bit) { return std::uint64_t{1} << bit; }

}  // namespace trazvik::stateBit
