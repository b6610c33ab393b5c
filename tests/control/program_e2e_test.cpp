// The whole road against the trazvik-sim program on 127.0.0.1, through the
// cutting session the programs assemble: the start of cutting writes the
// project's job and hands it to the transfer, the panel's loop follows it,
// the machine's stop button with spindle overload pauses it through the real
// pause command, the continue command brings it to its end, and the
// simulated controller's own count and trace show what it cut.
#include "session_fixture.h"
#include "sim_process.h"

#include "machine/state_bits.h"

#include <fstream>
#include <sstream>

using namespace std::chrono_literals;

namespace trazvik::control_test {
namespace {

TEST(ProgramEndToEnd, JobPausedByOverloadContinuedAndFinished) {
  SessionFixture f;
  const auto trace = f.folder / "trace.svg";
  sim::test::SimProcess program;
  ASSERT_TRUE(
      program.start({"--type", "YFB 32", "--time-scale", "100", "--fault", "overload@300", "--trace", trace.string()}))
      << program.output();
  {
    ASSERT_TRUE(f.connect(program.commandPort(), program.identityPort(), nullptr)) << program.output();
    tCuttingSession& session = *f.session;
    std::vector<tControlEventKind> events;
    session.onEvent = [&](const tControlEvent& e) { events.push_back(e.kind); };
    std::vector<std::string> statusTexts;
    session.control.context.mainWindow.statusBar = [&](int, const std::string& t) { statusTexts.push_back(t); };

    ASSERT_EQ(session.Start1Click(&f.project), tStartOutcome::started) << f.firstMessage();
    ASSERT_TRUE(f.runUntil([&] { return f.session->control.flags.jobPaused; }, 20s))
        << "the overload did not pause the job";
    EXPECT_TRUE(f.session->control.flags.pausedFromMachine);
    int overloads = 0;
    for (const auto& m : f.boxes.messages()) overloads += m.text.find("Spindle overload") != std::string::npos;
    EXPECT_EQ(overloads, 1);
    f.connection->status().readState();
    EXPECT_TRUE(f.st.bit(stateBit::jobPaused));
    EXPECT_FALSE(f.st.bit(stateBit::toolOn));
    session.control.commands.Kontynuacja1Click();
    EXPECT_FALSE(f.session->control.flags.jobPaused);
    const auto count = [&](tControlEventKind kind) { return std::count(events.begin(), events.end(), kind); };
    ASSERT_TRUE(f.runUntil([&] { return count(tControlEventKind::jobEnded) > 0; }, 60s));
    ASSERT_FALSE(statusTexts.empty());
    EXPECT_EQ(statusTexts.back(), "Job finished");
    EXPECT_EQ(count(tControlEventKind::jobInterrupted), 0);
    f.session.reset();
    f.connection->shutdown();
  }
  EXPECT_EQ(program.stop(), 0);
  EXPECT_NE(program.output().find(" 1 jobs ended"), std::string::npos) << program.output();
  EXPECT_EQ(program.output().find("lost to a full buffer"), std::string::npos) << program.output();
  EXPECT_EQ(program.output().find("unknown commands"), std::string::npos) << program.output();
  std::ifstream in(trace);
  std::stringstream svg;
  svg << in.rdbuf();
  // The star was cut with the tool on.
  EXPECT_NE(svg.str().find("class=\"cut\""), std::string::npos);
}

}  // namespace
}  // namespace trazvik::control_test
