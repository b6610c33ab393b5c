#include "job/figure_index.h"

#include "base/atomic_file.h"
#include "base/content_hash.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace trazvik {

namespace {

constexpr const char* kHeader = "trazvik job index 1";

std::string number(double v) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.6f", v);
  return buffer;
}

template <typename T>
bool readInt(const std::string& s, T& out) {
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
  return ec == std::errc{} && end == s.data() + s.size();
}

bool readReal(const std::string& s, double& out) {
  if (s.empty()) return false;
  char* end = nullptr;
  out = std::strtod(s.c_str(), &end);
  return end == s.c_str() + s.size() && std::isfinite(out);
}

// "figure F layer L start S cut C done D end E"
bool readBlock(const std::string& rest, tFigureBlock& b) {
  std::istringstream in(rest);
  std::string figure, kLayer, layer, kStart, start, kCut, cut, kDone, done, kEnd, end, more;
  in >> figure >> kLayer >> layer >> kStart >> start >> kCut >> cut >> kDone >> done >> kEnd >> end;
  if (!in || (in >> more)) return false;
  if (kLayer != "layer" || kStart != "start" || kCut != "cut" || kDone != "done" || kEnd != "end") return false;
  if (!readInt(figure, b.figure) || !readInt(layer, b.layer) || !readInt(start, b.start) || !readInt(cut, b.cut) ||
      !readInt(done, b.done) || !readInt(end, b.end))
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
  std::istringstream in(text);
  std::string line;
  int lineNo = 0;
  tJobIndex index;
  auto refuse = [&](const std::string& why) -> std::optional<tJobIndex> {
    error = name + ", line " + std::to_string(lineNo) + ": " + why;
    return std::nullopt;
  };
  bool header = false;
  while (std::getline(in, line)) {
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!header) {
      if (line != kHeader) return refuse("not a job index (\"" + line + "\")");
      header = true;
      continue;
    }
    if (line.empty()) continue;
    const auto space = line.find(' ');
    const std::string key = line.substr(0, space);
    const std::string rest = space == std::string::npos ? std::string() : line.substr(space + 1);
    if (key == "job") {
      index.jobHash = rest;
    } else if (key == "project") {
      index.projectFile = rest;
    } else if (key == "project-hash") {
      index.projectHash = rest;
    } else if (key == "machine") {
      index.machineType = rest;
    } else if (key == "head") {
      if (!readInt(rest, index.head) || index.head < 0 || index.head > 2) return refuse("bad head \"" + rest + "\"");
    } else if (key == "origin") {
      const auto gap = rest.find(' ');
      if (gap == std::string::npos || !readReal(rest.substr(0, gap), index.originX) ||
          !readReal(rest.substr(gap + 1), index.originY))
        return refuse("bad origin \"" + rest + "\"");
    } else if (key == "start-z") {
      if (!readReal(rest, index.startZ)) return refuse("bad start height \"" + rest + "\"");
    } else if (key == "figure") {
      tFigureBlock b;
      if (!readBlock(rest, b)) return refuse("bad figure block \"" + line + "\"");
      if (!index.blocks.empty() && b.start < index.blocks.back().end)
        return refuse("figure block overlaps the one before it");
      index.blocks.push_back(b);
    }
    // Other keys: written by a newer program, not needed here.
  }
  if (!header) return refuse("empty file");
  if (index.jobHash.empty()) return refuse("no job fingerprint");
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
