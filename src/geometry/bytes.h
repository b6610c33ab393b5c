// Byte packers for the job file and controller commands: numbers become
// bytes, least significant first.
#pragma once
#include "no_qt.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace trazvik {

using Bytes = std::vector<std::uint8_t>;

std::array<std::uint8_t, 2> packWord(std::uint16_t v);
// The low 3 bytes of v (larger values are cut, -1 gives FF FF FF).
std::array<std::uint8_t, 3> packInt24(std::int32_t v);
std::array<std::uint8_t, 4> packInt32(std::int32_t v);
// The word's 2 bytes followed by 2 zero bytes.
std::array<std::uint8_t, 4> packWord32(std::uint16_t v);
// s followed by NULs up to 16 characters; a longer text stays whole.
std::string padNul16(std::string_view s);
// Three 32-bit integers, 12 bytes.
std::array<std::uint8_t, 12> recordBytes12(std::int32_t x, std::int32_t y, std::int32_t z);
// The 4 bytes of an IEEE-754 single.
std::array<std::uint8_t, 4> singleBytes(float f);

// Appends packed bytes (or any byte range) to a buffer.
template <std::size_t N>
void appendBytes(Bytes& out, const std::array<std::uint8_t, N>& bytes) {
  out.insert(out.end(), bytes.begin(), bytes.end());
}
inline void appendBytes(Bytes& out, std::string_view text) { out.insert(out.end(), text.begin(), text.end()); }

}  // namespace trazvik
