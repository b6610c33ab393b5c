// The whole road against the trazvik-sim program on 127.0.0.1: a job
// streamed by the transfer and followed by the panel's loop, the machine's
// stop button with spindle overload pausing it through the real pause
// command, the continue command bringing it to its end, and the program's
// own count and trace of what it cut.
#include "control_rig.h"
#include "sim_process.h"

#include "link/state_bits.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include <unistd.h>

using namespace std::chrono_literals;

namespace trazvik::control_test {
namespace {

TEST(ProgramEndToEnd, JobPausedByOverloadContinuedAndFinished) {
    const auto trace = std::filesystem::temp_directory_path() / ("trazvik_control_trace_" + std::to_string(::getpid()) + ".svg");
    sim::test::SimProcess program;
    ASSERT_TRUE(program.start({"--type", "YFB 32", "--time-scale", "100", "--fault", "overload@300", "--trace",
                               trace.string()}))
        << program.output();
    RigOptions o;
    o.externalPort = program.commandPort();
    o.externalIdentityPort = program.identityPort();
    {
        ControlRig rig(o);
        ASSERT_TRUE(rig.connect());
        tJobCommands& commands = rig.useJobCommands();
        rig.writeJob(squareJob(rig.machine, rig.link, 100));
        ASSERT_TRUE(rig.trans->start());
        rig.flags.runRequested = true;
        ASSERT_TRUE(rig.runUntil([&] { return rig.flags.jobPaused; }, 20s)) << "the overload did not pause the job";
        EXPECT_TRUE(rig.flags.pausedFromMachine);
        EXPECT_EQ(rig.messages("Spindle overload"), 1);
        rig.reader->readState();
        EXPECT_TRUE(rig.st.bit(stateBit::jobPaused));
        EXPECT_FALSE(rig.st.bit(stateBit::toolOn));
        commands.Kontynuacja1Click();
        EXPECT_FALSE(rig.flags.jobPaused);
        ASSERT_TRUE(rig.runUntil([&] { return rig.count(tControlEventKind::jobEnded) > 0; }, 60s));
        EXPECT_EQ(rig.statusTexts.back(), "Job finished");
        EXPECT_EQ(rig.count(tControlEventKind::jobInterrupted), 0);
    }
    EXPECT_EQ(program.stop(), 0);
    EXPECT_NE(program.output().find(" 1 jobs ended"), std::string::npos) << program.output();
    EXPECT_EQ(program.output().find("lost to a full buffer"), std::string::npos) << program.output();
    EXPECT_EQ(program.output().find("unknown commands"), std::string::npos) << program.output();
    std::ifstream in(trace);
    std::stringstream svg;
    svg << in.rdbuf();
    // A side of the square, cut with the tool on.
    EXPECT_NE(svg.str().find("x1=\"20.000\" y1=\"20.000\" x2=\"40.000\" y2=\"20.000\" class=\"cut\""), std::string::npos);
    std::filesystem::remove(trace);
}

}  // namespace
}  // namespace trazvik::control_test
