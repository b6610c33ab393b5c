// A bitmap burnt by trazvik-cli burn on the trazvik-sim program over TCP on
// 127.0.0.1: the picture the simulated laser burnt, read back pixel by
// pixel, is the raster lines the program converted, on forward and
// backward lines, edges included, with a pause and a continue between.
#include "cli_process.h"
#include "run_cli.h"
#include "sim_process.h"

#include "import/bmp_raster.h"

#include "../common/temp_folder.h"
#include "../import/bmp_fixtures.h"

#include <gtest/gtest.h>

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

#include <cstdlib>

namespace trazvik {
namespace {

using namespace std::chrono_literals;
using trazvik::sim::test::SimProcess;
using trazvik::testing::CliProcess;
using trazvik::testing::TempFolder;

struct IsolatedFolder : TempFolder {
  IsolatedFolder() { ::setenv("XDG_RUNTIME_DIR", path().c_str(), 1); }
};

// 48 x 30 pixels of every grey, black and white at the edges of each row.
trazvik::testing::BmpLayout testPicture() {
  trazvik::testing::BmpLayout s;
  s.width = 48;
  s.height = 30;
  s.bpp = 8;
  for (int g = 0; g < 256; ++g)
    s.palette.push_back({static_cast<std::uint8_t>(g), static_cast<std::uint8_t>(g), static_cast<std::uint8_t>(g)});
  for (int y = 0; y < s.height; ++y)
    for (int x = 0; x < s.width; ++x)
      s.values.push_back(x <= 1 ? 0 : x >= s.width - 2 ? 255 : static_cast<std::uint32_t>((x * 37 + y * 11) % 256));
  return s;
}

struct Picture {
  int width = 0, height = 0;
  std::vector<std::uint8_t> grey;
};

Picture readPng(const std::string& path) {
  Picture p;
  int channels = 0;
  unsigned char* data = stbi_load(path.c_str(), &p.width, &p.height, &channels, 1);
  if (!data) return Picture{};
  p.grey.assign(data, data + static_cast<std::size_t>(p.width) * static_cast<std::size_t>(p.height));
  stbi_image_free(data);
  return p;
}

// The converted lines as the burnt picture shows them: the last line at
// the top, 255 minus the power of each pixel (full power 255).
Picture expectedPicture(const trazvik::testing::BmpLayout& layout, double width, double pitch) {
  const std::vector<std::uint8_t> file = trazvik::testing::bmpFile(layout);
  import::tBitmap bitmap;
  std::string reason;
  import::decodeBmp(file, bitmap, reason);
  import::tRasterSettings s;
  s.szerokosc = width;
  s.wysokosc = width * layout.height / layout.width;
  s.krok = pitch;
  const import::tRasterLines lines = import::BMPToList(bitmap, s);
  Picture p;
  p.width = lines.szerokoscPixel;
  p.height = static_cast<int>(lines.ListaLini.size());
  for (auto line = lines.ListaLini.rbegin(); line != lines.ListaLini.rend(); ++line)
    for (std::uint16_t v : line->Pixelki) p.grey.push_back(static_cast<std::uint8_t>(255 - import::pixelByte(v)));
  return p;
}

// Pixels that differ, as "line L (from the bottom), pixel X: burnt B, expected E".
std::vector<std::string> differences(const Picture& burnt, const Picture& expected) {
  std::vector<std::string> out;
  if (burnt.width != expected.width || burnt.height != expected.height) {
    out.push_back("burnt " + std::to_string(burnt.width) + " x " + std::to_string(burnt.height) + ", expected " +
                  std::to_string(expected.width) + " x " + std::to_string(expected.height));
    return out;
  }
  for (int y = 0; y < burnt.height; ++y)
    for (int x = 0; x < burnt.width; ++x) {
      const std::size_t at = static_cast<std::size_t>(y * burnt.width + x);
      if (burnt.grey[at] != expected.grey[at] && out.size() < 20)
        out.push_back("line " + std::to_string(burnt.height - 1 - y) + ", pixel " + std::to_string(x) + ": burnt " +
                      std::to_string(burnt.grey[at]) + ", expected " + std::to_string(expected.grey[at]));
    }
  return out;
}

// Simulated seconds per real second: a line takes about a quarter of a
// second, so the whole picture several seconds.
const char* const kTimeScale = "4";

// Burns the test picture with a Ctrl-C and a continue in the middle and
// compares the burnt picture at `burnt` with the converted lines.
void burnWithAPause(const TempFolder& folder, const std::vector<std::string>& machine, const std::string& burnt,
                    SimProcess* sim) {
  const trazvik::testing::BmpLayout layout = testPicture();
  const std::string picture = (folder / "grey.bmp").string();
  const std::vector<std::uint8_t> bytes = trazvik::testing::bmpFile(layout);
  trazvik::testing::writeFile(picture, std::string(bytes.begin(), bytes.end()));
  // 45 pixels a line: three full packets, so the empty fourth one goes too.
  const double width = 6.75, pitch = 0.15;
  std::vector<std::string> args{"burn",       picture,       "--width", "6.75",       "--pitch",
                                "0.15",       "--work-zero", "20,20,0", "--data-dir", folder.text() + "data",
                                "--max-time", "120"};
  args.insert(args.end(), machine.begin(), machine.end());
  CliProcess cli;
  ASSERT_TRUE(cli.start(args));
  // The first progress line comes a second into the burn, a few lines of
  // the 29 done; the machine runs slowly enough that Ctrl-C lands well
  // before the last line.
  ASSERT_TRUE(cli.waitFor("/29 lines", 30s)) << cli.output();
  cli.interrupt();
  ASSERT_TRUE(cli.waitFor("[c]ontinue", 30s)) << cli.output();
  cli.write("c\n");
  EXPECT_EQ(cli.finish(120s), 0) << cli.output();
  EXPECT_NE(cli.output().find(" of 29.\n"), std::string::npos) << "paused before the end:\n" << cli.output();
  EXPECT_NE(cli.output().find("Engraving finished."), std::string::npos) << cli.output();
  if (sim) {
    ASSERT_EQ(sim->stop(), 0) << sim->output();
  }

  const Picture expected = expectedPicture(layout, width, pitch);
  ASSERT_EQ(expected.width, 45);
  ASSERT_EQ(expected.height, 29);
  const std::vector<std::string> wrong = differences(readPng(burnt), expected);
  EXPECT_TRUE(wrong.empty()) << wrong.size() << " pixels differ, the first:\n"
                             << [&] {
                                  std::string t;
                                  for (const auto& w : wrong) t += w + "\n";
                                  return t;
                                }();
}

TEST(BurnCommand, OverTcpTheBurntPictureIsTheRasterLines) {
  IsolatedFolder folder;
  const std::string burnt = (folder / "burnt.png").string();
  SimProcess sim;
  ASSERT_TRUE(sim.start({"--type", "WTK32", "--time-scale", kTimeScale, "--trace", burnt})) << sim.output();
  burnWithAPause(
      folder,
      {"--machine", "tcp:127.0.0.1:" + std::to_string(sim.commandPort()) + ":" + std::to_string(sim.identityPort())},
      burnt, &sim);
}

TEST(BurnCommand, OverUsbTheBurntPictureIsTheRasterLines) {
  IsolatedFolder folder;
  const std::string burnt = (folder / "burnt.png").string();
  burnWithAPause(folder, {"--machine", "sim-usb:WTK32", "--sim-speed", kTimeScale, "--trace", burnt}, burnt, nullptr);
}

TEST(BurnCommand, RefusesWhatItCannotBurn) {
  IsolatedFolder folder;
  const std::string plot = (folder / "star.plt").string();
  trazvik::testing::writeFile(plot, "IN;SP1;PU0,0;PD400,0,400,400;PU;");
  std::vector<std::uint8_t> bytes = trazvik::testing::bmpFile(testPicture());
  bytes.resize(bytes.size() / 2);
  const std::string cut = (folder / "cut.bmp").string();
  trazvik::testing::writeFile(cut, std::string(bytes.begin(), bytes.end()));
  const std::string data = " --data-dir '" + folder.text() + "data'";
  const std::string good = (folder / "grey.bmp").string();
  const std::vector<std::uint8_t> whole = trazvik::testing::bmpFile(testPicture());
  trazvik::testing::writeFile(good, std::string(whole.begin(), whole.end()));
  const auto notBitmap = trazvik::testing::runCli("burn '" + plot + "' --machine sim:WTK32" + data, true);
  EXPECT_EQ(notBitmap.exitCode, 1) << notBitmap.output;
  EXPECT_NE(notBitmap.output.find("is not a bitmap"), std::string::npos) << notBitmap.output;
  const auto truncated = trazvik::testing::runCli("burn '" + cut + "' --machine sim:WTK32" + data, true);
  EXPECT_NE(truncated.exitCode, 0) << truncated.output;
  EXPECT_NE(truncated.output.find(cut + ": truncated"), std::string::npos) << truncated.output;
  // The picture fits from a work zero at the machine's X end, but the
  // run-up before each line would take the head past it.
  const auto atTheEnd =
      trazvik::testing::runCli("burn '" + good + "' --machine sim:WTK32 --work-zero 0,20,0" + data, true);
  EXPECT_NE(atTheEnd.exitCode, 0) << atTheEnd.output;
  EXPECT_NE(atTheEnd.output.find("(wrong work zero)"), std::string::npos) << atTheEnd.output;
  EXPECT_EQ(atTheEnd.output.find("Burning"), std::string::npos) << atTheEnd.output;
  const auto router = trazvik::testing::runCli("burn '" + good + "' --machine 'sim:YFB 32'" + data, true);
  EXPECT_EQ(router.exitCode, 1) << router.output;
  EXPECT_NE(router.output.find("is no laser"), std::string::npos) << router.output;
}

}  // namespace
}  // namespace trazvik
