#include "logging/app_logs.h"

#include "base/text.h"

#include "config/global_cfg.h"
#include "config/number_text.h"
#include "logging/log_numbers.h"
#include "texts/message_boxes.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace trazvik::logging {
namespace {

// The settings file named in "Halvorek.cfg", when the record can be read.
std::optional<std::string> settingsFileOf(const std::string& cfgPath) {
  std::ifstream in(cfgPath, std::ios::binary);
  if (!in) return std::nullopt;
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (bytes.size() < config::kGlobalCfgSize) return std::string();
  std::array<std::uint8_t, config::kGlobalCfgSize> record{};
  std::copy_n(bytes.begin(), config::kGlobalCfgSize, record.begin());
  return config::decodeGlobalCfg(record).settingsFile;
}

}  // namespace

AppLogs::AppLogs(LogSetup setup) : setup_(std::move(setup)) {
  stopwatch_ = std::make_unique<TStopWatch>(setup_.clock);
  manager_ = std::make_unique<TLogManager>(setup_.dataDirectory + "Logs", setup_.clock);
  manager_->setExtension(".txt");
  manager_->DeleteOldFiles(kLogRetentionDays);
  if (setup_.texts)
    eventLogger_ = std::make_unique<TEventLogger>(manager_->LogFileName(), *setup_.texts, setup_.clock, setup_.xmlTime);
  else
    eventLogger_ = std::make_unique<TEventLogger>(manager_->LogFileName(), setup_.clock, setup_.xmlTime);
  eventLogger_->FEventDataIdent = 12;
  job_ = std::make_unique<TCutJob>(setup_.clock, setup_.makeJobId);
  jobLogger_ =
      std::make_unique<TJobLogger>(*job_, setup_.dataDirectory + "Jobs", setup_.xmlTime, setup_.decimalSeparator);
  jobLogger_->FEnabled = setup_.jobLogging;
}

std::string AppLogs::text(const char* key) const { return jobLoggerText(setup_.texts, key); }

std::string AppLogs::elapsedLine() const { return text("ev_str_cut_time") + stopwatch_->ElapsedText(); }

void AppLogs::report(const std::optional<std::string>& failure, const std::string& file) {
  if (!failure) {
    if (std::find(filesWritten_.begin(), filesWritten_.end(), file) == filesWritten_.end())
      filesWritten_.push_back(file);
    return;
  }
  failures_.push_back(*failure);
  if (setup_.boxes) setup_.boxes->showMessage(*failure, true, texts::messageCaption(true, std::nullopt));
}

void AppLogs::writeEvent() {
  manager_->setExtension(".txt");
  eventLogger_->FLogFile = manager_->LogFileName();
  report(eventLogger_->DumpEventToTXT(), eventLogger_->FLogFile);
  if (setup_.saveLogToXml) {
    manager_->setExtension(".xml");
    eventLogger_->FLogFile = manager_->LogFileName();
    report(eventLogger_->DumpEventToXML(), eventLogger_->FLogFile);
    manager_->setExtension(".txt");
  }
}

void AppLogs::storeJob() {
  if (!jobLogger_->FEnabled) return;
  const auto failure = jobLogger_->StoreJob();
  report(failure, jobLogger_->JobFilePath());
}

void AppLogs::log_start_app(const std::string& programFile, const std::string& programVersion) {
  TAppEvent& event = eventLogger_->FAppEvent;
  event.Clear();
  event.RegisterEvent(LOG_EV_APP_START);
  event.AddEventData(text("ev_str_app_ver") + programVersion);
  const std::string cfgPath = setup_.dataDirectory + config::kGlobalCfgName;
  std::string lines = text("ev_str_exe_file") + programFile + "\r\n";
  std::error_code ec;
  const bool cfgExists = std::filesystem::is_regular_file(cfgPath, ec);
  lines += text(cfgExists ? "ev_str_gcf_file" : "ev_str_gcf_file_not_exist") + cfgPath + "\r\n";
  if (cfgExists) {
    const std::string mcc = base::trimmed(settingsFileOf(cfgPath).value_or(std::string()));
    std::filesystem::path mccPath(mcc);
    if (!mcc.empty() && mccPath.is_relative()) mccPath = std::filesystem::path(setup_.dataDirectory) / mccPath;
    const bool mccExists = !mcc.empty() && std::filesystem::is_regular_file(mccPath, ec);
    lines += text(mccExists ? "ev_str_mcc_file" : "ev_str_mcc_file_not_exist") + mcc;
  }
  event.AddEventData(lines);
  writeEvent();
}

