#include "link/status_operations.h"

#include "link/legacy_replies.h"
#include "link/status_decode.h"
#include "link/status_layout.h"
#include "link/status_plausibility.h"
#include "link/ethernet.h"

namespace trazvik {

namespace {
constexpr std::size_t kFailedReportSize = 256;  // a failed USB read reads as zeros
}

Bytes tStatusReader::report(int n) {
  auto body = channel_.usbReport(n);
  answered_ = body.has_value();
  if (!body) return Bytes(kFailedReportSize, 0);
  return std::move(*body);
}

Bytes tStatusReader::query(std::initializer_list<std::uint8_t> bytes, std::size_t replyBytes) {
  const Bytes q(bytes);
  Bytes reply = channel_.legacyQuery(q, replyBytes);
  answered_ = reply.size() >= replyBytes;
  return reply;
}

bool tStatusReader::readStateOnce(bool full) {
  const tStatusLayout layout = statusLayoutOf(machine_, link_);
  if (ethernet()) {
    const Bytes reply = channel_.exchange(Bytes{'S', 'X'});
    if (!reply.empty() && !readable(statusReplyReadable(reply, layout))) {
      link_.ethernetError = ethernet_errors::statusUnreadable;
      return false;
    }
    answered_ = decodeEthernetStatus(reply, layout, st_, link_);
    return answered_;
  }
  const Bytes r10 = report(10);
  usbError_ = !answered_;
  if (answered_ && !readable(statusReportReadable(r10, layout))) return false;
  decodeStateReport(r10, layout, st_, full);
  if (!full) return answered_;
  std::optional<std::uint32_t> mask = headMaskOfStatusReport(r10, layout);
  if (layout.extended) mask = decodeHeadReport(report(24), st_, false);
  st_.selectedZ = headIndexFromMask(mask.value_or(0), layout.headCount);
  return !usbError_;
}

bool tStatusReader::readable(bool replyReadable) {
  if (replyReadable) {
    unreadableInARow_ = 0;
    return true;
  }
  // Nothing of the reply is taken: the last state stands, and the read
  // counts as unanswered, so no one acts on it.
  ++unreadableInARow_;
  answered_ = false;
  return false;
}

void tStatusReader::readLegacyState() { decodeLegacyState(query({'X'}, 1), st_); }

void tStatusReader::readState() {
  // Homing is followed to its end, but a link that stops answering ends
  // the wait: the last state would otherwise be read "again" forever.
  do {
    if (channel_.kind() == tStatusChannel::Kind::legacy)
      readLegacyState();
    else if (!readStateOnce(true))
      return;
  } while (st_.bit(stateBit::homing) && answered_);
}

bool tStatusReader::readStateSingle() {
  if (channel_.kind() != tStatusChannel::Kind::legacy) return readStateOnce(true);
  readLegacyState();
  return answered_;
}

void tStatusReader::readStateOnly() {
  do {
    if (channel_.kind() == tStatusChannel::Kind::legacy)
      readLegacyState();
    else if (!readStateOnce(false))
      return;
  } while (st_.bit(stateBit::homing) && answered_);
}

void tStatusReader::waitWhileBusy() {
  channel_.sleep(std::chrono::milliseconds(10));
  readState();
  while ((st_.bit(stateBit::motionRunning) || st_.bit(stateBit::homing)) && answered_) {
    channel_.sleep(std::chrono::milliseconds(10));
    readState();
  }
}

void tStatusReader::readPositions() {
  const tStatusLayout layout = statusLayoutOf(machine_, link_);
  if (usb()) {
    const Bytes r10 = report(10);
    if (answered_ && !readable(statusReportReadable(r10, layout))) return;
    decodePositionReport(r10, layout, st_);
    std::optional<std::uint32_t> mask = headMaskOfStatusReport(r10, layout);
    if (layout.knifeAxis && layout.extended) mask = decodeHeadReport(report(24), st_, true);
    st_.selectedZ = headIndexFromMask(mask.value_or(0), layout.headCount);
  } else if (!ethernet()) {
    decodeLegacyPositions(query({'E'}, 9), st_);
  }
  recomputeAbsPos(st_, layout);
}

void tStatusReader::readZeroPoint() {
  const tStatusLayout layout = statusLayoutOf(machine_, link_);
  if (usb()) {
    decodeZeroPointReport(report(11), layout, st_);
    if (layout.headCount >= 2) decodeHeadZerosReport(report(21), layout, st_);
  } else if (!ethernet()) {
    decodeLegacyZeroXY(query({'Z'}, 6), layout, st_);
    decodeLegacyZeroZ(query({'O'}, 3), layout, st_);
  }
}

void tStatusReader::readSpeeds() {
  const tStatusLayout layout = statusLayoutOf(machine_, link_);
  if (usb()) {
    decodeSpeedReport(report(12), layout, st_);
  } else if (!ethernet()) {
    for (std::uint8_t slot : {std::uint8_t{1}, std::uint8_t{0}, std::uint8_t{2}, std::uint8_t{3}, std::uint8_t{255}})
      decodeLegacySpeed(slot, query({'I', slot}, 3), layout, st_);
  }
  selectSpeedSlot(st_);
}

void tStatusReader::readPower() {
  if (usb())
    decodePowerReport(report(13), st_);
  else if (!ethernet())
    decodeLegacyPower(query({'J'}, 2), st_);
}

std::optional<std::int32_t> tStatusReader::readKnifeOffset() {
  if (!usb()) return std::nullopt;
  auto r22 = channel_.usbReport(usbReport::knifeOffset);
  answered_ = r22.has_value();
  if (!r22) return std::nullopt;
  return knifeOffsetOfReport(*r22);
}

std::string tStatusReader::readFirmwareVersion() {
  if (!usb()) return firmwareVersionText(link_);
  auto r19 = channel_.usbReport(19);
  decodeFirmwareReport(r19 ? ByteSpan(*r19) : ByteSpan(), link_);
  return firmwareVersionText(link_);
}

void tStatusReader::readMachineInfo(const base::StartupSwitches& switches) {
  const tStatusLayout layout = statusLayoutOf(machine_, link_);
  if (usb()) {
    if (auto r14 = channel_.usbReport(14)) {
      if (auto identity = channel_.usbIdentity()) {
        st_.info0 = (*identity)[0];
        st_.info1 = (*identity)[1];
        st_.info2 = (*identity)[2];
        decodeIdentityReport(*r14, st_, link_);
      }
    }
    link_.secondWorkArea = link_.workArea;
    if (layout.headCount >= 2)
      if (auto r23 = channel_.usbReport(23)) decodeSecondAreaReport(*r23, link_);
    if (auto r15 = channel_.usbReport(15)) link_.controllerVersion = controllerVersionOfVersionReport(*r15);
    readFirmwareVersion();
    link_.laserFullPower = 255;
    if (layout.isLaser && link_.protocolLevel >= 6)
      if (auto r13 = channel_.usbReport(13))
        if (auto full = laserFullPowerOfPowerReport(*r13)) link_.laserFullPower = *full;
  } else if (!ethernet()) {
    for (std::uint8_t part : {std::uint8_t{0}, std::uint8_t{1}, std::uint8_t{2}, std::uint8_t{4}, std::uint8_t{3}})
      decodeLegacyInfo(part, query({'H', part}, part <= 2 ? 8 : part == 4 ? 5 : 6), st_, link_);
  }
  applyCommandLineOverrides(switches, link_);
}

bool tStatusReader::readInputs() {
  if (!usb()) return false;
  decodeInputsReport(report(17), link_);
  return true;
}

std::int32_t tStatusReader::readDriverError() {
  if (!usb()) return 0;
  const Bytes r17 = report(17);
  decodeInputsReport(r17, link_);
  return r17.size() > 2 ? r17[2] : 0;
}

void tStatusReader::readInverter() {
  if (usb() && link_.cncMachine && link_.protocolLevel >= 7) decodeInverterReport(report(16), link_);
}

void tStatusReader::readCalibration() {
  if (!usb()) return;
  auto r18 = channel_.usbReport(18);
  link_.calibrationFactors = r18 ? calibrationOfReport(*r18) : std::array<float, 3>{1.0f, 1.0f, 1.0f};
}

std::optional<bool> tStatusReader::readTravelVariant() {
  if (!usb()) return std::nullopt;
  auto r25 = channel_.usbReport(25);
  if (!r25) return std::nullopt;
  return isLongTravelVariant(*r25);
}

}  // namespace trazvik
