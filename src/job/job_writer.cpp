#include "job/job_writer.h"

#include "base/content_hash.h"
#include "config/tdlgkonfig.h"
#include "job/job_move.h"
#include "job/thpgl_writer.h"
#include "project/tmdichild.h"
#include "texts/interfejs.h"

#include <string>

namespace trazvik {

namespace {

bool skippedFrame(const tfigura& f, const tJobSettings& s) { return f.ramka && s.bezramki; }

// Passes the bytes on and keeps the job's fingerprint.
class tHashingSink : public tByteSink {
 public:
  explicit tHashingSink(tByteSink& out) : out_(out) {}
  void write(std::span<const std::uint8_t> bytes) override {
    out_.write(bytes);
    hash_.add(bytes);
  }
  std::uint64_t size() const override { return out_.size(); }
  std::string hashText() const { return hash_.text(); }

 private:
  tByteSink& out_;
  base::tContentHash hash_;
};

struct tJobRun {
  TMDIChild& project;
  const tJobSettings& s;
  const tWriterMachine& m;
  job::Thpgl& w;
  int first, last, chosenHead;
  int fromLayer = -1;
  int written = 0;
  bool approached = false;
  int layerColor = -1;  // the layer pass being written; -1 outside multi-layer jobs
  std::vector<tFigureBlock> blocks;

  tfigura& fig(int i) { return *project.fig[static_cast<std::size_t>(i)]; }

  void writeFigure(tfigura& f, int index, job::tLastPoint& lastPoint, const tWarstwa* layer) {
    const std::uint64_t start = w.offset();
    if (!approached) {
      w.BezpiecznyDojazdDoWskazanejFig(f);
      approached = true;
    }
    w.write_figura(f, lastPoint, layer);
    ++written;
    noteBlock(index, start);
  }

  // A block that put bytes into the job goes into the figure index.
  void noteBlock(int index, std::uint64_t start) {
    const std::uint64_t end = w.offset();
    if (end == start) return;
    const std::uint64_t cut = std::clamp(w.cutMark().value_or(start), start, end);
    const std::uint64_t done = std::clamp(w.doneMark().value_or(end), cut, end);
    blocks.push_back(tFigureBlock{index, layerColor, start, cut, done, end});
  }

  // Laser feed and powers of a figure's layer in a multi-layer project.
  void layerParameters(const tfigura& f) {
    if (!m.laser || s.ProjektType != 1 || !project.warstwy) return;
    const double idle = s.LaserMiekkiStart ? s.SpoczynkowaMocLasera : 0;
    w.saveLayerParamters(project.warstwy->getSzybkosc(f.org_color), idle, project.warstwy->getMoc(f.org_color));
  }

  void figures(int from, job::tLastPoint& lastPoint, const tWarstwa* layer) {
    if (first == last) {
      const std::uint64_t start = w.offset();
      layerParameters(fig(first));
      writeFigure(fig(first), first, lastPoint, layer);
      if (!blocks.empty() && blocks.back().figure == first) blocks.back().start = start;
      return;
    }
    const bool program = project.ImportFileType == kFileTypeGcode;
    for (int i = from; i <= last; ++i) {
      tfigura& f = fig(i);
      const bool wanted = !skippedFrame(f, s) && f.tocut;
      // The layer's feed and power belong to the figure's block: a job
      // taken up at this figure writes them again.
      const std::uint64_t start = w.offset();
      if (wanted) layerParameters(f);
      if (wanted || program) {
        writeFigure(f, i, lastPoint, layer);
        if (!blocks.empty() && blocks.back().figure == i && blocks.back().start > start) blocks.back().start = start;
      }
    }
  }

  void singleLayer() {
    w.save(project.ImportFileType, chosenHead, project.wielowarstwowy());
    job::tLastPoint lastPoint{0, 0, w.state().travelHeight};
    figures(first, lastPoint, nullptr);
    w.closewrite(chosenHead);
  }