void AppLogs::log_end_app() {
  TAppEvent& event = eventLogger_->FAppEvent;
  event.Clear();
  event.RegisterEvent(LOG_EV_APP_STOP);
  writeEvent();
}

void AppLogs::log_cut_start(const CutStartInfo& info) {
  const char sep = setup_.decimalSeparator;
  TAppEvent& event = eventLogger_->FAppEvent;
  event.Clear();
  event.RegisterEvent(LOG_EV_CUT_START);
  event.AddEventData(text("ev_str_prj_name") + info.projectCaption);
  event.AddEventData(text("ev_str_config") + info.settingsCaption);
  event.AddEventData(text("ev_str_cut_speed") + config::formatGeneral(info.workSpeed, sep));
  event.AddEventData(text("ev_str_cut_rotation") + config::formatGeneral(info.workPower, sep));
  event.AddEventData(text("ev_str_tool_diameter") + config::formatGeneral(info.toolDiameter, sep));
  event.AddEventData(text("ev_str_estimated_cutting_time") +
                     config::formatGeneral(std::nearbyint(info.estimatedCuttingTime), sep));
  event.AddEventData(text("ev_str_cutting_lenght") + fixedOneDecimal(info.cuttingLength, sep));
  if (!info.resumedFrom.empty()) event.AddEventData(text("ev_str_resumed") + info.resumedFrom);
  stopwatch_->Restart();
  writeEvent();
  if (jobLogger_->FEnabled) {
    updateCount_ = 0;
    job_->RegisterNew(info.machine, info.projectCaption, info.cuttingLength, info.estimatedCuttingTime, 0,
                      static_cast<std::int32_t>(std::nearbyint(std::clamp(info.workSpeed, -2e9, 2e9))), info.workPower,
                      info.settingsCaption);
    job_->FProjectHash = info.projectHash;
    job_->FResumedFrom = info.resumedFrom;
    job_->RegisterStart();
    storeJob();
  }
}

void AppLogs::log_cut_stop() {
  stopwatch_->Stop();
  TAppEvent& event = eventLogger_->FAppEvent;
  event.Clear();
  event.RegisterEvent(LOG_EV_CUT_STOP);
  event.AddEventData(elapsedLine());
  writeEvent();
  if (jobLogger_->FEnabled) {
    job_->RegisterPause();
    storeJob();
  }
}

void AppLogs::log_cut_continue() {
  stopwatch_->Start();
  TAppEvent& event = eventLogger_->FAppEvent;
  event.Clear();
  event.RegisterEvent(LOG_EV_CUT_CONTINUE);
  writeEvent();
  if (jobLogger_->FEnabled) {
    job_->RegisterContinue();
    storeJob();
  }
}

void AppLogs::log_cut_end() {
  stopwatch_->Stop();
  TAppEvent& event = eventLogger_->FAppEvent;
  event.Clear();
  event.RegisterEvent(LOG_EV_CUT_END_OF_JOB);
  event.AddEventData(elapsedLine());
  writeEvent();
  if (jobLogger_->FEnabled) {
    job_->RegisterFinish();
    storeJob();
  }
}

void AppLogs::log_cut_abandoned() {
  stopwatch_->Stop();
  TAppEvent& event = eventLogger_->FAppEvent;
  event.Clear();
  event.RegisterEvent(LOG_EV_CUT_STOP);
  event.AddEventData(elapsedLine());
  event.AddEventData("Job stopped by the operator");
  writeEvent();
  if (jobLogger_->FEnabled) {
    job_->RegisterStop();
    storeJob();
  }
}

void AppLogs::log_cut_interrupted(const std::string& where) {
  stopwatch_->Stop();
  TAppEvent& event = eventLogger_->FAppEvent;
  event.Clear();
  event.RegisterEvent(LOG_EV_CUT_STOP);
  event.AddEventData(elapsedLine());
  event.AddEventData(where);
  writeEvent();
  if (jobLogger_->FEnabled) {
    job_->RegisterPause();
    job_->FNote = where;
    storeJob();
  }
}

void AppLogs::JobTimeDisplayTimer() {
  if (!jobLogger_->FEnabled || job_->FStatusId != 1) return;
  if (++updateCount_ < 10) return;
  updateCount_ = 0;
  job_->UpdateDuration();
  storeJob();
}

}  // namespace trazvik::logging
