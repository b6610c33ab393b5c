// Decoding of the controller's status reports (USB string descriptors 10 to
// 25) and of the Ethernet status reply into the status record (tplotstate) and the link values.
// Pure functions over the bytes that arrived: a field beyond the end of a
// short report keeps its previous value.
#pragma once
#include "no_qt.h"

#include "machine/byte_fields.h"
#include "machine/link_state.h"
#include "machine/plot_state.h"
#include "link/status_layout.h"

#include <array>
#include <cstdint>
#include <optional>

namespace trazvik {

// Report 10: StateExtend and state; PowerMaska too when asked (readState).
void decodeStateReport(ByteSpan r10, const tStatusLayout& layout, tplotstate& st, bool withPowerMask);
// Report 10: motor positions of its layout (and selectedV on the standard
// layout of knife machines). Without a knife axis realpos.v becomes 0.
void decodePositionReport(ByteSpan r10, const tStatusLayout& layout, tplotstate& st);
// Head mask carried by report 10 (standard layout int at 18, extended int at 2).
std::optional<std::uint32_t> headMaskOfStatusReport(ByteSpan r10, const tStatusLayout& layout);
// Report 24 of the extended layout: head mask, and selectedV when asked.
std::optional<std::uint32_t> decodeHeadReport(ByteSpan r24, tplotstate& st, bool takeSelectedV);
// Index of the lowest set head bit; one-head machines are always head 0.
// Only the 16 heads the status record can hold are considered.
std::int32_t headIndexFromMask(std::uint32_t mask, int headCount);

// abspos from realpos and the axis factors (a zero factor gives 0).
void recomputeAbsPos(tplotstate& st, const tStatusLayout& layout);

// Report 11: the work zero (hundredths of a millimetre, unrounded).
void decodeZeroPointReport(ByteSpan r11, const tStatusLayout& layout, tplotstate& st);
// Report 21: Z zeros of heads 1 to 3 (rounded), then pos0.z of the selected head.
void decodeHeadZerosReport(ByteSpan r21, const tStatusLayout& layout, tplotstate& st);
// Report 12: slot selection, the speed slots and the current speed.
void decodeSpeedReport(ByteSpan r12, const tStatusLayout& layout, tplotstate& st);
// Report 13: selected power slot (capped at 5) and its value.
void decodePowerReport(ByteSpan r13, tplotstate& st);
// Report 13, word at 14: full-scale power; 0 stands for 255.
std::optional<std::int32_t> laserFullPowerOfPowerReport(ByteSpan r13);
// Report 14: work area, running time and counter.
void decodeIdentityReport(ByteSpan r14, tplotstate& st, tLinkState& link);
// Report 23: second work area.
void decodeSecondAreaReport(ByteSpan r23, tLinkState& link);
// Report 15: version text; "v" or "o" at byte 3 and digits at 7, 9, 10 give
// the three-digit version, anything else 300.
std::int32_t controllerVersionOfVersionReport(ByteSpan r15);
// Report 19: firmware major, minor and build (all 0 first).
void decodeFirmwareReport(ByteSpan r19, tLinkState& link);
// Report 16: the four inverter words.
void decodeInverterReport(ByteSpan r16, tLinkState& link);
// Report 17: input byte and driver error axes.
void decodeInputsReport(ByteSpan r17, tLinkState& link);
// Report 18: X, Y, Z calibration factors; a missing, zero or unusable
// factor is 1.
std::array<float, 3> calibrationOfReport(ByteSpan r18);
// Report 22: blade offset of the oscillating knife in knife steps.
std::optional<std::int32_t> knifeOffsetOfReport(ByteSpan r22);
// Report 25: true for the long-travel variant ("L" at byte 2).
bool isLongTravelVariant(ByteSpan r25);

// One Ethernet status reply (answer to "SX"). An empty reply sets
// ethernetError to 100 and changes nothing; otherwise ethernetError is 0 and
// every field that arrived is taken. Returns whether anything was decoded.
bool decodeEthernetStatus(ByteSpan reply, const tStatusLayout& layout, tplotstate& st, tLinkState& link);

}  // namespace trazvik
