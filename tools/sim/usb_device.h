// The simulated controller as a USB HID device in the same process: output
// reports carry commands to it, string descriptors 10 to 25 and input reports
// carry its status reports. With a wall clock attached, every call first lets
// the controller catch up with the time that passed (scaled by its time
// scale); without one the caller moves the controller's clock itself.
#pragma once
#include "no_qt.h"

#include "controller.h"

#include "link/hid_device.h"
#include "link/hid_service.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace trazvik::sim {

class SimHidDevice : public HidDevice {
 public:
  SimHidDevice(std::shared_ptr<SimController> controller, bool followWallClock);

  HidResult open() override;
  void close() override;
  bool isOpen() const override { return open_; }
  bool connected() const override;

  std::string manufacturer() const override;
  std::string product() const override;
  std::string serialNumber() const override;

  HidResult writeOutputReport(std::span<const std::uint8_t, outputReportSize> report) override;
  HidResult readInputReport(std::span<std::uint8_t> buffer, std::chrono::milliseconds timeout) override;
  HidResult readStringDescriptor(int index, std::vector<std::uint8_t>& body) override;

  SimController& controller() { return *controller_; }

  // Time one report takes on the link; 0: no limit. A real controller's
  // full-speed endpoint carries one report a millisecond.
  std::chrono::microseconds reportInterval{0};
  // Reports that went over the link (output reports written, status
  // reports read).
  std::uint64_t reports() const { return reports_.load(); }
  // Of those, the status reports read.
  std::uint64_t statusReports() const { return statusReports_.load(); }

 private:
  void catchUp();
  void pace();
  std::optional<HidResult> unavailable() const;

  std::shared_ptr<SimController> controller_;
  bool followWallClock_;
  bool open_ = false;
  std::chrono::steady_clock::time_point last_;
  std::chrono::steady_clock::time_point nextReport_{};
  std::atomic<std::uint64_t> reports_{0};
  std::atomic<std::uint64_t> statusReports_{0};
};

// The devices a test attaches in place of the platform's, each listed while
// it says it is connected (a simulated controller unplugged drops out).
class ListedHidService : public tHidService {
 public:
  std::vector<std::shared_ptr<HidDevice>> enumerate() override {
    std::vector<std::shared_ptr<HidDevice>> attached;
    for (auto& d : devices)
      if (d->connected()) attached.push_back(d);
    return attached;
  }
  std::string attachedFingerprint() override { return std::to_string(enumerate().size()); }

  std::vector<std::shared_ptr<HidDevice>> devices;
};

}  // namespace trazvik::sim
