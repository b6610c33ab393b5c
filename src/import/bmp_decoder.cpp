#include "import/bmp_decoder.h"

#include <algorithm>
#include <array>
#include <bit>
#include <fstream>
#include <optional>

namespace trazvik::import {

namespace {

constexpr std::size_t kFileHeader = 14;

enum Compression : std::uint32_t {
  kRgb = 0,
  kRle8 = 1,
  kRle4 = 2,
  kBitfields = 3,
  kJpeg = 4,
  kPng = 5,
  kAlphaBitfields = 6
};

std::uint32_t u16(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint32_t>(b[at] | (b[at + 1] << 8));
}
std::uint32_t u32(std::span<const std::uint8_t> b, std::size_t at) { return u16(b, at) | (u16(b, at + 2) << 16); }

using Rgb = std::array<std::uint8_t, 3>;

// One colour channel given by a bit mask: where it sits and how wide it is.
struct Channel {
  std::uint32_t mask = 0;
  int shift = 0;
  int bits = 0;

  // The channel's value scaled to 0..255 (a missing channel reads as 0).
  std::uint8_t of(std::uint32_t v) const {
    if (bits == 0) return 0;
    const std::uint32_t x = (v & mask) >> shift;
    const std::uint32_t top = (std::uint32_t{1} << bits) - 1;
    return static_cast<std::uint8_t>((x * 255 + top / 2) / top);
  }
};

bool channelOf(std::uint32_t mask, Channel& c) {
  c = Channel{mask, 0, 0};
  if (mask == 0) return true;
  c.shift = std::countr_zero(mask);
  c.bits = std::popcount(mask);
  // The bits of one channel must lie side by side.
  return (mask >> c.shift) == ((std::uint64_t{1} << c.bits) - 1);
}

struct Header {
  std::uint32_t size = 0;  // of the info header
  std::int64_t width = 0, height = 0;
  int bpp = 0;
  std::uint32_t compression = kRgb;
  std::uint32_t colorsUsed = 0;
  std::array<std::uint32_t, 3> masks{};
  bool hasMasks = false;
  bool topDown = false;
};

class Decoder {
 public:
  Decoder(std::span<const std::uint8_t> file, const tBitmapLimits& limits) : f_(file), limits_(limits) {}

  bool run(tBitmap& out, std::string& reason) {
    const bool ok = header() && size() && palette() && masks() && stored() && allocate(out) && pixels(out);
    reason = reason_;
    return ok;
  }

 private:
  bool fail(std::string why) {
    reason_ = std::move(why);
    return false;
  }

  bool header() {
    if (f_.size() < kFileHeader + 4 || f_[0] != 'B' || f_[1] != 'M')
      return fail("not a bitmap file (it does not begin with \"BM\")");
    offBits_ = u32(f_, 10);
    h_.size = u32(f_, kFileHeader);
    const std::uint32_t s = h_.size;
    if (s != 12 && s != 16 && s != 40 && s != 52 && s != 56 && s != 64 && s != 108 && s != 124)
      return fail("unknown header of " + std::to_string(s) + " bytes");
    if (f_.size() < kFileHeader + s) return fail("truncated: the file ends inside its header");
    const std::size_t h = kFileHeader;
    if (s == 12) {
      // The OS/2 header: sizes as 16-bit numbers, palette of 3-byte entries.
      h_.width = u16(f_, h + 4);
      h_.height = static_cast<std::int16_t>(u16(f_, h + 6));
      h_.bpp = static_cast<int>(u16(f_, h + 10));
      paletteEntry_ = 3;
    } else {
      h_.width = static_cast<std::int32_t>(u32(f_, h + 4));
      h_.height = static_cast<std::int32_t>(u32(f_, h + 8));
      h_.bpp = static_cast<int>(u16(f_, h + 14));
      if (s >= 40) {
        h_.compression = u32(f_, h + 16);
        h_.colorsUsed = u32(f_, h + 32);
      }
      if (s >= 52 && s != 64) {
        h_.masks = {u32(f_, h + 40), u32(f_, h + 44), u32(f_, h + 48)};
        h_.hasMasks = true;
      }
    }
    // The OS/2 2.x header numbers its compressions differently: 3 and 4
    // are Huffman and 24-bit RLE there.
    if (s == 64 && (h_.compression == 3 || h_.compression == 4))
      return fail("OS/2 Huffman or RLE24 compression, which is not read");
    if (h_.compression == kJpeg || h_.compression == kPng)
      return fail(std::string("it holds a ") + (h_.compression == kJpeg ? "JPEG" : "PNG") +
                  " picture, which is not read");
    if (h_.compression > kAlphaBitfields) return fail("unknown compression " + std::to_string(h_.compression));
    return true;
  }

