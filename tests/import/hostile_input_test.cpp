// Files no drawing program writes: empty, binary, one endless token, very
// large. Reading them must end with figures or a clear error, never a crash
// or a hang, and hold memory only for the figures it produces.
#include "allocation_meter.h"
#include "import/read_figures.h"
#include "import/thpgl.h"

#include "../common/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <random>

namespace trazvik::import {
namespace {

using trazvik::testing::heapPeak;
using trazvik::testing::resetHeapPeak;

// Writes `repeat` copies of `chunk` without building the whole file in memory.
void writeRepeated(const std::filesystem::path& path, const std::string& head, const std::string& chunk,
                   std::size_t repeat) {
  std::ofstream out(path, std::ios::binary);
  out << head;
  for (std::size_t i = 0; i < repeat; ++i) out << chunk;
}

constexpr std::size_t kMiB = 1024 * 1024;

TEST(HostileInput, EmptyAndBlankFilesGiveNoFigures) {
  trazvik::testing::TempFolder folder;
  for (const std::string content : {"", " \r\n\t;;;,,,", ";;;.;.;", "IN;SP1;PU;"}) {
    trazvik::testing::writeFile(folder / "f.plt", content);
    const tFigureFile file = readFigureFile((folder / "f.plt").string(), kFileTypeHpgl);
    EXPECT_TRUE(file.ok()) << content << ": " << file.errorText("f.plt");
    EXPECT_TRUE(file.figures.empty()) << content;
  }
}

TEST(HostileInput, BinaryGarbageEndsCleanly) {
  trazvik::testing::TempFolder folder;
  std::mt19937 random(20261210);
  for (int round = 0; round < 20; ++round) {
    std::string bytes(64 * 1024, '\0');
    for (char& b : bytes) b = static_cast<char>(random() & 0xFF);
    trazvik::testing::writeFile(folder / "g.plt", bytes);
    const tFigureFile file = readFigureFile((folder / "g.plt").string(), kFileTypeHpgl);
    if (!file.ok()) {
      EXPECT_LT(file.error.offset, bytes.size());
      EXPECT_LE(file.error.token.size(), kMaxTokenLength + 3);
      EXPECT_TRUE(file.figures.empty());
    }
    for (const auto& fig : file.figures) EXPECT_FALSE(fig->p.empty());
  }
}

TEST(HostileInput, RandomInstructionSoupEndsCleanly) {
  // Plausible pieces in random order: every path of the interpreter meets
  // every other, including bad numbers and pens.
  const char* pieces[] = {"PU",   "PD",          "PA",   "PR", "SP", "PW",   "IN", "IP",  "C",  "M",  "Z",    ";",
                          ",",    " ",           "\n",   "0",  "17", "-5",   "+3", "2.5", ".",  "..", "1024", "1025",
                          "-0",   "99999999999", "7.",   "LB", "DT", "\x03", "SC", "CI",  "AA", "AR", "AT",   "RT",
                          "BZ",   "EA",          "ER",   "EW", "PM", "PE",   "<",  "=",   ">",  ":",  "?",    "~",
                          "\xc1", "\xfe",        "\x1b", "%",  "\"", "CP",   "PG", "SM"};
  trazvik::testing::TempFolder folder;
  std::mt19937 random(7);
  for (int round = 0; round < 800; ++round) {
    std::string text;
    const int count = 1 + static_cast<int>(random() % 60);
    for (int i = 0; i < count; ++i) text += pieces[random() % std::size(pieces)];
    trazvik::testing::writeFile(folder / "soup.plt", text);
    const tFigureFile file = readFigureFile((folder / "soup.plt").string(), kFileTypeHpgl);
    if (!file.ok()) {
      EXPECT_LT(file.error.offset, text.size()) << text << "\n" << file.errorText("soup.plt");
      EXPECT_TRUE(file.figures.empty()) << text;
    }
    for (const auto& fig : file.figures) {
      EXPECT_FALSE(fig->p.empty()) << text;
      EXPECT_TRUE(fig->org_color >= 0 && fig->org_color <= kMaxPen) << text;
      for (std::size_t i = 1; i < fig->p.size(); ++i) EXPECT_NE(fig->p[i], fig->p[i - 1]) << text;
      EXPECT_EQ(fig->valid, fig->p.size() > 1) << text;
    }
  }
}

TEST(HostileInput, OneEndlessTokenIsRefusedWithoutKeepingIt) {
  trazvik::testing::TempFolder folder;
  writeRepeated(folder / "t.plt", "PU0,0;PD", std::string(4096, '7'), 4 * 1024);  // a 16 MiB number
  resetHeapPeak();
  const std::size_t before = heapPeak();
  const tFigureFile file = readFigureFile((folder / "t.plt").string(), kFileTypeHpgl);
  EXPECT_LT(heapPeak() - before, 2 * kMiB);
  ASSERT_FALSE(file.ok());
  EXPECT_EQ(file.error.kind, tReadErrorKind::NumberTooLong);
  EXPECT_EQ(file.error.offset, 8u);
  EXPECT_EQ(file.error.token, std::string(kMaxTokenLength, '7') + "...");
}

TEST(HostileInput, LargeFileStreamsInBoundedMemory) {
  trazvik::testing::TempFolder folder;
  // 24 MiB of moves that draw nothing, then one small figure at the very end.
  const std::string chunk = "PU1234,5678;PA-10,20;IN;SP2;\n";
  writeRepeated(folder / "big.plt", "", chunk, 24 * kMiB / chunk.size());
  {
    std::ofstream tail(folder / "big.plt", std::ios::binary | std::ios::app);
    tail << "PD0,0,100,0;PU;";
  }
  resetHeapPeak();
  const std::size_t before = heapPeak();
  const tFigureFile file = readFigureFile((folder / "big.plt").string(), kFileTypeHpgl);
  EXPECT_LT(heapPeak() - before, 2 * kMiB);
  ASSERT_TRUE(file.ok()) << file.errorText("big.plt");
  ASSERT_EQ(file.figures.size(), 1u);
  EXPECT_EQ(file.figures[0]->org_color, 2);
  EXPECT_EQ(file.figures[0]->p, (std::vector<trealpoint>{{-10, 20}, {0, 0}, {100, 0}}));
}

}  // namespace
}  // namespace trazvik::import
