#include "job/job_writer.h"

#include "config/tdlgkonfig.h"
#include "job/job_move.h"
#include "job/thpgl_writer.h"
#include "project/tmdichild.h"
#include "texts/interfejs.h"

#include <string>

namespace trazvik {

namespace {

bool skippedFrame(const tfigura& f, const tJobSettings& s) { return f.ramka && s.bezramki; }

struct tJobRun {
  TMDIChild& project;
  const tJobSettings& s;
  const tWriterMachine& m;
  job::Thpgl& w;
  int first, last, chosenHead;
  int written = 0;
  bool approached = false;

  tfigura& fig(int i) { return *project.fig[static_cast<std::size_t>(i)]; }

  void writeFigure(tfigura& f, job::tLastPoint& lastPoint, const tWarstwa* layer) {
    if (!approached) {
      w.BezpiecznyDojazdDoWskazanejFig(f);
      approached = true;
    }
    w.write_figura(f, lastPoint, layer);
    ++written;
  }

  // Laser feed and powers of a figure's layer in a multi-layer project.
  void layerParameters(const tfigura& f) {
    if (!m.laser || s.ProjektType != 1 || !project.warstwy) return;
    const double idle = s.LaserMiekkiStart ? s.SpoczynkowaMocLasera : 0;
    w.saveLayerParamters(project.warstwy->getSzybkosc(f.org_color), idle, project.warstwy->getMoc(f.org_color));
  }

  void figures(int from, job::tLastPoint& lastPoint, const tWarstwa* layer) {
    if (first == last) {
      layerParameters(fig(first));
      writeFigure(fig(first), lastPoint, layer);
      return;
    }
    const bool program = project.ImportFileType == kFileTypeGcode;
    for (int i = from; i <= last; ++i) {
      tfigura& f = fig(i);
      const bool wanted = !skippedFrame(f, s) && f.tocut;
      if (wanted) layerParameters(f);
      if (wanted || program) writeFigure(f, lastPoint, layer);
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
      for (const tWarstwa& layer : project.warstwy->getLayersList()) {
        if (!layer.aktywna || !project.WarstwaBedzieObrabiana(first, last, layer.org_color)) continue;
        const int nextHead = layer.glowica - 1;
        w.ZastosujParametryWarstwy(layer, previousHead, lastPoint, nextHead);
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
  job::Thpgl w(out, s, m, opt);
  tJobRun run{project, s, m, w, first, last, std::clamp(request.chosenHead, 0, 2)};
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
  return result;
}

// Runs the writer into the atomic file; any failure removes the temporary
// file and comes back as the result's error.
tJobResult writeFile(TMDIChild& project, const tJobSettings& s, const tMachineState& machine,
                     const std::filesystem::path& path, const tJobRequest& request, bool multi) {
  tJobResult result;
  try {
    tAtomicJobFile file(path);
    result = writeInto(file, project, s, machine, request, multi);
    if (!result.ok) {
      result.error = "Cannot write the job \"" + path.string() + "\": " + result.error;
      return result;
    }
    file.commit();
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