  bool size() {
    if (h_.width <= 0) return fail("the width is " + std::to_string(h_.width) + " pixels");
    if (h_.height == 0) return fail("the height is 0 pixels");
    h_.topDown = h_.height < 0;
    if (h_.topDown) h_.height = -h_.height;
    if (h_.width > limits_.maxSide || h_.height > limits_.maxSide)
      return fail("too large: " + std::to_string(h_.width) + " x " + std::to_string(h_.height) + " pixels, at most " +
                  std::to_string(limits_.maxSide) + " a side are read");
    const auto pixels = static_cast<std::uint64_t>(h_.width) * static_cast<std::uint64_t>(h_.height);
    if (pixels > limits_.maxPixels)
      return fail("too large: " + std::to_string(pixels) + " pixels, at most " + std::to_string(limits_.maxPixels) +
                  " are read");
    switch (h_.bpp) {
      case 1:
      case 2:
      case 4:
      case 8:
      case 16:
      case 24:
      case 32: break;
      default: return fail(std::to_string(h_.bpp) + " bits per pixel, which is not read");
    }
    const std::uint32_t c = h_.compression;
    const bool fits = c == kRgb || (c == kRle8 && h_.bpp == 8) || (c == kRle4 && h_.bpp == 4) ||
                      ((c == kBitfields || c == kAlphaBitfields) && (h_.bpp == 16 || h_.bpp == 32));
    if (!fits)
      return fail("compression " + std::to_string(c) + " does not go with " + std::to_string(h_.bpp) +
                  " bits per pixel");
    return true;
  }

  bool palette() {
    if (h_.bpp > 8) return true;
    const std::uint32_t most = 1u << h_.bpp;
    std::uint32_t count = h_.colorsUsed == 0 ? most : h_.colorsUsed;
    if (count > most) count = most;  // entries past the last index can never be used
    std::size_t at = kFileHeader + h_.size;
    // The OS/2 header gives no count, and writers often store fewer entries
    // than the depth allows: the palette ends where the pixels begin.
    if (offBits_ > at)
      count = std::min<std::uint32_t>(count, static_cast<std::uint32_t>((offBits_ - at) / paletteEntry_));
    if (at + static_cast<std::size_t>(count) * paletteEntry_ > f_.size())
      return fail("truncated: the file ends inside its palette");
    colours_.resize(count);
    for (std::uint32_t i = 0; i < count; ++i, at += paletteEntry_) colours_[i] = Rgb{f_[at + 2], f_[at + 1], f_[at]};
    return true;
  }

  bool masks() {
    if (h_.bpp != 16 && h_.bpp != 32) return true;
    std::array<std::uint32_t, 3> m{};
    if (h_.compression == kRgb) {
      m = h_.bpp == 16 ? std::array<std::uint32_t, 3>{0x7C00, 0x03E0, 0x001F}
                       : std::array<std::uint32_t, 3>{0x00FF0000, 0x0000FF00, 0x000000FF};
    } else if (h_.hasMasks) {
      m = h_.masks;
    } else {
      // A 40-byte header keeps the masks right after itself.
      const std::size_t at = kFileHeader + h_.size;
      if (at + 12 > f_.size()) return fail("truncated: the file ends inside its colour masks");
      m = {u32(f_, at), u32(f_, at + 4), u32(f_, at + 8)};
    }
    for (std::size_t i = 0; i < 3; ++i) {
      if (!channelOf(m[i], channels_[i]) || (h_.bpp == 16 && m[i] > 0xFFFF))
        return fail("colour mask " + std::to_string(m[i]) + " is not a run of bits within the pixel");
    }
    return true;
  }

