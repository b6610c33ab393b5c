// Whether a status reply can be what a controller reports. Noise on the
// link, a controller out of step or a reply of the wrong layout carry
// numbers no machine has: positions tens of kilometres away, a working area
// of minus a million millimetres, a head the controller cannot hold. Such a
// reply is not decoded (its bits would start, stop or continue jobs at
// random); the status reader counts them, and a run of them makes the link
// faulty.
#pragma once
#include "no_qt.h"

#include "link/status_layout.h"
#include "machine/byte_fields.h"
#include "machine/plot_state.h"

namespace trazvik {

// No axis of any machine is longer than 100 m; the steps of a position or
// working area beyond that, either way, are no machine's.
inline constexpr double kLongestAxisMm = 100000;

// An Ethernet status reply (answer to "SX"): it holds at least the state
// word, and every position, working area and head index it holds is one a
// machine can have.
bool statusReplyReadable(ByteSpan reply, const tStatusLayout& layout);
// USB status report 10 of the layout: its positions are a machine's.
bool statusReportReadable(ByteSpan report10, const tStatusLayout& layout);
// The motor positions of a decoded state lie within reach of a machine.
bool statusPositionsPlausible(const tplotstate& st, const tStatusLayout& layout);

}  // namespace trazvik
