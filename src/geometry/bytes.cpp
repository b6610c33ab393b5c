#include "geometry/bytes.h"

#include <bit>

namespace trazvik {

namespace {

template <std::size_t N>
std::array<std::uint8_t, N> lowBytes(std::uint32_t v) {
  std::array<std::uint8_t, N> out{};
  for (std::size_t i = 0; i < N; ++i) out[i] = static_cast<std::uint8_t>(v >> (8 * i));
  return out;
}

}  // namespace

std::array<std::uint8_t, 2> packWord(std::uint16_t v) { return lowBytes<2>(v); }

std::array<std::uint8_t, 3> packInt24(std::int32_t v) { return lowBytes<3>(static_cast<std::uint32_t>(v)); }

std::array<std::uint8_t, 4> packInt32(std::int32_t v) { return lowBytes<4>(static_cast<std::uint32_t>(v)); }

std::array<std::uint8_t, 4> packWord32(std::uint16_t v) { return lowBytes<4>(v); }

std::string padNul16(std::string_view s) {
  std::string out(s);
  if (out.size() < 16) out.resize(16, '\0');
  return out;
}

std::array<std::uint8_t, 12> recordBytes12(std::int32_t x, std::int32_t y, std::int32_t z) {
  std::array<std::uint8_t, 12> out{};
  const std::int32_t values[3] = {x, y, z};
  for (int i = 0; i < 3; ++i) {
    const auto four = packInt32(values[i]);
    for (int j = 0; j < 4; ++j) out[4 * i + j] = four[j];
  }
  return out;
}

std::array<std::uint8_t, 4> singleBytes(float f) { return lowBytes<4>(std::bit_cast<std::uint32_t>(f)); }

}  // namespace trazvik
