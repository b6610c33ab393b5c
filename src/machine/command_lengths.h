// Bytes per command of the controller's language, opcode included, indexed by
// the opcode letter with bit 5 cleared (so "a" and "A" share an entry).
#pragma once
#include "no_qt.h"

#include <array>
#include <cstdint>
#include <optional>

namespace trazvik {

class tCommandLengths {
 public:
  tCommandLengths();  // the lengths before machine identification

  // Length of the command that starts with this opcode byte; none when the
  // byte with bit 5 cleared is outside "@" to "Z".
  std::optional<std::uint8_t> of(std::uint8_t opcode) const;
  void set(char letter, std::uint8_t length);

  // Adjustments made by machine identification.
  void applyWideCommandSet();          // A 15, S 16, V 6
  void applyProtocolLevel(int level);  // T 6 above level 5

  bool operator==(const tCommandLengths&) const = default;

 private:
  std::array<std::uint8_t, 27> lengths_{};  // "@" to "Z"
};

}  // namespace trazvik
