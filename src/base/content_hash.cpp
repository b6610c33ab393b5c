#include "base/content_hash.h"

#include <array>
#include <cstdio>
#include <fstream>

namespace trazvik::base {

void tContentHash::add(std::span<const std::uint8_t> bytes) {
  for (std::uint8_t b : bytes) {
    hash_ ^= b;
    hash_ *= 0x100000001b3ull;
  }
  size_ += bytes.size();
}

std::string tContentHash::text() const {
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%016llx-%llu", static_cast<unsigned long long>(hash_),
                static_cast<unsigned long long>(size_));
  return buffer;
}

std::optional<std::string> fileContentHash(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  tContentHash hash;
  std::array<char, 65536> chunk{};
  while (in) {
    in.read(chunk.data(), chunk.size());
    const auto got = in.gcount();
    if (got > 0)
      hash.add(std::span(reinterpret_cast<const std::uint8_t*>(chunk.data()), static_cast<std::size_t>(got)));
  }
  if (in.bad()) return std::nullopt;
  return hash.text();
}

}  // namespace trazvik::base
