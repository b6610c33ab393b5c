// Every input a fuzzer found a fault with, run again through the same
// target: each must now hold.
#include "fuzz_targets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace trazvik::fuzz {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> filesUnder(const fs::path& folder) {
  std::vector<fs::path> files;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
    if (it->is_regular_file()) files.push_back(it->path());
  std::sort(files.begin(), files.end());
  return files;
}

std::vector<std::uint8_t> bytesOf(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class FuzzReplay : public ::testing::TestWithParam<const char*> {};

TEST_P(FuzzReplay, KeptInputsHold) {
  const FuzzTarget* target = findFuzzTarget(GetParam());
  ASSERT_NE(target, nullptr);
  for (const fs::path& file : filesUnder(fs::path(TRAZVIK_FIXTURES) / "fuzz" / GetParam()))
    EXPECT_EQ(target->run(bytesOf(file)), "") << file;
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzReplay,
                         ::testing::Values("hpgl", "dxf", "gcode", "bmp", "settings", "global_cfg", "layers",
                                           "language", "base_points", "small_files", "status", "identity", "echo",
                                           "job_decoder"),
                         [](const auto& info) { return std::string(info.param); });

// A target run on nothing and on a byte of every value: the smallest inputs
// reach the checks of every target.
TEST(FuzzTargets, SmallestInputsHold) {
  for (const FuzzTarget& target : fuzzTargets()) {
    EXPECT_EQ(target.run({}), "") << target.name;
    for (int b = 0; b < 256; b += 51) {
      const std::uint8_t one[] = {static_cast<std::uint8_t>(b)};
      EXPECT_EQ(target.run(FuzzInput(one)), "") << target.name << " " << b;
    }
  }
}

}  // namespace
}  // namespace trazvik::fuzz
