// Small helpers to lay out report bytes by hand in the status tests.
#pragma once

#include "machine/byte_fields.h"

#include <cstdint>
#include <initializer_list>

namespace trazvik::test {

inline void putLe(Bytes& b, std::size_t at, std::uint64_t v, std::size_t width) {
  if (b.size() < at + width) b.resize(at + width, 0);
  for (std::size_t i = 0; i < width; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}
inline void putI32(Bytes& b, std::size_t at, std::int32_t v) { putLe(b, at, static_cast<std::uint32_t>(v), 4); }

}  // namespace trazvik::test
