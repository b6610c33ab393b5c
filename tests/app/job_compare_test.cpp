// A written job against its stored copy: identical, a changed move, and a
// job that is longer or shorter, each named by its first differing command.
#include "app/job_compare.h"

#include "machine/commands_basic.h"
#include "machine/commands_move.h"
#include "machine/identify_machine.h"

#include <gtest/gtest.h>

namespace trazvik::app {
namespace {

TEST(JobCompare, NamesTheFirstDifferingCommand) {
  tLinkState link;
  const tMachineModel machine = machineModelFor("YFB 32", 7, 20, 0, link);
  const tCommandSet set = commandSetOf(machine, link);
  const auto job = [&](std::int32_t lastDx, bool withPause) {
    Bytes b = loadSlotCommand(1, 400, set);
    for (std::int32_t dx : {1000, 2000, lastDx}) {
      const Bytes m = moveCommand({dx, 0, 0}, 1, 65535, set);
      b.insert(b.end(), m.begin(), m.end());
    }
    if (withPause) {
      const Bytes p = pauseCommand(100);
      b.insert(b.end(), p.begin(), p.end());
    }
    return b;
  };
  const Bytes stored = job(3000, true);
  const std::size_t fourth = loadSlotCommand(1, 400, set).size() + moveCommand({1000, 0, 0}, 1, 65535, set).size() +
                             moveCommand({2000, 0, 0}, 1, 65535, set).size();
  struct Case {
    Bytes written;
    bool same;
    std::size_t index, offset;
    bool writtenEnds;
  };
  const Case cases[] = {
      {job(3000, true), true, 0, 0, false},
      {job(3001, true), false, 4, fourth, false},
      {job(3000, false), false, 5, job(3000, false).size(), true},
  };
  for (const Case& c : cases) {
    const tJobDifference d = compareJobs(stored, c.written, set, machine.commandLengths);
    EXPECT_EQ(d.same, c.same);
    if (c.same) {
      EXPECT_EQ(differenceText(d), "identical");
      continue;
    }
    EXPECT_EQ(d.commandIndex, c.index);
    EXPECT_EQ(d.offset, c.offset);
    EXPECT_EQ(d.written == "(end of job)", c.writtenEnds);
    EXPECT_NE(d.expected, d.written);
    EXPECT_NE(differenceText(d).find("differs at command " + std::to_string(c.index)), std::string::npos);
  }
  // A written job longer than the stored one: the first extra command.
  const tJobDifference longer = compareJobs(job(3000, false), stored, set, machine.commandLengths);
  EXPECT_EQ(longer.commandIndex, 5u);
  EXPECT_EQ(longer.expected, "(end of job)");
}

}  // namespace
}  // namespace trazvik::app
