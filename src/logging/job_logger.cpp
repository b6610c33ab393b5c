#include "logging/job_logger.h"

#include "base/atomic_file.h"
#include "base/directories.h"
#include "config/number_text.h"
#include "logging/log_numbers.h"

#include <pugixml.hpp>

#include <sstream>
#include <utility>

namespace trazvik::logging {

TJobLogger::TJobLogger(TCutJob& job, std::string folder, DateTimeText xmlTime, char decimalSeparator)
    : FJob(job),
      FStoragePath(folder.empty() ? std::string("./") : base::withFinalSeparator(std::move(folder))),
      xmlTime_(std::move(xmlTime)),
      separator_(decimalSeparator) {}

std::string TJobLogger::JobFileName() const {
  return "JOB_" + formatFileStamp(FJob.FStartTime) + "_" + FJob.FJobID + ".xml";
}

std::string TJobLogger::JobDocument() const {
  pugi::xml_document doc;
  pugi::xml_node decl = doc.append_child(pugi::node_declaration);
  decl.append_attribute("version") = "1.0";
  decl.append_attribute("encoding") = "utf-8";
  pugi::xml_node job = doc.append_child("Job");
  auto add = [&job](const char* name, const std::string& text) { job.append_child(name).text() = text.c_str(); };
  add("JobID", FJob.FJobID);
  add("Machine", FJob.FMachine);
  add("StatusId", std::to_string(FJob.FStatusId));
  add("Status", FJob.FStatusStr);
  add("StartTime", xmlTime_(FJob.FStartTime));
  add("FinishTime", xmlTime_(FJob.FFinishTime));
  add("Duration", formatDuration(FJob.FDuration));
  add("ProjectFile", FJob.FProjectFile);
  add("ConfigFile", FJob.FConfigFile);
  add("CuttingPower", config::formatGeneral(FJob.FCuttingPower, separator_));
  add("CuttingSpeed", std::to_string(FJob.FCuttingSpeed));
  add("CuttingAnglePause", std::to_string(FJob.FCuttingAnglePause));
  add("EstimatedCuttingTime", std::to_string(FJob.FEstimatedCuttingTime));
  add("CuttingLenght", fixedOneDecimal(FJob.FCuttingLenght, separator_));
  if (!FJob.FNote.empty()) add("Note", FJob.FNote);
  // Beyond the elements above, read by the program itself when a job is
  // taken up again; a reader that does not know them passes them by.
  if (!FJob.FProjectHash.empty()) add("ProjectHash", FJob.FProjectHash);
  if (!FJob.FResumedFrom.empty()) add("ResumedFrom", FJob.FResumedFrom);
  std::ostringstream out;
  doc.save(out, "  ", pugi::format_indent, pugi::encoding_utf8);
  return out.str();
}

std::optional<std::string> TJobLogger::StoreJob() {
  if (!FEnabled) return std::nullopt;
  const std::string document = JobDocument();
  FJobFile = JobFileName();
  std::string reason;
  if (!base::ensureDirectory(FStoragePath, &reason)) return FStoragePath + ": " + reason;
  std::string error;
  if (!base::writeFileAtomically(FStoragePath + FJobFile, document, &error)) return error;
  return std::nullopt;
}

}  // namespace trazvik::logging