  void multiLayer() {
    w.saveMultiLayer(project.ImportFileType, chosenHead);
    job::tLastPoint lastPoint{0, 0, w.state().travelHeight};
    int from = first;
    int previousHead = chosenHead;
    if (project.warstwy) {
      bool reached = fromLayer < 0;
      for (const tWarstwa& layer : project.warstwy->getLayersList()) {
        if (!reached && layer.org_color != fromLayer) continue;
        // Taken up inside a pass: the later passes are written whole.
        const int firstOfPass = reached && fromLayer >= 0 ? 0 : from;
        reached = true;
        if (!layer.aktywna || !project.WarstwaBedzieObrabiana(firstOfPass, last, layer.org_color)) continue;
        const int nextHead = layer.glowica - 1;
        w.ZastosujParametryWarstwy(layer, previousHead, lastPoint, nextHead);
        layerColor = layer.org_color;
        figures(from, lastPoint, &layer);
        from = 0;
        previousHead = nextHead;
      }
    }
    w.closewrite(s.ProjektType == 1 ? previousHead : chosenHead);
  }
};

std::string rangeError(const TMDIChild& project, int first, int last) {
  return "figures " + std::to_string(first) + " to " + std::to_string(last) + " are not in the project's " +
         std::to_string(project.fig.size()) + " figures";
}

tJobResult writeInto(tByteSink& out, TMDIChild& project, const tJobSettings& s, const tMachineState& machine,
                     const tJobRequest& request, bool multi) {
  tJobResult result;
  const int count = static_cast<int>(project.fig.size());
  const int first = request.first;
  const int last = request.last < 0 ? count - 1 : request.last;
  if (count > 0 && (first < 0 || last >= count || first > last)) {
    result.error = rangeError(project, first, last);
    return result;
  }
  const tWriterMachine m = writerMachineOf(machine);
  job::tJobOptions opt;
  opt.outputMode = request.outputMode;
  opt.travelHeight = request.travelHeight ? *request.travelHeight : defaultTravelHeight(project, s, m);
  opt.oneSelectedFigureOfProgram = request.oneSelectedFigureOfProgram;
  opt.startsFromSelectedFigureOfProgram = request.startsFromSelectedFigureOfProgram;
  if (project.ImportFileType == kFileTypeGcode) {
    opt.programFeed = project.GcodPar.gF;
    opt.programSpindle = programPowerOf(machine.model.machineParams, project.GcodPar.gS);
  }
  tHashingSink hashed(out);
  job::Thpgl w(hashed, s, m, opt);
  tJobRun run{project, s, m, w, first, last, std::clamp(request.chosenHead, 0, 2), -1, 0, false, -1, {}};
  run.fromLayer = multi ? request.fromLayer : -1;
  if (count == 0) run.last = -1;
  if (multi)
    run.multiLayer();
  else
    run.singleLayer();
  result.ok = true;
  result.extremes = w.state().extremes;
  result.state = w.state();
  result.minR = w.minR();
  result.bytes = out.size();
  result.figuresWritten = run.written;
  tJobIndex& index = result.index;
  index.jobHash = hashed.hashText();
  index.projectFile = project.sciezka;
  index.projectHash = base::fileContentHash(project.sciezka).value_or(std::string());
  index.machineType = machine.model.machineType;
  index.head = run.chosenHead;
  if (run.chosenHead > 0) {
    index.originX = s.headOffsetX[static_cast<std::size_t>(run.chosenHead)];
    index.originY = s.headOffsetY[static_cast<std::size_t>(run.chosenHead)];
  }
  index.startZ = w.state().safeHeight;
  index.blocks = std::move(run.blocks);
  return result;
}

// Runs the writer into the atomic file; any failure removes the temporary
// file and comes back as the result's error.
tJobResult writeFile(TMDIChild& project, const tJobSettings& s, const tMachineState& machine,
                     const std::filesystem::path& path, const tJobRequest& request, bool multi) {
  tJobResult result;
  const std::filesystem::path indexPath = jobIndexPathOf(path);
  try {
    // An index left from an earlier job must never describe this one.
    std::error_code ec;
    std::filesystem::remove(indexPath, ec);
    tAtomicJobFile file(path);
    result = writeInto(file, project, s, machine, request, multi);
    if (!result.ok) {
      result.error = "Cannot write the job \"" + path.string() + "\": " + result.error;
      return result;
    }
    file.commit();
    std::string indexError;
    if (!writeJobIndex(indexPath, result.index, indexError)) {
      std::filesystem::remove(path, ec);
      result = {};
      result.error = "Cannot write the job's figure index: " + indexError;
    }
  } catch (const tJobWriteError& e) {
    result = {};
    result.error = e.what();
  } catch (const tJobRangeError& e) {
    result = {};
    result.error = "Cannot write the job \"" + path.string() + "\": " + e.what();
  }
  return result;
}

}  // namespace

int outputModeFor(const TMDIChild& project) {
  return project.ImportFileType == kFileTypeGcode ? kOutputProgram : kOutputDrawing;
}

double defaultTravelHeight(const TMDIChild& project, const tJobSettings& s, const tWriterMachine& m) {
  if (project.ImportFileType == kFileTypeGcode) return project.GcodPar.maxZ;
  if (m.laserZAxis) return -s.grubosc;
  if (m.laser) return 0;
  return s.safe();
}

bool isMultiLayerJob(const TMDIChild& project, const tJobSettings& s) {
  return s.ProjektType == 1 && project.wielowarstwowy();
}

tJobResult writeJobTo(tByteSink& out, TMDIChild& project, const tJobSettings& settings, const tMachineState& machine,
                      const tJobRequest& request) {
  try {
    return writeInto(out, project, settings, machine, request, isMultiLayerJob(project, settings));
  } catch (const tJobWriteError& e) {
    tJobResult r;
    r.error = e.what();
    return r;
  } catch (const tJobRangeError& e) {
    tJobResult r;
    r.error = e.what();
    return r;
  }
}

tJobResult writeJob(TMDIChild& project, const TDlgkonfig& settings, const tMachineState& machine,
                    const std::filesystem::path& path, const tJobRequest& request) {
  const tJobSettings s = jobSettingsOf(settings);
  return writeFile(project, s, machine, path, request, isMultiLayerJob(project, s));
}

std::string jobWriteErrorText(const TMDIChild& project, const std::string& reason) {
  return project.interfejs().dajTxt("Project_window", "msgBladZapisuZadania") + "\n" + reason;
}

}  // namespace trazvik
