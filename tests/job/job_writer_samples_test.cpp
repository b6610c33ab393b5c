// The sample designs, opened and prepared as the program opens them, written
// for every machine type of the table: every job is written, every command
// decodes cleanly, and the job ends as a job ends.
#include "job_writer_fixture.h"

#include "machine/identify_machine.h"
#include "machine/machine_table.h"
#include "project/open_project.h"

namespace trazvik::test {
namespace {

struct Sample {
  const char* file;
  int mode;
};

TEST(JobWriterSamples, EveryMachineTypeWritesEverySample) {
  texts::RecordingMessageBoxes boxes;
  texts::tInterfejs interfejs(boxes);
  ASSERT_TRUE(interfejs.loadLanguageFile(std::string(TRAZVIK_SOURCE_DIR) + "/lang/", "US", "0.1"));
  for (const Sample s :
       {Sample{"star.plt", kOutputDrawing}, Sample{"plate.dxf", kOutputDrawing}, Sample{"pocket.nc", kOutputProgram}}) {
    TDlgkonfig konfig;
    auto project = OtworzProjekt(std::string(TRAZVIK_SOURCE_DIR) + "/samples/" + s.file, konfig, interfejs, {});
    ASSERT_TRUE(project) << s.file;
    ASSERT_FALSE(project->fig.empty()) << s.file;
    for (const std::string& type : machineTypeCodes()) {
      // Narrow-set controllers come with one-byte powers (below level
      // 6), wide-set ones from level 6 on.
      const bool wideType = machineRow(type)->wideCommandSet != 0;
      for (int level : {wideType ? 6 : 5, 7}) {
        SCOPED_TRACE(std::string(s.file) + " on \"" + type + "\" level " + std::to_string(level));
        const tMachineState m = jobMachineFor(type, level, 20);
        tMemorySink sink;
        tJobRequest r;
        r.outputMode = s.mode;
        const tJobResult res = writeJobTo(sink, *project, jobSettingsOf(konfig), m, r);
        ASSERT_TRUE(res.ok) << res.error;
        const tCommandSet set = commandSetOf(m.model, m.link);
        const auto cmds =
            decodeCommandStream(std::span(sink.data.data(), sink.data.size()), set, m.model.commandLengths);
        ASSERT_FALSE(cmds.empty());
        int moves = 0;
        for (const auto& c : cmds) {
          ASSERT_TRUE(c.problem.empty()) << commandText(c, set) << " at " << c.offset;
          moves += c.kind == CommandKind::move;
        }
        EXPECT_GT(moves, static_cast<int>(project->fig.size()));
        const bool wide = m.model.machineParams.wideCommandSet != 0;
        EXPECT_EQ(cmds.back().kind, wide ? CommandKind::jobEnd : CommandKind::selectSlot);
        if (!wide) {
          EXPECT_EQ(cmds.back().number, 2);
        }
      }
    }
  }
}

// Smoothing on a controller that takes Bezier records, with figures that
// were never fitted: the job still cuts every point of the star, move for
// move as without smoothing.
TEST(JobWriterSamples, SmoothingWithoutFittedSegmentsCutsTheWholeStar) {
  texts::RecordingMessageBoxes boxes;
  texts::tInterfejs interfejs(boxes);
  ASSERT_TRUE(interfejs.loadLanguageFile(std::string(TRAZVIK_SOURCE_DIR) + "/lang/", "US", "0.1"));
  TDlgkonfig konfig;
  auto project = OtworzProjekt(std::string(TRAZVIK_SOURCE_DIR) + "/samples/star.plt", konfig, interfejs, {});
  ASSERT_TRUE(project);
  tMachineState m;
  m.link.controllerVersion = 550;
  m.model = machineModelFor(paddedProductString("YFB 32", 8), 5, 50, 0, m.link);
  ASSERT_TRUE(m.model.bezierCommands);
  auto movesOf = [&](bool smoothing) {
    konfig.setChecked("wygladzanie", smoothing);
    tMemorySink sink;
    const tJobResult res = writeJobTo(sink, *project, jobSettingsOf(konfig), m, tJobRequest{});
    EXPECT_TRUE(res.ok) << res.error;
    const tCommandSet set = commandSetOf(m.model, m.link);
    std::vector<tStepDelta> moves;
    for (const auto& c :
         decodeCommandStream(std::span(sink.data.data(), sink.data.size()), set, m.model.commandLengths)) {
      EXPECT_NE(c.kind, CommandKind::bezierExecute);
      if (c.kind == CommandKind::move) moves.push_back(c.delta);
    }
    return moves;
  };
  const auto plain = movesOf(false);
  const auto smoothed = movesOf(true);
  EXPECT_GT(plain.size(), 200u);
  ASSERT_EQ(smoothed.size(), plain.size());
  EXPECT_TRUE(smoothed == plain);
}

}  // namespace
}  // namespace trazvik::test
