// trazvik-cli dump run as a program on job files written by the encoders.
#include "job/commands_basic.h"
#include "job/commands_move.h"
#include "job/commands_records.h"
#include "job/speed_code.h"
#include "link/identify_machine.h"

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
    EXPECT_EQ(r.out,
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

}  // namespace
}  // namespace trazvik
