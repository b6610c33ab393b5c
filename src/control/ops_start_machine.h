// The start of cutting bound to the real machine: the link operations and
// the timer-driven job transfer.
#pragma once
#include "control/start_machine.h"
#include "control/trans_arm.h"
#include "link/machine_ops.h"

namespace trazvik {

class tOpsStartMachine : public tStartMachine {
 public:
  tOpsStartMachine(tMachineOps& ops, TTransArm& transfer) : ops_(ops), transfer_(transfer) {}

  bool linkUp() override { return ops_.linkUp(); }
  tplotstate& state() override { return ops_.st; }
  const tMachineModel& model() override { return ops_.machine; }
  tLinkState& link() override { return ops_.linkState(); }
  // The state with the work zero the checks measure from.
  void readState() override {
    ops_.status.readState();
    ops_.status.readZeroPoint();
  }
  bool readInputs() override { return ops_.status.readInputs(); }
  bool waitWhileBusy() override;
  void send(const Bytes& command) override { ops_.send(command); }
  void sleep(std::chrono::milliseconds duration) override { ops_.wait(duration); }
  std::uint32_t speedToPeriod(std::int64_t feed) override;
  bool moveToPoint(std::uint8_t slot, double z, double y, double x) override;
  void activateHead(int head) override;
  void setStartPowers(double idle, double work) override;
  void rotateKnifeTo(double dx, double dy) override;
  bool transferOpen() override { return transfer_.isOpen; }
  void stopTransfer() override { transfer_.stop(); }
  bool startTransfer() override { return transfer_.start(); }

 private:
  tMachineOps& ops_;
  TTransArm& transfer_;
};

}  // namespace trazvik
