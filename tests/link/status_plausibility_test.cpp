// Which status replies the link reads and which it refuses as no
// controller's, and how a command's echo is judged.
#include "link/echo_check.h"
#include "link/ethernet.h"
#include "link/status_encode.h"
#include "link/status_plausibility.h"

#include <gtest/gtest.h>

#include <random>

namespace trazvik {
namespace {

tStatusLayout layoutAt(int level, int minor, bool extended) {
  tStatusLayout l;
  l.protocolLevel = static_cast<std::uint16_t>(level);
  l.firmwareMinor = static_cast<std::uint16_t>(minor);
  l.extended = extended;
  l.axisFactorX = l.axisFactorY = 2.5;
  l.axisFactorZ = 4;
  return l;
}

// A machine 3 m long, at its far corner and below its table: the largest
// honest numbers.
tControllerReports farCorner() {
  tControllerReports c;
  c.stateWord = 0x203;
  c.position = {3000 * 250, -500 * 250, -400 * 400, 0};
  c.workArea = {3000, 2000, 400};
  c.headMask = 4;
  return c;
}

TEST(StatusPlausibility, EveryLayoutReadsWhatAControllerSends) {
  for (const auto& [level, minor, extended] :
       {std::tuple{5, 0, false}, std::tuple{6, 34, true}, std::tuple{7, 5, false}, std::tuple{7, 20, true}}) {
    const tStatusLayout l = layoutAt(level, minor, extended);
    EXPECT_TRUE(statusReplyReadable(encodeEthernetStatus(farCorner(), l), l)) << level << "." << minor;
    EXPECT_TRUE(statusReportReadable(encodeUsbReport(10, farCorner(), l), l)) << level << "." << minor;
    EXPECT_TRUE(statusReportReadable(Bytes(256, 0), l)) << "a failed read's zeros are no noise";
  }
}

TEST(StatusPlausibility, RepliesNoMachineSendsAreRefused) {
  const tStatusLayout l = layoutAt(7, 20, false);
  const Bytes good = encodeEthernetStatus(farCorner(), l);
  auto withInt = [&](std::size_t at, std::int32_t v) {
    Bytes r = good;
    for (int i = 0; i < 4; ++i) r[at + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(v) >> (8 * i));
    return r;
  };
  struct Case {
    const char* what;
    Bytes reply;
  };
  const Case cases[] = {
      {"no state word", Bytes(good.begin(), good.begin() + 7)}, {"X 101 m away", withInt(8, 101000 * 250)},
      {"Y 101 m the other way", withInt(12, -101000 * 250)},    {"head 16", withInt(20, 16)},
      {"a negative working area", withInt(12 + 40, -5)},        {"a working area of 200 m", withInt(12 + 48, 200000)},
  };
  for (const Case& c : cases) EXPECT_FALSE(statusReplyReadable(c.reply, l)) << c.what;
  // A reply cut after the positions holds nothing wrong.
  EXPECT_TRUE(statusReplyReadable(Bytes(good.begin(), good.begin() + 20), l));
}

TEST(StatusPlausibility, NoiseIsAlmostNeverTakenForAReply) {
  std::mt19937 rng(2026);
  for (bool extended : {false, true}) {
    const tStatusLayout l = layoutAt(7, 20, extended);
    int taken = 0;
    for (int round = 0; round < 2000; ++round) {
      Bytes r(l.ethernetReplySize());
      for (auto& b : r) b = static_cast<std::uint8_t>(rng());
      taken += statusReplyReadable(r, l) ? 1 : 0;
      Bytes report(64);
      for (auto& b : report) b = static_cast<std::uint8_t>(rng());
      taken += statusReportReadable(report, l) ? 1 : 0;
    }
    // Five unreadable replies in a row make the link faulty; noise that
    // passes now and then only delays that.
    EXPECT_LT(taken, 40) << (extended ? "extended" : "standard");
  }
}

TEST(EchoCheck, JudgesTheEchoOfACommand) {
  struct Case {
    Bytes command, echo;
    int code;
  };
  const Case cases[] = {
      {{'v', 1, 2}, {'V', 1, 2}, 0},                             // a job opcode comes back upper case
      {{'M', 1, 2}, {'M', 1, 2}, 0},                             // an immediate one as it went
      {{'v', 1, 2}, {'v', 1, 2}, ethernet_errors::echoDiffers},  // not turned to upper case
      {{'M', 1, 2}, {'M', 1, 3}, ethernet_errors::echoDiffers},  // the last byte altered
      {{'M', 1, 2}, {'M', 1}, ethernet_errors::echoLength},      // split: the rest comes later
      {{'M', 1, 2}, {}, ethernet_errors::noEcho},                // nothing came
      {{'5', 1}, {'5', 1}, 0},                                   // not a letter: not turned
  };
  for (const Case& c : cases) EXPECT_EQ(echoError(c.command, c.echo), c.code) << hexBytes(c.command);
  EXPECT_EQ(echoFaultText({{'v', 1}, {'v', 1}, ethernet_errors::echoDiffers}),
            "echoed command (76 01) as (76 01) instead of (56 01)");
  EXPECT_EQ(echoFaultText({{'M', 0x0A}, {}, ethernet_errors::noEcho}), "did not echo command (4D 0A)");
}

}  // namespace
}  // namespace trazvik
