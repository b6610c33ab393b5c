// Small bitmap files made in the tests: every header, depth and coding the
// decoder reads, laid out byte by byte as the file format has it.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace trazvik::testing {

using Rgb = std::array<std::uint8_t, 3>;

struct BmpLayout {
  int headerSize = 40;  // 12 (OS/2), 40, 108 (V4) or 124 (V5)
  int width = 0;
  int height = 0;  // written negative when topDown
  int bpp = 24;
  std::uint32_t compression = 0;
  bool topDown = false;
  std::vector<Rgb> palette;
  std::uint32_t colorsUsed = 0;
  std::array<std::uint32_t, 3> masks{};  // bit fields: red, green, blue
  // Either the pixel values top row first (palette indexes, or packed
  // 16/32-bit values, or 0xRRGGBB for 24 bits) ...
  std::vector<std::uint32_t> values;
  // ... or the pixel bytes exactly as stored (run-length codes).
  std::vector<std::uint8_t> raw;
};

inline void put16(std::vector<std::uint8_t>& b, std::uint32_t v) {
  b.push_back(static_cast<std::uint8_t>(v));
  b.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void put32(std::vector<std::uint8_t>& b, std::uint32_t v) {
  put16(b, v & 0xFFFF);
  put16(b, v >> 16);
}

// The rows as the file stores them: bottom row first unless top-down,
// each padded to a multiple of 4 bytes.
inline std::vector<std::uint8_t> packedRows(const BmpLayout& s) {
  std::vector<std::uint8_t> out;
  const std::size_t stride = ((static_cast<std::size_t>(s.width) * s.bpp + 31) / 32) * 4;
  for (int r = 0; r < s.height; ++r) {
    const int row = s.topDown ? r : s.height - 1 - r;
    std::vector<std::uint8_t> line(stride, 0);
    for (int x = 0; x < s.width; ++x) {
      const std::uint32_t v = s.values[static_cast<std::size_t>(row * s.width + x)];
      if (s.bpp < 8) {
        const int shift = 8 - s.bpp * (1 + x % (8 / s.bpp));
        line[static_cast<std::size_t>(x / (8 / s.bpp))] |= static_cast<std::uint8_t>(v << shift);
      } else {
        for (int i = 0; i < s.bpp / 8; ++i)
          line[static_cast<std::size_t>(x * (s.bpp / 8) + i)] = static_cast<std::uint8_t>(v >> (8 * i));
      }
    }
    out.insert(out.end(), line.begin(), line.end());
  }
  return out;
}

inline std::vector<std::uint8_t> bmpFile(const BmpLayout& s) {
  const bool maskTail = s.headerSize == 40 && s.compression == 3;
  const std::size_t entry = s.headerSize == 12 ? 3 : 4;
  const std::size_t offBits =
      14 + static_cast<std::size_t>(s.headerSize) + (maskTail ? 12 : 0) + s.palette.size() * entry;
  const std::vector<std::uint8_t> pixels = s.raw.empty() ? packedRows(s) : s.raw;
  std::vector<std::uint8_t> b{'B', 'M'};
  put32(b, static_cast<std::uint32_t>(offBits + pixels.size()));
  put32(b, 0);
  put32(b, static_cast<std::uint32_t>(offBits));
  put32(b, static_cast<std::uint32_t>(s.headerSize));
  const int height = s.topDown ? -s.height : s.height;
  if (s.headerSize == 12) {
    put16(b, static_cast<std::uint32_t>(s.width));
    put16(b, static_cast<std::uint32_t>(static_cast<std::uint16_t>(height)));
    put16(b, 1);
    put16(b, static_cast<std::uint32_t>(s.bpp));
  } else {
    put32(b, static_cast<std::uint32_t>(s.width));
    put32(b, static_cast<std::uint32_t>(height));
    put16(b, 1);
    put16(b, static_cast<std::uint32_t>(s.bpp));
    put32(b, s.compression);
    put32(b, static_cast<std::uint32_t>(pixels.size()));
    put32(b, 2835);
    put32(b, 2835);
    put32(b, s.colorsUsed);
    put32(b, 0);
    if (s.headerSize > 40) {
      for (std::uint32_t m : s.masks) put32(b, m);
      put32(b, 0);                                                                    // alpha mask
      while (b.size() < 14 + static_cast<std::size_t>(s.headerSize)) b.push_back(0);  // colour space, gamma, ...
    } else if (maskTail) {
      for (std::uint32_t m : s.masks) put32(b, m);
    }
  }
  for (const Rgb& c : s.palette) {
    b.push_back(c[2]);
    b.push_back(c[1]);
    b.push_back(c[0]);
    if (entry == 4) b.push_back(0);
  }
  b.insert(b.end(), pixels.begin(), pixels.end());
  return b;
}

}  // namespace trazvik::testing
