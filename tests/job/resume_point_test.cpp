// The resume point of an interrupted job: the figure in progress from the
// byte the controller is known to have run, confirmed or corrected by its
// position, with how far the point can be trusted.
#include "job_writer_fixture.h"

#include "job/resume_point.h"

namespace trazvik::test {
namespace {

class ResumePointTest : public JobWriterTest {
 protected:
  const tMachineState router_ = jobMachineFor("YFB 32", 7, 20);

  void SetUp() override {
    JobWriterTest::SetUp();
    for (int i = 0; i < 3; ++i) addSquare(-3, i * 800.0, 0);
    const tJobResult r = write(router_);
    ASSERT_TRUE(r.ok) << r.error;
    index_ = r.index;
    ASSERT_EQ(index_.blocks.size(), 3u);
    const tCommandSet set = commandSetOf(router_.model, router_.link);
    track_ = tJobTrack::of(std::span(bytes_.data(), bytes_.size()), index_, set, router_.model.commandLengths);
  }

  // The first command boundary after `offset`.
  std::uint64_t boundaryAfter(std::uint64_t offset) const {
    for (std::uint64_t e : track_.ends)
      if (e > offset) return e;
    return offset;
  }
  tFigureBlock block(int i) const { return index_.blocks[static_cast<std::size_t>(i)]; }

