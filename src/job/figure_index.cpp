#include "job/figure_index.h"

#include "base/atomic_file.h"
#include "base/content_hash.h"
#include "base/keyed_records.h"

#include <fstream>
#include <sstream>

namespace trazvik {

namespace {

constexpr const char* kHeader = "trazvik job index 1";

std::string number(double v) { return base::fixedText(v, 6); }

using base::readFiniteReal;
using base::readWholeNumber;

// "figure F layer L start S cut C done D end E"
bool readBlock(const std::string& rest, tFigureBlock& b) {
  std::istringstream in(rest);
  std::string figure, kLayer, layer, kStart, start, kCut, cut, kDone, done, kEnd, end, more;
  in >> figure >> kLayer >> layer >> kStart >> start >> kCut >> cut >> kDone >> done >> kEnd >> end;
  if (!in || (in >> more)) return false;
  if (kLayer != "layer" || kStart != "start" || kCut != "cut" || kDone != "done" || kEnd != "end") return false;
  if (!readWholeNumber(figure, b.figure) || !readWholeNumber(layer, b.layer) || !readWholeNumber(start, b.start) ||
      !readWholeNumber(cut, b.cut) || !readWholeNumber(done, b.done) || !readWholeNumber(end, b.end))
    return false;
  return b.figure >= 0 && b.start <= b.cut && b.cut <= b.done && b.done <= b.end;
}

}  // namespace

std::optional<std::size_t> tJobIndex::blockAt(std::uint64_t at) const {
  for (std::size_t i = 0; i < blocks.size(); ++i)
    if (at < blocks[i].end) return i;
  return std::nullopt;
}

std::filesystem::path jobIndexPathOf(const std::filesystem::path& jobFile) {
  std::filesystem::path p = jobFile;
  p += ".idx";
  return p;
}

std::string jobIndexText(const tJobIndex& index) {
  std::string t = std::string(kHeader) + "\n";
  t += "job " + index.jobHash + "\n";
  t += "project " + index.projectFile + "\n";
  t += "project-hash " + index.projectHash + "\n";
  t += "machine " + index.machineType + "\n";
  t += "head " + std::to_string(index.head) + "\n";
  t += "origin " + number(index.originX) + " " + number(index.originY) + "\n";
  t += "start-z " + number(index.startZ) + "\n";
  for (const tFigureBlock& b : index.blocks)
    t += "figure " + std::to_string(b.figure) + " layer " + std::to_string(b.layer) + " start " +
         std::to_string(b.start) + " cut " + std::to_string(b.cut) + " done " + std::to_string(b.done) + " end " +
         std::to_string(b.end) + "\n";
  return t;
}

std::optional<tJobIndex> parseJobIndex(const std::string& text, const std::string& name, std::string& error) {
  tJobIndex index;
  error = base::readKeyedRecords(text, kHeader, "job index", name, [&](const base::tKeyedLine& l) -> std::string {
    const std::string& rest = l.rest;
    if (l.key == "job") {
      index.jobHash = rest;
    } else if (l.key == "project") {
      index.projectFile = rest;
    } else if (l.key == "project-hash") {
      index.projectHash = rest;
    } else if (l.key == "machine") {
      index.machineType = rest;
    } else if (l.key == "head") {
      if (!readWholeNumber(rest, index.head) || index.head < 0 || index.head > 2) return "bad head \"" + rest + "\"";
    } else if (l.key == "origin") {
      const auto gap = rest.find(' ');
      if (gap == std::string::npos || !readFiniteReal(rest.substr(0, gap), index.originX) ||
          !readFiniteReal(rest.substr(gap + 1), index.originY))
        return "bad origin \"" + rest + "\"";
    } else if (l.key == "start-z") {
      if (!readFiniteReal(rest, index.startZ)) return "bad start height \"" + rest + "\"";
    } else if (l.key == "figure") {
      tFigureBlock b;
      if (!readBlock(rest, b)) return "bad figure block \"" + l.line + "\"";
      if (!index.blocks.empty() && b.start < index.blocks.back().end) return "figure block overlaps the one before it";
      index.blocks.push_back(b);
    }
    return "";
  });
  if (!error.empty()) return std::nullopt;
  if (index.jobHash.empty()) {
    error = name + ": no job fingerprint";
    return std::nullopt;
  }
  return index;
}

bool writeJobIndex(const std::filesystem::path& path, const tJobIndex& index, std::string& error) {
  return base::writeFileAtomically(path, jobIndexText(index), &error);
}

std::optional<tJobIndex> readJobIndexOf(const std::filesystem::path& jobFile, std::string& error) {
  const std::filesystem::path path = jobIndexPathOf(jobFile);
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "The figure index " + path.string() + " cannot be read";
    return std::nullopt;
  }
  std::ostringstream text;
  text << in.rdbuf();
  auto index = parseJobIndex(text.str(), path.string(), error);
  if (!index) return std::nullopt;
  const auto hash = base::fileContentHash(jobFile);
  if (!hash) {
    error = "The job file " + jobFile.string() + " cannot be read";
    return std::nullopt;
  }
  if (*hash != index->jobHash) {
    error = "The figure index " + path.string() + " belongs to another job than " + jobFile.string();
    return std::nullopt;
  }
  return index;
}

}  // namespace trazvik
