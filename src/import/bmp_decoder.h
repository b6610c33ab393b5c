// Windows and OS/2 bitmap files (.bmp) decoded into plain RGB pixels: every
// variant drawing and scanning programs write (1, 2, 4 and 8 bits with a
// palette, 16 bits as 5-5-5 or by bit masks, 24 and 32 bits, RLE4 and RLE8,
// rows stored bottom-up or top-down, the 12-byte OS/2 header and the
// 40-, 52-, 56-, 64-, 108- and 124-byte Windows headers). A file that is
// truncated, too large or malformed is refused with the reason.
#pragma once
#include "no_qt.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace trazvik::import {

// A decoded picture: rows top first, three bytes (red, green, blue) a pixel.
struct tBitmap {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;

  bool empty() const { return width <= 0 || height <= 0; }
  const std::uint8_t* pixel(int x, int y) const {
    return rgb.data() +
           (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 3;
  }
  std::uint8_t red(int x, int y) const { return pixel(x, y)[0]; }
};

// What the decoder accepts: no side above maxSide pixels and no more than
// maxPixels pixels in all (three bytes each are held in memory).
struct tBitmapLimits {
  int maxSide = 30000;
  std::uint64_t maxPixels = 200'000'000;
};

// Decodes a whole file held in memory. False with `reason` (one sentence
// without the file name) when the bytes are no bitmap this decoder reads.
bool decodeBmp(std::span<const std::uint8_t> file, tBitmap& out, std::string& reason, const tBitmapLimits& limits = {});

// Reads and decodes `path`. False with `error` = "<path>: <reason>".
bool loadBmpFile(const std::string& path, tBitmap& out, std::string& error, const tBitmapLimits& limits = {});

}  // namespace trazvik::import