  tJobIndex index_;
  tJobTrack track_;
};

// A controller that ran out what it received stands where the sent bytes
// end; the figure in progress and the two choices follow from the byte.
TEST_F(ResumePointTest, DrainedControllerTableOfDropPoints) {
  const struct {
    const char* what;
    std::uint64_t sent;
    bool complete;
    int figure;
    bool begun;
    int fromStart, fromNext;  // start blocks, -1: nothing left
  } cases[] = {
      {"before the first figure", 0, false, 0, false, 0, 0},
      {"travel to figure 2", block(1).start, false, 1, false, 1, 1},
      {"above figure 2, not yet down", block(1).cut, false, 1, false, 1, 1},
      {"going down into figure 2", boundaryAfter(block(1).cut), false, 1, true, 1, 2},
      {"cutting figure 2", boundaryAfter(boundaryAfter(boundaryAfter(block(1).cut))), false, 1, true, 1, 2},
      {"figure 2 cut, retracting", block(1).done, false, 2, false, 2, 2},
      {"last figure cutting", boundaryAfter(block(2).cut), false, 2, true, 2, -1},
      {"last figure cut", block(2).done, true, 0, false, -1, -1},
      {"whole job", bytes_.size(), true, 0, false, -1, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    tResumeEvidence e;
    e.sent = c.sent;
    e.drained = true;
    e.position = track_.at(c.sent);
    ASSERT_TRUE(e.position.has_value());
    const tResumePoint p = findResumePoint(index_, track_, e);
    EXPECT_EQ(p.certainty, tResumeCertainty::exact) << p.account;
    EXPECT_FALSE(p.homingRequired);
    EXPECT_EQ(p.complete, c.complete);
    if (!c.complete) {
      EXPECT_EQ(p.figure, c.figure);
      EXPECT_EQ(p.begun, c.begun);
    }
    auto blockOrMinus = [](std::optional<std::size_t> b) { return b ? static_cast<int>(*b) : -1; };
    EXPECT_EQ(blockOrMinus(p.startBlock(index_, false)), c.fromStart);
    EXPECT_EQ(blockOrMinus(p.startBlock(index_, true)), c.fromNext);
  }
}

// Evidence that does not fit together is said to be so.
TEST_F(ResumePointTest, DoubtfulEvidenceIsToldAndTakesTheEarlierPoint) {
  const std::uint64_t inFigure2 = boundaryAfter(boundaryAfter(block(1).cut));

  tResumeEvidence lostSteps;
  lostSteps.sent = inFigure2;
  lostSteps.confirmed = block(1).start;
  lostSteps.drained = true;
  lostSteps.position = tToolPoint{track_.at(inFigure2)->x + 0.4, track_.at(inFigure2)->y, track_.at(inFigure2)->z};
  tResumePoint p = findResumePoint(index_, track_, lostSteps);
  EXPECT_EQ(p.certainty, tResumeCertainty::estimated);
  EXPECT_EQ(p.figure, 1);
  EXPECT_NE(p.account.find("lost steps"), std::string::npos) << p.account;

  tResumeEvidence unread = lostSteps;
  unread.position.reset();
  EXPECT_EQ(findResumePoint(index_, track_, unread).certainty, tResumeCertainty::estimated);

  // Reset: only what was seen to run counts, and homing comes first.
  tResumeEvidence reset;
  reset.sent = bytes_.size();
  reset.confirmed = block(1).cut;
  reset.controllerForgot = true;
  p = findResumePoint(index_, track_, reset);
  EXPECT_TRUE(p.homingRequired);
  EXPECT_EQ(p.certainty, tResumeCertainty::estimated);
  EXPECT_EQ(p.figure, 1);
  EXPECT_FALSE(p.begun);
  EXPECT_NE(p.account.find("homed"), std::string::npos) << p.account;

  // Still running when last read: the point is what was seen to run.
  tResumeEvidence running;
  running.sent = bytes_.size();
  running.confirmed = block(0).done;
  p = findResumePoint(index_, track_, running);
  EXPECT_EQ(p.certainty, tResumeCertainty::unknown);
  EXPECT_EQ(p.figure, 1);
}

// After the workstation stopped its record lags behind: the controller's
// position finds the byte that ran last among the places after the record.
TEST_F(ResumePointTest, RestartedWorkstationFindsTheByteByThePosition) {
  const std::uint64_t truth = boundaryAfter(boundaryAfter(block(2).cut));
  tResumeEvidence e;
  e.sent = block(0).done;  // the last record
  e.sentIsLowerBound = true;
  e.drained = true;
  e.position = track_.at(truth);
  tResumePoint p = findResumePoint(index_, track_, e);
  EXPECT_EQ(p.figure, 2);
  EXPECT_TRUE(p.begun);
  // Commands that do not move share the place: the earliest of them.
  EXPECT_LE(p.executed, truth);
  EXPECT_GT(p.executed, block(2).cut);
  EXPECT_EQ(p.certainty, tResumeCertainty::exact) << p.account;

  // Standing above the start point of the job: every place the job
  // passes there counts, and the earliest is taken.
  e.sent = 0;
  e.position = track_.start;
  p = findResumePoint(index_, track_, e);
  EXPECT_EQ(p.figure, 0);
  EXPECT_FALSE(p.begun);

  e.position.reset();
  e.sent = block(1).start;
  p = findResumePoint(index_, track_, e);
  EXPECT_EQ(p.certainty, tResumeCertainty::unknown);
  EXPECT_EQ(p.figure, 1);
}

// A position read while the machine moves lies on the command in
// progress: everything before that command has run.
TEST_F(ResumePointTest, PositionOnAMoveConfirmsTheBytesBeforeIt) {
  const std::uint64_t from = block(1).cut;
  std::size_t i = 0;
  while (track_.ends[i] <= boundaryAfter(boundaryAfter(from))) ++i;
  while (!track_.moves[i]) ++i;
  const tToolPoint a = track_.points[i - 1], b = track_.points[i];
  const tToolPoint middle{(a.x + b.x) / 2, (a.y + b.y) / 2, (a.z + b.z) / 2};
  EXPECT_EQ(track_.moveThrough(middle, from, bytes_.size(), kResumePositionTolerance), track_.ends[i - 1]);
  EXPECT_FALSE(track_.moveThrough({500, 500, 0}, 0, bytes_.size(), kResumePositionTolerance).has_value());
}

}  // namespace
}  // namespace trazvik::test
