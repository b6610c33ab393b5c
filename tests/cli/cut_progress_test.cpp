#include "cut_progress.h"

#include <gtest/gtest.h>

#include <sstream>

namespace trazvik::cli {
namespace {

TEST(CutProgress, TimesAndRemainder) {
  const std::pair<double, const char*> clocks[] = {{0, "0:00"},       {59.4, "0:59"},    {61, "1:01"},
                                                   {3600, "1:00:00"}, {3725, "1:02:05"}, {-1, "--:--"}};
  for (const auto& [seconds, text] : clocks) EXPECT_EQ(clockText(seconds), text) << seconds;

  CutProgress p;
  p.estimatedSeconds = 100;
  p.elapsedSeconds = 30;
  EXPECT_EQ(remainingSeconds(p), 70);
  p.elapsedSeconds = 130;  // slower than estimated: nothing left, never negative
  EXPECT_EQ(remainingSeconds(p), 0);
  p.estimatedSeconds = 0;
  EXPECT_LT(remainingSeconds(p), 0);
}

TEST(CutProgress, LineShowsBarAndNumbers) {
  CutProgress p;
  p.percentSent = 50;
  p.commandsPerSecond = 1234;
  p.elapsedSeconds = 12;
  p.estimatedSeconds = 29;
  p.state = "sending";
  EXPECT_EQ(progressLine(p, 10), "[#####.....]  50.0%    1234 cmd/s  0:12 elapsed  0:17 left  sending");
  p.percentSent = 250;  // never past the end of the bar
  EXPECT_EQ(progressLine(p, 4).substr(0, 6), "[####]");
}

TEST(CutProgress, PipeGetsWholeLinesAtIntervals) {
  std::ostringstream out;
  ProgressPrinter printer(out, /*terminal=*/false, 2.0);
  CutProgress p;
  for (int i = 0; i <= 50; ++i) {
    p.percentSent = i * 2;
    printer.update(p, i * 0.1);  // five seconds in tenths
  }
  printer.finish(p);
  const std::string text = out.str();
  EXPECT_EQ(text.find('\r'), std::string::npos);
  // At 0, 2 and 4 seconds, then the final state.
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 4) << text;
  EXPECT_NE(text.rfind("100.0%"), std::string::npos);
}

TEST(CutProgress, TerminalRedrawsOneLine) {
  std::ostringstream out;
  ProgressPrinter printer(out, /*terminal=*/true);
  CutProgress p;
  p.state = "waiting for room";
  printer.update(p, 0);
  p.state = "cutting";
  printer.update(p, 1);
  printer.interrupt();
  const std::string text = out.str();
  EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 2);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1);
  // The shorter second line covers the longer first one completely.
  const auto second = text.rfind('\r');
  EXPECT_EQ(text.size() - second - 2, text.find('\r', 1) - 1);
}

}  // namespace
}  // namespace trazvik::cli