  bool allocate(tBitmap& out) {
    out.width = static_cast<int>(h_.width);
    out.height = static_cast<int>(h_.height);
    out.rgb.assign(static_cast<std::size_t>(out.width) * static_cast<std::size_t>(out.height) * 3, 0);
    return true;
  }

  // Row `fileRow` as stored becomes this picture row (rows top first).
  std::size_t rowOf(std::int64_t fileRow) const {
    return static_cast<std::size_t>(h_.topDown ? fileRow : h_.height - 1 - fileRow);
  }

  bool put(tBitmap& out, std::int64_t fileRow, std::int64_t x, std::uint32_t index) {
    if (index >= colours_.size())
      return fail("a pixel uses colour " + std::to_string(index) + " of a palette of " +
                  std::to_string(colours_.size()));
    std::uint8_t* p =
        out.rgb.data() + (rowOf(fileRow) * static_cast<std::size_t>(h_.width) + static_cast<std::size_t>(x)) * 3;
    std::copy(colours_[index].begin(), colours_[index].end(), p);
    return true;
  }

  bool coded() const { return h_.compression == kRle8 || h_.compression == kRle4; }
  std::size_t stride() const {
    return ((static_cast<std::size_t>(h_.width) * static_cast<std::size_t>(h_.bpp) + 31) / 32) * 4;
  }

  // The file holds every stored row (checked before the picture's memory is taken).
  bool stored() {
    if (offBits_ > f_.size()) return fail("truncated: the pixels would begin past the end of the file");
    if (coded()) return true;
    const std::size_t need = stride() * static_cast<std::size_t>(h_.height);
    if (f_.size() - offBits_ < need)
      return fail("truncated: the pixels need " + std::to_string(need) + " bytes from byte " +
                  std::to_string(offBits_) + ", the file has " + std::to_string(f_.size() - offBits_));
    return true;
  }

  bool pixels(tBitmap& out) {
    if (coded()) return rle(out);
    const std::size_t stride = this->stride();
    for (std::int64_t row = 0; row < h_.height; ++row) {
      const std::uint8_t* src = f_.data() + offBits_ + static_cast<std::size_t>(row) * stride;
      if (!plainRow(out, row, src)) return false;
    }
    return true;
  }

  bool plainRow(tBitmap& out, std::int64_t row, const std::uint8_t* src) {
    std::uint8_t* dst = out.rgb.data() + rowOf(row) * static_cast<std::size_t>(h_.width) * 3;
    const auto w = static_cast<std::size_t>(h_.width);
    if (h_.bpp <= 8) {
      const int perByte = 8 / h_.bpp;
      const unsigned lowMask = (1u << h_.bpp) - 1;
      for (std::size_t x = 0; x < w; ++x) {
        const int shift = 8 - h_.bpp * (1 + static_cast<int>(x % static_cast<std::size_t>(perByte)));
        if (!put(out, row, static_cast<std::int64_t>(x),
                 (src[x / static_cast<std::size_t>(perByte)] >> shift) & lowMask))
          return false;
      }
    } else if (h_.bpp == 24) {
      for (std::size_t x = 0; x < w; ++x, src += 3, dst += 3) {
        dst[0] = src[2];
        dst[1] = src[1];
        dst[2] = src[0];
      }
    } else {
      const std::size_t bytes = static_cast<std::size_t>(h_.bpp) / 8;
      for (std::size_t x = 0; x < w; ++x, src += bytes, dst += 3) {
        const std::uint32_t v = bytes == 2 ? static_cast<std::uint32_t>(src[0] | (src[1] << 8))
                                           : u32(std::span<const std::uint8_t>(src, 4), 0);
        for (std::size_t c = 0; c < 3; ++c) dst[c] = channels_[c].of(v);
      }
    }
    return true;
  }

