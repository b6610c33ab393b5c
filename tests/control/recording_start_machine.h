// A machine for the start of cutting that records what it is asked to do.
#pragma once
#include "control/start_machine.h"
#include "job/job_machine.h"

#include <cstdio>
#include <string>
#include <vector>

namespace trazvik::testing {

class RecordingStartMachine : public tStartMachine {
 public:
  // An identified "YFB 32" at firmware 7.20 (the job is written for it).
  RecordingStartMachine() {
    const tMachineState identified = jobMachineFor("YFB 32", 7, 20);
    model_ = identified.model;
    link_ = identified.link;
    link_.cncMachine = true;
    link_.workArea = {1000, 600, 120};
    model_.machineParams.speedMultiplier = 1;
    model_.machineParams.headCount = 1;
    model_.machineParams.displayDecimals = 2;
    state_.pos0 = {10000, 10000, 5000};
    state_.info1 = "YFB 32";
  }

  bool linkUp() override { return up; }
  tplotstate& state() override { return state_; }
  const tMachineModel& model() override { return model_; }
  tLinkState& link() override { return link_; }
  void readState() override { log.push_back("readState"); }
  bool readInputs() override {
    log.push_back("readInputs");
    return true;
  }
  bool waitWhileBusy() override {
    log.push_back("wait");
    return true;
  }
  void send(const Bytes& command) override {
    std::string text(1, static_cast<char>(command.empty() ? '?' : command[0]));
    for (std::size_t i = 1; i < command.size(); ++i) {
      char hex[8];
      std::snprintf(hex, sizeof hex, " %02X", command[i]);
      text += hex;
    }
    log.push_back(text);
  }
  void sleep(std::chrono::milliseconds d) override { log.push_back("sleep " + std::to_string(d.count())); }
  std::uint32_t speedToPeriod(std::int64_t feed) override { return static_cast<std::uint32_t>(feed); }
  bool moveToPoint(std::uint8_t slot, double z, double y, double x) override {
    log.push_back("move " + std::to_string(slot) + " z" + std::to_string(z) + " y" + std::to_string(y) + " x" +
                  std::to_string(x));
    return moveSucceeds;
  }
  void activateHead(int head) override { log.push_back("head " + std::to_string(head)); }
  void setStartPowers(double idle, double work) override {
    log.push_back("powers " + std::to_string(idle) + " " + std::to_string(work));
  }
  void rotateKnifeTo(double dx, double dy) override {
    log.push_back("knife " + std::to_string(dx) + " " + std::to_string(dy));
  }
  bool transferOpen() override { return open; }
  void stopTransfer() override {
    log.push_back("stopTransfer");
    open = false;
  }
  bool startTransfer() override {
    log.push_back("startTransfer");
    open = transferStarts;
    return transferStarts;
  }

  bool contains(const std::string& entry) const {
    for (const auto& e : log)
      if (e == entry) return true;
    return false;
  }

  bool up = true;
  bool moveSucceeds = true;
  bool transferStarts = true;
  bool open = false;
  std::vector<std::string> log;
  tplotstate state_;
  tMachineModel model_;
  tLinkState link_;
};

}  // namespace trazvik::testing
