// The status operations (readState, readPositions, ... readMachineInfo) over
// whichever link is active. The link itself is behind tStatusChannel, which
// the USB, Ethernet and parallel transports implement; decoding is in
// status_decode.h, so this file only holds the order of the reads.
#pragma once
#include "no_qt.h"

#include "base/startup_switches.h"
#include "machine/byte_fields.h"
#include "machine/machine_state.h"
#include "machine/plot_state.h"

#include <array>
#include <chrono>
#include <optional>
#include <string>

namespace trazvik {

class tStatusChannel {
 public:
  enum class Kind { usb, ethernet, legacy };
  virtual ~tStatusChannel() = default;

  virtual Kind kind() const = 0;
  // USB: body of status report n (string descriptor n); nothing when the
  // read failed after the transport's retries.
  virtual std::optional<Bytes> usbReport(int n) = 0;
  // USB: manufacturer, product and serial-number strings of the open device.
  virtual std::optional<std::array<std::string, 3>> usbIdentity() = 0;
  // Ethernet: one exchange on the command connection; empty when nothing came.
  virtual Bytes exchange(ByteSpan command) = 0;
  // Parallel link: sends the query and reads up to replyBytes bytes; fewer
  // when the handshake timed out.
  virtual Bytes legacyQuery(ByteSpan query, std::size_t replyBytes) = 0;
  // The 10 ms waits of waitWhileBusy.
  virtual void sleep(std::chrono::milliseconds duration) = 0;
};

class tStatusReader {
 public:
  // The reads fill the status and the link values of `state` and decode by
  // its identified machine.
  tStatusReader(tStatusChannel& channel, tMachineState& state)
      : channel_(channel), st_(state.status), link_(state.link), machine_(state.model) {}

  // State word, output mask and head; read again while homing (bit 3) as
  // long as the controller answers.
  void readState();
  void readStateOnly();
  // One state read with the head mask and no repetition while homing;
  // false when the controller did not answer.
  bool readStateSingle();
  // readState until neither motion (bit 0) nor homing (bit 3) is reported,
  // or the link stops answering.
  void waitWhileBusy();
  void readPositions();
  void readZeroPoint();
  void readSpeeds();
  void readPower();
  // Identity, work areas, version, firmware, full-scale power, then the
  // program's maxX, maxY and ADres options.
  void readMachineInfo(const base::StartupSwitches& switches);
  // USB only: the three firmware numbers joined by "."; all 0 when the read failed.
  std::string readFirmwareVersion();
  bool readInputs();               // USB only: false when the inputs cannot be read
  std::int32_t readDriverError();  // USB only: byte 2 of report 17
  void readInverter();             // USB only, level 7 and above
  void readCalibration();          // USB only
  // USB only: the oscillating knife's blade offset (report 22), knife
  // steps; nothing when the read failed or the link is no USB one.
  std::optional<std::int32_t> readKnifeOffset();
  std::optional<bool> readTravelVariant();  // USB only: true for the long variant

  // The last USB status report read failed (the control panel's USB error flag).
  bool usbErrorFlag() const { return usbError_; }
  // The last read got an answer from the controller.
  bool lastReadAnswered() const { return answered_; }
  // Status replies in a row that came but could not be read (their numbers
  // are no machine's). One is a disturbance and is skipped; a run of
  // faultyAfterUnreadable means the link or the controller keeps talking
  // nonsense: at the transfer's 10 ms pace that takes 50 ms, at the loop's
  // 100 ms half a second, far less than a full job buffer lasts, and a
  // burst of noise that spoils five replies in a row is no passing one.
  int unreadableInARow() const { return unreadableInARow_; }
  bool linkFaulty() const { return unreadableInARow_ >= faultyAfterUnreadable; }
  static constexpr int faultyAfterUnreadable = 5;

 private:
  bool usb() const { return channel_.kind() == tStatusChannel::Kind::usb; }
  bool ethernet() const { return channel_.kind() == tStatusChannel::Kind::ethernet; }
  Bytes report(int n);
  bool readStateOnce(bool full);
  // Counts an unreadable reply (false) or ends a run of them (true).
  bool readable(bool replyReadable);
  void readLegacyState();
  Bytes query(std::initializer_list<std::uint8_t> bytes, std::size_t replyBytes);

  tStatusChannel& channel_;
  tplotstate& st_;
  tLinkState& link_;
  const tMachineModel& machine_;
  bool usbError_ = false;
  bool answered_ = true;
  int unreadableInARow_ = 0;
};

}  // namespace trazvik
