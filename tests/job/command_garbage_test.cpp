// Hostile input: random bytes fed to the decoder are split without loss and
// never crash it, whatever the machine.
#include "job/command_decoder.h"
#include "machine/identify_machine.h"

#include <gtest/gtest.h>

#include <random>

namespace trazvik {
namespace {

TEST(CommandGarbage, RandomStreamsAreSplitWithoutLoss) {
  std::mt19937 rng(20261210);
  for (const char* type : {"LFV", "YFB 32", "YHB 32", "YJB", "RZ"}) {
    tLinkState link;
    const tMachineModel m = machineModelFor(paddedProductString(type, 8), 7, 22, 0, link);
    const tCommandSet set = commandSetOf(m, link);
    for (int round = 0; round < 400; ++round) {
      Bytes stream(rng() % 200);
      // Bias towards opcode letters so real layouts are hit often.
      for (std::uint8_t& b : stream)
        b = (rng() % 3 == 0) ? static_cast<std::uint8_t>("aAvVfFpPrRtTsSlnNUBHIYQKGCWXEZOJ"[rng() % 32])
                             : static_cast<std::uint8_t>(rng());
      const auto commands = decodeCommandStream(stream, set, m.commandLengths);
      Bytes joined;
      for (const tDecodedCommand& c : commands) {
        ASSERT_EQ(c.offset, joined.size());
        joined.insert(joined.end(), c.bytes.begin(), c.bytes.end());
        ASSERT_FALSE(commandText(c, set).empty());
      }
      ASSERT_EQ(joined, stream) << type << " round " << round;

      const tDecodedCommand single = decodeCommand(stream, set);
      ASSERT_LE(single.bytes.size(), stream.size());
      ASSERT_FALSE(commandText(single, set).empty());
    }
  }
}

}  // namespace
}  // namespace trazvik
