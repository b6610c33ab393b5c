#include "usb_device.h"

#include <algorithm>
#include <thread>

namespace trazvik::sim {

SimHidDevice::SimHidDevice(std::shared_ptr<SimController> controller, bool followWallClock)
    : controller_(std::move(controller)), followWallClock_(followWallClock), last_(std::chrono::steady_clock::now()) {}

void SimHidDevice::catchUp() {
  if (!followWallClock_) return;
  const auto now = std::chrono::steady_clock::now();
  controller_->advanceWall(now - last_);
  last_ = now;
}

void SimHidDevice::pace() {
  ++reports_;
  if (reportInterval.count() <= 0) return;
  const auto now = std::chrono::steady_clock::now();
  if (nextReport_ > now) std::this_thread::sleep_until(nextReport_);
  nextReport_ = std::max(now, nextReport_) + reportInterval;
}

std::optional<HidResult> SimHidDevice::unavailable() const {
  if (!controller_->usbConnected()) return HidResult{hid_errors::notConnected, 0};
  if (!open_) return HidResult{hid_errors::notOpen, 0};
  return std::nullopt;
}

HidResult SimHidDevice::open() {
  if (!controller_->usbConnected()) return {hid_errors::notConnected, 0};
  open_ = true;
  last_ = std::chrono::steady_clock::now();
  return {};
}

void SimHidDevice::close() { open_ = false; }

bool SimHidDevice::connected() const { return controller_->usbConnected(); }

std::string SimHidDevice::manufacturer() const { return controller_->config().manufacturer; }
std::string SimHidDevice::product() const { return controller_->config().product; }
std::string SimHidDevice::serialNumber() const { return controller_->config().serial; }

HidResult SimHidDevice::writeOutputReport(std::span<const std::uint8_t, outputReportSize> report) {
  if (auto e = unavailable()) return *e;
  pace();
  catchUp();
  controller_->onUsbPayload(report.subspan(1));
  return {0, outputReportSize};
}

HidResult SimHidDevice::readInputReport(std::span<std::uint8_t> buffer, std::chrono::milliseconds timeout) {
  if (auto e = unavailable()) return *e;
  if (controller_->stalled()) {
    std::this_thread::sleep_for(std::min(timeout, std::chrono::milliseconds(1000)));
    return {hid_errors::timedOut, 0};
  }
  catchUp();
  const Bytes body = controller_->usbReport(10);
  const std::size_t n = std::min(buffer.size(), body.size());
  std::copy_n(body.begin(), n, buffer.begin());
  return {0, n};
}

HidResult SimHidDevice::readStringDescriptor(int index, std::vector<std::uint8_t>& body) {
  if (auto e = unavailable()) return *e;
  if (controller_->stalled()) return {hid_errors::timedOut, 0};
  if (index < 10 || index > 25) return {hid_errors::badIndex, 0};
  pace();
  ++statusReports_;
  catchUp();
  body = controller_->usbReport(index);
  if (body.size() > stringDescriptorSize) body.resize(stringDescriptorSize);
  return {0, body.size()};
}

}  // namespace trazvik::sim
