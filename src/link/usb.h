// The USB link: selection of the controller among the HID devices, commands
// as 17-byte output reports, status reports read as string descriptors, the
// error counters and plugging/unplugging noticed by a periodic check.
#pragma once
#include "no_qt.h"

#include "machine/byte_fields.h"
#include "link/hid_service.h"
#include "machine/link_state.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace trazvik {

namespace usb_results {
inline constexpr std::int32_t noController = -123456;
}

class TfUsb {
 public:
  static constexpr int readAttempts = 10;
  static constexpr std::chrono::milliseconds readRetryPause{10};
  static constexpr std::chrono::milliseconds generalFailurePause{500};

  TfUsb(tHidService& service, tLinkState& link);
  ~TfUsb();

  // Device filter of the "OnlyMachine" argument; empty: any controller.
  std::string machineFilter;
  // Runs after each device change with the selection's result (the caller
  // reads the machine information and shows the status-bar text).
  std::function<void(bool present)> onDeviceChange;
  // The waits between attempts (tests make them instant).
  std::function<void(std::chrono::milliseconds)> sleep;

  // Start-up: enumerate, select, and send the one-byte command "X".
  void FormCreate();
  // The plug/unplug handler: forget the devices, enumerate, select.
  void DeviceChange();
  // The periodic check: runs DeviceChange when the attached devices
  // changed since the last look; true when it did.
  bool checkDevices();

  bool DornelisFrezExist();
  // 0, noController, or the device error of the failed write.
  std::int32_t Write(ByteSpan command);
  // 0 with BufIn filled, else the last error (or -1) with BufIn zeroed.
  std::int32_t ReadString(int index);

  bool Present = false;
  bool UsbError = false;
  std::uint32_t Poszlo = 0;
  std::array<std::uint8_t, 257> BufIn{};
  std::size_t bodyLength = 0;  // bytes of the last report that came in BufIn
  std::shared_ptr<HidDevice> TheDev;
  const std::vector<std::shared_ptr<HidDevice>>& DevList() const { return devList_; }

 private:
  void enumerate();
  HidResult writeReport(const std::array<std::uint8_t, HidDevice::outputReportSize>& report);

  tHidService& service_;
  tLinkState& link_;
  std::vector<std::shared_ptr<HidDevice>> devList_;
  std::string fingerprint_;
};

}  // namespace trazvik
