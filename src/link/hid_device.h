// The few things the USB link needs from one HID controller: its identity
// strings, 17-byte output reports, input reports and the numbered string
// descriptors that carry the status reports. A real device (hidapi) and the
// in-process simulated controller both implement it, so the transport above
// never knows which one it talks to.
#pragma once
#include "no_qt.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace trazvik {

// Result of one device operation: 0 on success, otherwise the platform's
// error code (the link treats 31, "device reports a general failure", apart).
struct HidResult {
  int error = 0;
  std::size_t bytes = 0;

  bool ok() const { return error == 0; }
};

namespace hid_errors {
inline constexpr int generalFailure = 31;  // the write may be counted as sent
inline constexpr int notConnected = 1167;  // device gone (unplugged)
inline constexpr int timedOut = 1460;      // nothing arrived in time
inline constexpr int notOpen = 6;          // operation on a closed device
inline constexpr int badIndex = 87;        // no such string descriptor
}  // namespace hid_errors

class HidDevice {
 public:
  // One output report: byte 0 is the report number (0), bytes 1 to 16 the payload.
  static constexpr std::size_t outputReportSize = 17;
  static constexpr std::size_t outputPayloadSize = outputReportSize - 1;
  // String descriptors are read into a buffer of this size (body only).
  static constexpr std::size_t stringDescriptorSize = 256;

  virtual ~HidDevice() = default;

  virtual HidResult open() = 0;
  virtual void close() = 0;
  virtual bool isOpen() const = 0;
  // Still attached (false once unplugged or after the link dropped).
  virtual bool connected() const = 0;

  virtual std::string manufacturer() const = 0;
  virtual std::string product() const = 0;
  virtual std::string serialNumber() const = 0;

  // Writes one 17-byte report; blocks until it is taken.
  virtual HidResult writeOutputReport(std::span<const std::uint8_t, outputReportSize> report) = 0;
  // Reads one input report into `buffer`; result.bytes is its length.
  virtual HidResult readInputReport(std::span<std::uint8_t> buffer, std::chrono::milliseconds timeout) = 0;
  // Reads string descriptor `index` without its two-byte header, at most
  // stringDescriptorSize bytes; the body is returned in `body`.
  virtual HidResult readStringDescriptor(int index, std::vector<std::uint8_t>& body) = 0;
};

}  // namespace trazvik
