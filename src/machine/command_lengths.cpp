#include "machine/command_lengths.h"

namespace trazvik {

namespace {
constexpr std::array<std::uint8_t, 27> kInitial = {
    // @  A   B  C  D  E  F  G  H  I  J  K  L  M  N
    1, 14, 2, 1, 1, 1, 2, 1, 2, 2, 1, 1, 3, 1, 5,
    // O  P  Q  R  S  T  U  V  W  X  Y  Z
    1, 2, 1, 3, 2, 3, 7, 4, 1, 1, 1, 1};

std::optional<std::size_t> slotOf(std::uint8_t opcode) {
  const std::uint8_t upper = opcode & 0xDF;
  if (upper < 0x40 || upper > 0x5A) return std::nullopt;
  return static_cast<std::size_t>(upper - 0x40);
}
}  // namespace

tCommandLengths::tCommandLengths() : lengths_(kInitial) {}

std::optional<std::uint8_t> tCommandLengths::of(std::uint8_t opcode) const {
  auto slot = slotOf(opcode);
  if (!slot) return std::nullopt;
  return lengths_[*slot];
}

void tCommandLengths::set(char letter, std::uint8_t length) {
  if (auto slot = slotOf(static_cast<std::uint8_t>(letter))) lengths_[*slot] = length;
}

void tCommandLengths::applyWideCommandSet() {
  set('A', 15);
  set('S', 16);
  set('V', 6);
}

void tCommandLengths::applyProtocolLevel(int level) {
  if (level > 5) set('T', 6);
}

}  // namespace trazvik
