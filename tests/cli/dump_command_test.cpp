// trazvik-cli dump run as a program on job files written by the encoders.
#include "machine/commands_basic.h"
#include "machine/commands_move.h"
#include "machine/commands_records.h"
#include "machine/speed_code.h"
#include "machine/identify_machine.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>

namespace trazvik {
namespace {

struct RunResult {
  int exitCode = -1;
  std::string out;
};

RunResult run(const std::string& args) {
  const std::string command = std::string(TRAZVIK_BIN_DIR) + "/trazvik-cli dump " + args + " 2>/dev/null";
  RunResult r;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return r;
  std::array<char, 4096> buf;
  std::size_t n;
  while ((n = std::fread(buf.data(), 1, buf.size(), pipe)) > 0) r.out.append(buf.data(), n);
  const int status = pclose(pipe);
  r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

class DumpCommand : public testing::Test {
 protected:
  void SetUp() override {
    file_ = std::filesystem::temp_directory_path() /
            ("trazvik_dump_" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()) + ".cnx");
  }
  void TearDown() override { std::filesystem::remove(file_); }
  void write(const Bytes& b) {
    std::ofstream(file_, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
  }
  std::string quoted() const { return "'" + file_.string() + "'"; }

  std::filesystem::path file_;
};

TEST_F(DumpCommand, ShowsEveryCommandOfAWideJob) {
  tLinkState link;
  const tMachineModel m = machineModelFor("YFB 32  ", 7, 20, 0, link);
  const tCommandSet set = commandSetOf(m, link);
  Bytes job;
  auto add = [&](const Bytes& b) { job.insert(job.end(), b.begin(), b.end()); };
  add(loadSlotCommand(1, speedCode(1000, set), set));
  add(selectSlotCommand(1));
  tJobPosition pos;
  add(moveToPoint(pos, 10, -5, 0, 65535, set, set.speedMultiplier));
  add(longPause(1));
  add(jobEndRecord());
  write(job);

  const RunResult r = run(quoted() + " --type 'YFB 32' --firmware 7.20");
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(
      r.out,
      "000000  v load-slot slot=1 code=1200 | working feed 1000.0 mm/min\n"
      "000006  f select-slot slot=1 | working feed\n"
      "000008  a move dx=+10000 dy=-5000 dz=+0 L=22362 code=65535 | X +10.000 Y -5.000 Z +0.000 mm, end speed free\n"
      "000023  p pause ms=255\n"
      "000025  p pause ms=255\n"
      "000027  p pause ms=255\n"
      "000029  p pause ms=235\n"
      "000031  SE job-end\n");
}

TEST_F(DumpCommand, ATableThatDoesNotMatchTheMachineShowsProblems) {
  tLinkState link;
  const tMachineModel m = machineModelFor("YFB 32  ", 7, 20, 0, link);
  const tCommandSet set = commandSetOf(m, link);
  write(moveCommand({1, 2, 3}, 2, 65535, set));
  const RunResult narrow = run(quoted() + " --type LFV --firmware 5.0");
  EXPECT_EQ(narrow.exitCode, 3);
  EXPECT_NE(narrow.out.find("!! byte starts no command"), std::string::npos);
}

TEST_F(DumpCommand, BadArguments) {
  write(Bytes{'f', 1});
  EXPECT_EQ(run(quoted() + " --type NOPE").exitCode, 2);
  EXPECT_EQ(run(quoted() + " --firmware seven").exitCode, 2);
  EXPECT_EQ(run("/nonexistent/out.cnx").exitCode, 1);
  EXPECT_EQ(run(quoted()).exitCode, 0);
}

// Every command kind a job holds, laid out by hand from the language's
// byte layouts, read back with its fields and their meaning.
Bytes le(std::uint64_t v, std::size_t width) {
  Bytes b;
  for (std::size_t i = 0; i < width; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  return b;
}
Bytes cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}
Bytes rec(const std::string& name, const Bytes& args = {}) {
  Bytes b(name.begin(), name.end());
  b.insert(b.end(), args.begin(), args.end());
  b.resize(16, ' ');
  return b;
}

TEST_F(DumpCommand, EveryJobCommandKindWithItsFieldsAndMeaning) {
  // "YFB 32" at 7.20: 10 steps per 0.01 mm, speed multiplier 2, wide set,
  // protocol level 7 (32-bit power values, speed code nibbles in F and Z).
  // Move dx=+1000 dy=-500 dz=-300 with end code 0x1234: F = 0b110 | 1 << 4,
  // L = 2 * round(sqrt(1000^2 + 500^2 + 300^2) + 0.5) = 2 * 1158 = 2316,
  // Z = 300 | 2 << 20, S = 0x34.
  const Bytes move =
      cat({Bytes{'a', 0x16}, le(2316, 3), le(1000, 3), le(500, 3), le(300 | (2u << 20), 3), Bytes{0x34}});
  const Bytes wideJob = cat({
      Bytes{'v', 0},
      le(1200, 4),  // travel slot, 1000 mm/min
      Bytes{'f', 1},
      Bytes{'p', 200},
      Bytes{'r', 1, 0x01},
      Bytes{'r', 0, 0xC0},
      Bytes{'t', 1},
      le(12000, 4),
      Bytes{'t', 3},
      le(77, 4),
      Bytes{'n'},
      le(2500, 4),
      move,
      rec("s3v", {4}),
      rec("s3v", {0}),
      rec("s3z", {2}),
      rec("sLT", le(20, 4)),
      rec("sLP"),
      rec("sP", le(20, 4)),
      rec("sLS"),
      rec("sLC"),
      rec("sWA", cat({le(0, 4), le(0, 4), le(0, 4)})),
      rec("sWD", cat({le(2000, 4), le(std::uint32_t(-1000), 4), le(0, 4)})),
      rec("sWU", Bytes{0x00, 0x00, 0x00, 0x3F}),  // 0.5f
      rec("sWL", le(2, 4)),
      rec("sWG", le(1, 4)),
      rec("sWW"),
      rec("sfw"),
      rec("SE"),
  });
  write(wideJob);
  RunResult r = run(quoted() + " --machine 'YFB 32' --firmware 7.20");
  EXPECT_EQ(r.exitCode, 0) << r.out;
  const char* wideLines[] = {
      "v load-slot slot=0 code=1200 | travel feed 1000.0 mm/min",
      "f select-slot slot=1 | working feed",
      "p pause ms=200",
      "r outputs state=1 mask=0x01 | set tool",
      "r outputs state=0 mask=0xC0 | clear head 3 / lubrication on",
      "t power channel=1 value=12000 | working power (spindle speed or laser power)",
      "t power channel=3 value=77 | idle or auxiliary power (laser idle, polishing spindle speed)",
      "n head-z-reference steps=2500 | Z +2.500 mm",
      "a move dx=+1000 dy=-500 dz=-300 L=2316 code=4660 | X +1.000 Y -0.500 Z -0.300 mm, end at",
      "s3v third-axis mode=4 | knife axis",
      "s3v third-axis mode=0 | Z axis",
      "s3z head-z bit=2 | Z of head 2",
      "sLT laser-pulse-time ms=20",
      "sLP laser-pulse",
      "sP pulse-time ms=20",
      "sLS laser-on",
      "sLC laser-off",
      "sWA bezier-point A x=0 y=0 z=0 | X +0.000 Y +0.000 Z +0.000 mm",
      "sWD bezier-point D x=2000 y=-1000 z=0 | X +2.000 Y -1.000 Z +0.000 mm",
      "sWU bezier-step u=0.5 | parameter step x 0.8",
      "sWL bezier-steps n=2",
      "sWG bezier-join smooth=1",
      "sWW bezier-execute",
      "sfw spindle-wait",
      "SE job-end",
  };
  std::size_t at = 0;
  for (const char* line : wideLines) {
    const std::size_t found = r.out.find(line, at);
    EXPECT_NE(found, std::string::npos) << "missing or out of order: " << line << "\n" << r.out;
    if (found != std::string::npos) at = found;
  }

  // The narrow set of a plotter-class "LFV": 16-bit slots and limits,
  // 8-bit powers before level 6, smoothing, 14-byte moves.
  const Bytes narrowJob = cat({
      Bytes{'s', 1},
      Bytes{'v', 1},
      le(1000, 2),
      Bytes{'t', 1, 128},
      Bytes{'a', 0x06},
      le(30, 3),
      le(10, 3),
      le(0, 3),
      le(0, 3),
      Bytes{'l'},
      le(1, 2),
      Bytes{'s', 0},
  });
  write(narrowJob);
  r = run(quoted() + " --machine LFV --firmware 1.00");
  EXPECT_EQ(r.exitCode, 0) << r.out;
  const char* narrowLines[] = {
      "s smoothing on=1 | continuous-path smoothing on",
      "v load-slot slot=1 code=1000 | working feed",
      "t power channel=1 value=128 | working power",
      "a move dx=+10 dy=+0 dz=+0 L=30 | X +0.102 Y +0.000",
      "l segment-limit code=1 | no limit",
      "s smoothing on=0 | continuous-path smoothing off",
  };
  at = 0;
  for (const char* line : narrowLines) {
    const std::size_t found = r.out.find(line, at);
    EXPECT_NE(found, std::string::npos) << "missing or out of order: " << line << "\n" << r.out;
    if (found != std::string::npos) at = found;
  }
}

}  // namespace
}  // namespace trazvik
