// A project built by hand for the job writer tests, written for a machine
// type and read back through the command decoder as one short line per
// command (the decoder's text without its explanation), with runs of
// 255 ms pauses folded into one "p ms=255 xN" line.
#pragma once

#include "config/tdlgkonfig.h"
#include "job/command_decoder.h"
#include "job/job_writer.h"
#include "project/tmdichild.h"
#include "texts/interfejs.h"
#include "texts/recording_message_boxes.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace trazvik::test {

using Lines = std::vector<std::string>;

inline std::string shortText(const tDecodedCommand& c, const tCommandSet& set) {
  std::string t = commandText(c, set);
  const auto bar = t.find(" | ");
  if (bar != std::string::npos) t.erase(bar);
  return t;
}

inline Lines decodeLines(const std::basic_string<std::uint8_t>& bytes, const tMachineState& m) {
  const tCommandSet set = commandSetOf(m.model, m.link);
  const auto cmds = decodeCommandStream(std::span(bytes.data(), bytes.size()), set, m.model.commandLengths);
  Lines out;
  for (const auto& c : cmds) {
    std::string t = shortText(c, set);
    if (t == "p pause ms=255" && !out.empty() && out.back().rfind("p pause ms=255", 0) == 0) {
      const auto x = out.back().find(" x");
      const int n = x == std::string::npos ? 1 : std::stoi(out.back().substr(x + 2));
      out.back() = "p pause ms=255 x" + std::to_string(n + 1);
      continue;
    }
    out.push_back(t);
  }
  return out;
}

// The position of `part` in `all` as a contiguous run, or -1.
inline int findRun(const Lines& all, const Lines& part) {
  if (part.empty() || part.size() > all.size()) return -1;
  for (std::size_t i = 0; i + part.size() <= all.size(); ++i) {
    bool same = true;
    for (std::size_t k = 0; k < part.size() && same; ++k) same = all[i + k] == part[k];
    if (same) return static_cast<int>(i);
  }
  return -1;
}

inline std::string joined(const Lines& l) {
  std::string s;
  for (const auto& x : l) s += x + "\n";
  return s;
}

// Expects `part` as a contiguous run of `all`, printing both otherwise.
#define EXPECT_RUN(all, part)                                                                   \
  EXPECT_GE(::trazvik::test::findRun(all, part), 0) << "expected run:\n"                        \
                                                    << ::trazvik::test::joined(part) << "in:\n" \
                                                    << ::trazvik::test::joined(all)

class JobWriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(interfejs_.loadLanguageFile(std::string(TRAZVIK_SOURCE_DIR) + "/lang/", "US", "0.1"));
    project_ = std::make_unique<TMDIChild>(konfig_, interfejs_);
    project_->ImportFileType = kFileTypeHpgl;
  }

  // A figure of toolpath points in file units (40 per mm for plot files).
  tfigura& addFigure(const std::vector<trpoint3d>& sp, int color = 1) {
    auto f = std::make_unique<tfigura>();
    f->sp = sp;
    for (const auto& p : sp) f->p.push_back({p.x, p.y});
    f->org_color = color;
    f->tocut = true;
    f->valid = true;
    project_->fig.push_back(std::move(f));
    return *project_->fig.back();
  }

  // A 10 mm square of plot-file units at height z mm.
  tfigura& addSquare(double zMm, double x0 = 0, double y0 = 0, int color = 1) {
    const double z = zMm * 40;
    return addFigure({{x0, y0, z}, {x0 + 400, y0, z}, {x0 + 400, y0 + 400, z}, {x0, y0 + 400, z}, {x0, y0, z}}, color);
  }

  tJobResult write(const tMachineState& m, tJobRequest r = {}) {
    tMemorySink sink;
    tJobResult res = writeJobTo(sink, *project_, jobSettingsOf(konfig_), m, r);
    bytes_ = sink.data;
    lines_ = decodeLines(bytes_, m);
    return res;
  }

  TDlgkonfig konfig_;
  texts::RecordingMessageBoxes boxes_;
  texts::tInterfejs interfejs_{boxes_};
  std::unique_ptr<TMDIChild> project_;
  std::basic_string<std::uint8_t> bytes_;
  Lines lines_;
};

}  // namespace trazvik::test
