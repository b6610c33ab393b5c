// What the controller sends: the status replies and reports of every
// layout, the identity page, command echoes, and the job language read back
// (the decoder behind `dump`).
#include "fuzz_target_list.h"

#include "job/command_decoder.h"
#include "link/ethernet.h"
#include "link/legacy_replies.h"
#include "link/status_decode.h"
#include "link/status_plausibility.h"
#include "machine/identify_machine.h"
#include "machine/machine_table.h"

#include <cmath>

namespace trazvik::fuzz {

namespace {

// The layouts a controller may answer in: firmware levels around the
// Ethernet reply's shifts, the extended (drilling) reports, knife, heads,
// laser, odd axis scales (zero Z factor, fine steps).
tStatusLayout layoutOf(std::uint8_t choice) {
  tStatusLayout l;
  static const std::uint16_t levels[][2] = {{5, 0}, {6, 34}, {7, 5}, {7, 19}, {7, 20}, {8, 1}};
  const auto& level = levels[choice % 6];
  l.protocolLevel = level[0];
  l.firmwareMinor = level[1];
  l.extended = (choice & 0x08) != 0;
  l.wideCommandSet = (choice & 0x10) != 0;
  l.knifeAxis = (choice & 0x20) != 0;
  l.headCount = (choice & 0x40) ? 3 : 1;
  l.isLaser = (choice & 0x80) != 0;
  l.axisFactorX = 2.5;
  l.axisFactorY = 0.8;
  l.axisFactorZ = (choice % 7 == 0) ? 0 : 4;
  l.speedMultiplier = 1 + choice % 3;
  return l;
}

std::string checkState(const tplotstate& st, const tLinkState& link) {
  if (st.selectedZ < 0 || st.selectedZ > 15) return "head index " + std::to_string(st.selectedZ) + " outside 0 to 15";
  if (st.sel_power > 5) return "power slot " + std::to_string(st.sel_power) + " above 5";
  if (st.speedc > 65535) return "current speed above 65535";
  for (double v : {st.abspos.x, st.abspos.y, st.abspos.z, st.pos0.x, st.pos0.y, st.pos0.z})
    if (!std::isfinite(v)) return "a position is not a finite number";
  for (float f : link.calibrationFactors)
    if (!std::isfinite(f) || f <= 0) return "a calibration factor is not a positive number";
  return {};
}

}  // namespace

std::string fuzzStatus(FuzzInput input) {
  if (input.empty()) return {};
  const tStatusLayout layout = layoutOf(input[0]);
  const FuzzInput reply = input.subspan(1);
  tplotstate st;
  tLinkState link;
  const bool readable = statusReplyReadable(reply, layout);
  const bool decoded = decodeEthernetStatus(reply, layout, st, link);
  if (reply.empty() == decoded) return "an empty reply decoded, or a reply of bytes not";
  if (readable && !statusPositionsPlausible(st, layout)) return "a readable reply gave implausible positions";
  if (auto e = checkState(st, link); !e.empty()) return "Ethernet reply: " + e;

  // The same bytes as each USB report of the layout.
  st = {};
  link = {};
  decodeStateReport(reply, layout, st, true);
  decodePositionReport(reply, layout, st);
  if (auto mask = headMaskOfStatusReport(reply, layout)) st.selectedZ = headIndexFromMask(*mask, layout.headCount);
  if (auto mask = decodeHeadReport(reply, st, layout.knifeAxis))
    st.selectedZ = headIndexFromMask(*mask, layout.headCount);
  recomputeAbsPos(st, layout);
  decodeZeroPointReport(reply, layout, st);
  decodeHeadZerosReport(reply, layout, st);
  decodeSpeedReport(reply, layout, st);
  decodePowerReport(reply, st);
  (void)laserFullPowerOfPowerReport(reply);
  decodeIdentityReport(reply, st, link);
  decodeSecondAreaReport(reply, link);
  (void)controllerVersionOfVersionReport(reply);
  decodeFirmwareReport(reply, link);
  decodeInverterReport(reply, link);
  decodeInputsReport(reply, link);
  link.calibrationFactors = calibrationOfReport(reply);
  (void)knifeOffsetOfReport(reply);
  (void)isLongTravelVariant(reply);
  if (auto e = checkState(st, link); !e.empty()) return "USB reports: " + e;

  // And as replies of the parallel link.
  st = {};
  decodeLegacyState(reply, st);
  decodeLegacyPositions(reply, st);
  decodeLegacyZeroXY(reply, layout, st);
  decodeLegacyZeroZ(reply, layout, st);
  decodeLegacyPower(reply, st);
  decodeLegacySpeed(input[0], reply, layout, st);
  decodeLegacyInfo(static_cast<std::uint8_t>(input[0] % 5), reply, st, link);
  if (auto e = checkState(st, link); !e.empty()) return "parallel replies: " + e;
  return {};
}

std::string fuzzIdentity(FuzzInput input) {
  const tEthernetIdentity id = parseEthernetIdentity(input);
  for (const std::string* field : {&id.info0, &id.info1, &id.info2})
    if (!field->empty() && field->size() != 8)
      return "an identity field of " + std::to_string(field->size()) + " bytes";
  if (id.protocolLevel > 9 || id.firmwareMinor > 99) return "a version beyond one digit and two places";
  return {};
}

std::string fuzzEcho(FuzzInput input) {
  if (input.empty()) return {};
  // The first byte tells where the command ends and the echo begins.
  const std::size_t cut = std::min<std::size_t>(input[0], input.size() - 1);
  const FuzzInput command = input.subspan(1, cut);
  const FuzzInput echo = input.subspan(1 + cut);
  if (command.empty()) return {};  // nothing is sent, nothing is judged
  const int result = echoError(command, echo);
  const Bytes expected = expectedEcho(command);
  const bool same = echo.size() == expected.size() && std::equal(echo.begin(), echo.end(), expected.begin());
  if (same != (result == 0)) return "echo judged " + std::to_string(result) + " against a plain comparison";
  if (echo.empty() && result != ethernet_errors::noEcho) return "no echo not told as such";
  if (!echo.empty() && echo.size() != command.size() && result != ethernet_errors::echoLength)
    return "an echo of another length not told as such";
  return {};
}

std::string fuzzJobDecoder(FuzzInput input) {
  if (input.size() < 2) return {};
  const auto& codes = machineTypeCodes();
  const std::string& type = codes[input[0] % codes.size()];
  static const int levels[][2] = {{5, 0}, {6, 34}, {7, 5}, {7, 20}};
  const auto& level = levels[input[1] % 4];
  tLinkState link;
  const tMachineModel machine = machineModelFor(paddedProductString(type, 8), level[0], level[1], 0, link);
  const tCommandSet set = commandSetOf(machine, link);
  const FuzzInput job = input.subspan(2);
  const auto commands = decodeCommandStream(job, set, machine.commandLengths);
  std::size_t at = 0;
  for (const tDecodedCommand& c : commands) {
    if (c.offset != at) return "command at " + std::to_string(c.offset) + " where " + std::to_string(at) + " was due";
    if (c.bytes.empty()) return "an empty command at " + std::to_string(at);
    at += c.bytes.size();
    if (commandText(c, set).empty()) return "a command without text at " + std::to_string(c.offset);
  }
  if (at != job.size())
    return "the commands cover " + std::to_string(at) + " of " + std::to_string(job.size()) + " bytes";
  (void)streamText(commands, set);
  const tDecodedCommand single = decodeCommand(job, set);
  if (!job.empty() && single.bytes.size() > job.size()) return "a single command longer than its message";
  return {};
}

}  // namespace trazvik::fuzz
