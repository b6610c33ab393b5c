// Replies of the plotter-class controllers on the parallel link to the
// single-letter queries. 3-byte values are little-endian and sign-extended
// from bit 23; 2-byte values are little-endian and unsigned. A reply that
// came short leaves the fields it did not reach unchanged.
#pragma once
#include "no_qt.h"

#include "machine/byte_fields.h"
#include "machine/link_state.h"
#include "machine/plot_state.h"
#include "link/status_layout.h"

#include <cstdint>

namespace trazvik {

// "X": one state byte; no byte (time-out) means state 0. The full state word
// follows the byte.
void decodeLegacyState(ByteSpan reply, tplotstate& st);
// "E": X, Y, Z positions as three 3-byte values.
void decodeLegacyPositions(ByteSpan reply, tplotstate& st);
// "Z": zero X and Y in steps; "O": zero Z. Scaled by the axis factors and
// rounded to whole hundredths.
void decodeLegacyZeroXY(ByteSpan reply, const tStatusLayout& layout, tplotstate& st);
void decodeLegacyZeroZ(ByteSpan reply, const tStatusLayout& layout, tplotstate& st);
// "J": selected power slot and power byte.
void decodeLegacyPower(ByteSpan reply, tplotstate& st);
// "I" with argument 1, 0, 2, 3 or 255: slot byte then the 2-byte value of
// speedr, speedp, speedm, speedpol or speedc. `info1` starting with "L"
// reports the polishing speed unscaled.
void decodeLegacySpeed(std::uint8_t argument, ByteSpan reply, const tStatusLayout& layout, tplotstate& st);
// "H" with argument 0, 1, 2 (8 characters: info0, info1, info2), 4 (3-byte
// running time, 2-byte counter) or 3 (three 2-byte work area values).
void decodeLegacyInfo(std::uint8_t argument, ByteSpan reply, tplotstate& st, tLinkState& link);

}  // namespace trazvik
