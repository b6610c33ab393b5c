// Encoders of the short commands of the controller's language. Each returns
// the bytes of one command (long pauses: a run of commands) and changes
// nothing else.
#pragma once
#include "no_qt.h"

#include "geometry/bytes.h"
#include "machine/command_set.h"

#include <cstdint>

namespace trazvik {

// Output masks of the "r"/"R" command.
namespace outputMask {
inline constexpr std::uint8_t tool = 0x01;
inline constexpr std::uint8_t secondTool = 0x02;
inline constexpr std::uint8_t bothTools = 0x03;
inline constexpr std::uint8_t dustExtraction = 0x81;
inline constexpr std::uint8_t vacuumPump = 0x82;
inline constexpr std::uint8_t lubrication = 0xC0;  // on while the bits are clear
inline constexpr std::uint8_t head1 = 0x90;
inline constexpr std::uint8_t head2 = 0xA0;
inline constexpr std::uint8_t head3 = 0xC0;
}  // namespace outputMask

// "v": loads a speed code into slot 0 to 5 (u16 narrow, u32 wide). The narrow
// set keeps the low 16 bits; callers check the code fits (narrowSpeedCode).
Bytes loadSlotCommand(std::uint8_t slot, std::uint32_t code, const tCommandSet& set,
                      CommandForm form = CommandForm::job);
// "f": following moves use this slot.
Bytes selectSlotCommand(std::uint8_t slot, CommandForm form = CommandForm::job);
// "p": wait n milliseconds (1 to 255).
Bytes pauseCommand(std::uint8_t milliseconds, CommandForm form = CommandForm::job);
// A pause of whole seconds: "p" 255 while more than 255 ms remain, then the
// rest; nothing for 0 seconds.
Bytes longPause(std::uint32_t seconds, CommandForm form = CommandForm::job);
// "r": state 1 sets, 0 clears the output bits of mask.
Bytes outputsCommand(std::uint8_t state, std::uint8_t mask, CommandForm form = CommandForm::job);
// "t": channel 1 working power, 3 idle/auxiliary power. The value is one byte
// below protocol level 6 (larger values are cut to their low byte), four
// bytes from level 6.
Bytes powerCommand(std::uint8_t channel, std::uint32_t value, const tCommandSet& set,
                   CommandForm form = CommandForm::job);
// "s": continuous-path smoothing on or off (narrow set).
Bytes smoothingCommand(bool on, CommandForm form = CommandForm::job);
// "l": limits the speed at the end of the move before it (narrow set); 1 is
// no limit.
Bytes segmentLimitCommand(std::uint16_t code);
// "n": Z reference of the selected head in steps.
Bytes headZReferenceCommand(std::uint32_t steps);
// The "n" value of a head zero in hundredths of a millimetre.
std::uint32_t headZReferenceSteps(double headZeroHundredths, const tCommandSet& set);

}  // namespace trazvik
