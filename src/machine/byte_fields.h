// Little-endian field access over a byte span that never reads or writes past
// its end. Controllers may answer short; a field that did not arrive reads as
// "absent" and the caller keeps the value it had.
#pragma once
#include "no_qt.h"

#include "geometry/bytes.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

namespace trazvik {

using ByteSpan = std::span<const std::uint8_t>;

class ByteFields {
 public:
  explicit ByteFields(ByteSpan bytes) : bytes_(bytes) {}

  std::size_t size() const { return bytes_.size(); }
  bool has(std::size_t offset, std::size_t width) const {
    return offset <= bytes_.size() && width <= bytes_.size() - offset;
  }

  std::optional<std::uint8_t> u8(std::size_t offset) const {
    if (!has(offset, 1)) return std::nullopt;
    return bytes_[offset];
  }
  std::optional<std::uint16_t> u16(std::size_t offset) const {
    if (!has(offset, 2)) return std::nullopt;
    return static_cast<std::uint16_t>(unsignedAt(offset, 2));
  }
  std::optional<std::int32_t> i24(std::size_t offset) const {
    if (!has(offset, 3)) return std::nullopt;
    std::uint32_t v = static_cast<std::uint32_t>(unsignedAt(offset, 3));
    if (v & 0x800000u) v |= 0xFF000000u;  // sign-extend from bit 23
    return static_cast<std::int32_t>(v);
  }
  std::optional<std::uint32_t> u24(std::size_t offset) const {
    if (!has(offset, 3)) return std::nullopt;
    return static_cast<std::uint32_t>(unsignedAt(offset, 3));
  }
  std::optional<std::uint32_t> u32(std::size_t offset) const {
    if (!has(offset, 4)) return std::nullopt;
    return static_cast<std::uint32_t>(unsignedAt(offset, 4));
  }
  std::optional<std::int32_t> i32(std::size_t offset) const {
    auto v = u32(offset);
    if (!v) return std::nullopt;
    return static_cast<std::int32_t>(*v);
  }
  std::optional<std::uint64_t> u64(std::size_t offset) const {
    if (!has(offset, 8)) return std::nullopt;
    return unsignedAt(offset, 8);
  }
  std::optional<float> f32(std::size_t offset) const {
    auto v = u32(offset);
    if (!v) return std::nullopt;
    float f;
    std::uint32_t bits = *v;
    std::memcpy(&f, &bits, sizeof f);
    return f;
  }

 private:
  std::uint64_t unsignedAt(std::size_t offset, std::size_t width) const {
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < width; ++i) v |= static_cast<std::uint64_t>(bytes_[offset + i]) << (8 * i);
    return v;
  }

  ByteSpan bytes_;
};

// Assigns a field that arrived; keeps the target as it was otherwise.
template <class Target, class Value>
inline bool takeIf(Target& target, const std::optional<Value>& v) {
  if (!v) return false;
  target = static_cast<Target>(*v);
  return true;
}

// Writes little-endian values into a fixed-size buffer (report layouts).
class ByteLayout {
 public:
  explicit ByteLayout(std::size_t size) : bytes_(size, 0) {}

  void u8(std::size_t offset, std::uint8_t v) { put(offset, v, 1); }
  void u16(std::size_t offset, std::uint16_t v) { put(offset, v, 2); }
  void u24(std::size_t offset, std::uint32_t v) { put(offset, v, 3); }
  void u32(std::size_t offset, std::uint32_t v) { put(offset, v, 4); }
  void i32(std::size_t offset, std::int32_t v) { put(offset, static_cast<std::uint32_t>(v), 4); }
  void u64(std::size_t offset, std::uint64_t v) { put(offset, v, 8); }
  void f32(std::size_t offset, float f) {
    std::uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    put(offset, bits, 4);
  }
  void text(std::size_t offset, const std::string_view s);

  const Bytes& bytes() const { return bytes_; }
  Bytes take() { return std::move(bytes_); }

 private:
  void put(std::size_t offset, std::uint64_t v, std::size_t width) {
    for (std::size_t i = 0; i < width && offset + i < bytes_.size(); ++i)
      bytes_[offset + i] = static_cast<std::uint8_t>(v >> (8 * i));
  }

  Bytes bytes_;
};

inline void ByteLayout::text(std::size_t offset, const std::string_view s) {
  for (std::size_t i = 0; i < s.size() && offset + i < bytes_.size(); ++i)
    bytes_[offset + i] = static_cast<std::uint8_t>(s[i]);
}

}  // namespace trazvik