  // Run-length coded rows (4 or 8 bits a pixel). Pixels the coding skips
  // (line ends and jumps) keep palette colour 0; pixels written past the
  // row's end are refused, as the picture would be misread.
  bool rle(tBitmap& out) {
    if (colours_.empty()) return fail("a run-length coded picture without a palette");
    for (std::int64_t row = 0; row < h_.height; ++row)
      for (std::int64_t x = 0; x < h_.width; ++x) put(out, row, x, 0);
    const bool four = h_.compression == kRle4;
    std::size_t at = offBits_;
    std::int64_t x = 0, row = 0;
    auto byte = [&](std::uint8_t& b) {
      if (at >= f_.size()) return false;
      b = f_[at++];
      return true;
    };
    const std::string truncated = "truncated: the run-length coded pixels end before the end-of-picture mark";
    for (;;) {
      std::uint8_t count = 0, value = 0;
      if (!byte(count) || !byte(value)) return fail(truncated);
      if (count > 0) {
        if (row >= h_.height || x + count > h_.width) return fail(outside(at - 2));
        for (int i = 0; i < count; ++i, ++x) {
          const std::uint32_t index = four ? ((i % 2 == 0) ? value >> 4 : value & 0x0F) : value;
          if (!put(out, row, x, index)) return false;
        }
        continue;
      }
      if (value == 0) {  // end of line
        x = 0;
        ++row;
      } else if (value == 1) {  // end of picture
        return true;
      } else if (value == 2) {  // jump right and up
        std::uint8_t dx = 0, dy = 0;
        if (!byte(dx) || !byte(dy)) return fail(truncated);
        x += dx;
        row += dy;
        if (x > h_.width || row > h_.height) return fail(outside(at - 4));
      } else {  // `value` pixels given one by one, padded to a whole word
        const std::size_t bytes = four ? (value + 1u) / 2 : value;
        if (at + bytes > f_.size()) return fail(truncated);
        if (row >= h_.height || x + value > h_.width) return fail(outside(at - 2));
        for (int i = 0; i < value; ++i, ++x) {
          const std::uint8_t b = f_[at + (four ? static_cast<std::size_t>(i / 2) : static_cast<std::size_t>(i))];
          const std::uint32_t index = four ? ((i % 2 == 0) ? b >> 4 : b & 0x0F) : b;
          if (!put(out, row, x, index)) return false;
        }
        at += bytes + (bytes % 2);
      }
      // A picture whose rows are all given may stop without its mark.
      if (row >= h_.height && x == 0) return true;
    }
  }

  std::string outside(std::size_t at) const {
    return "the run-length code at byte " + std::to_string(at) + " writes outside the picture";
  }

  std::span<const std::uint8_t> f_;
  tBitmapLimits limits_;
  Header h_;
  std::size_t offBits_ = 0;
  std::size_t paletteEntry_ = 4;
  std::vector<Rgb> colours_;
  std::array<Channel, 3> channels_{};
  std::string reason_;
};

}  // namespace

bool decodeBmp(std::span<const std::uint8_t> file, tBitmap& out, std::string& reason, const tBitmapLimits& limits) {
  out = tBitmap{};
  Decoder d(file, limits);
  if (d.run(out, reason)) return true;
  out = tBitmap{};
  return false;
}

bool loadBmpFile(const std::string& path, tBitmap& out, std::string& error, const tBitmapLimits& limits) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = path + ": cannot be opened";
    return false;
  }
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) {
    error = path + ": reading failed";
    return false;
  }
  std::string reason;
  if (decodeBmp(bytes, out, reason, limits)) return true;
  error = path + ": " + reason;
  return false;
}

}  // namespace trazvik::import
