#include "link/usb.h"

#include "base/text.h"

#include <algorithm>
#include <thread>

namespace trazvik {

namespace {}  // namespace

TfUsb::TfUsb(tHidService& service, tLinkState& link)
    : sleep([](std::chrono::milliseconds d) { std::this_thread::sleep_for(d); }), service_(service), link_(link) {}

TfUsb::~TfUsb() {
  if (TheDev) TheDev->close();
}

void TfUsb::FormCreate() {
  DeviceChange();
  static const std::uint8_t x[] = {'X'};
  Write(x);
}

void TfUsb::enumerate() {
  devList_ = service_.enumerate();
  UsbError = false;
}

void TfUsb::DeviceChange() {
  if (TheDev) TheDev->close();
  TheDev.reset();
  devList_.clear();
  Present = false;
  fingerprint_ = service_.attachedFingerprint();
  enumerate();
  const bool present = DornelisFrezExist();
  if (onDeviceChange) onDeviceChange(present);
}

bool TfUsb::checkDevices() {
  if (service_.attachedFingerprint() == fingerprint_) return false;
  DeviceChange();
  return true;
}

bool TfUsb::DornelisFrezExist() {
  if (Present) return true;
  for (const auto& d : devList_) {
    const std::string product = d->product();
    if (d->manufacturer() != "DornElis" || product.empty() || product[0] == 'i') continue;
    if (!machineFilter.empty() && base::trimmed(product) != machineFilter) continue;
    if (TheDev != d) {
      if (TheDev) TheDev->close();
      TheDev = d;
    }
    Present = true;
    return true;
  }
  Present = false;
  return false;
}

HidResult TfUsb::writeReport(const std::array<std::uint8_t, HidDevice::outputReportSize>& report) {
  if (!TheDev->isOpen()) {
    if (HidResult r = TheDev->open(); !r.ok()) return r;
  }
  return TheDev->writeOutputReport(report);
}

std::int32_t TfUsb::Write(ByteSpan command) {
  Poszlo = 0;
  if (!DornelisFrezExist()) return usb_results::noController;
  std::array<std::uint8_t, HidDevice::outputReportSize> report{};
  constexpr std::size_t payload = HidDevice::outputPayloadSize;
  if (command.size() <= payload) {
    std::copy(command.begin(), command.end(), report.begin() + 1);
    const HidResult r = writeReport(report);
    if (r.ok()) {
      Poszlo = static_cast<std::uint32_t>(r.bytes);
      return 0;
    }
    if (r.error == hid_errors::generalFailure) {
      sleep(generalFailurePause);
      ++link_.usbWriteErrors;
      return 0;
    }
    Present = false;
    return r.error;
  }
  // Two reports; the second keeps the tail of the first behind its bytes.
  std::copy_n(command.begin(), payload, report.begin() + 1);
  const HidResult first = writeReport(report);
  const std::size_t rest = std::min(command.size(), 2 * payload) - payload;
  std::copy_n(command.begin() + payload, rest, report.begin() + 1);
  const HidResult second = writeReport(report);
  Poszlo = static_cast<std::uint32_t>(second.bytes);
  (void)first;
  return second.error;
}

std::int32_t TfUsb::ReadString(int index) {
  int lastError = -1;
  bodyLength = 0;
  if (Present && DornelisFrezExist() && (TheDev->isOpen() || TheDev->open().ok())) {
    for (int attempt = 0; attempt < readAttempts; ++attempt) {
      std::vector<std::uint8_t> body;
      const HidResult r = TheDev->readStringDescriptor(index, body);
      if (r.ok()) {
        BufIn.fill(0);
        bodyLength = std::min(body.size(), HidDevice::stringDescriptorSize);
        std::copy_n(body.begin(), bodyLength, BufIn.begin());
        return 0;
      }
      lastError = r.error;
      ++link_.usbReadErrors;
      sleep(readRetryPause);
    }
  }
  BufIn.fill(0);
  Present = false;
  return lastError;
}

}  // namespace trazvik
