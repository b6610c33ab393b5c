// Every command encoded for every machine type of the identification table
// (at the protocol levels its controllers come with) decodes back to the
// command and the values it was made from.
#include "job/command_decoder.h"
#include "machine/commands_basic.h"
#include "machine/commands_immediate.h"
#include "machine/commands_records.h"
#include "machine/speed_code.h"
#include "machine/identify_machine.h"
#include "machine/machine_table.h"

#include <gtest/gtest.h>

#include <functional>

namespace trazvik {
namespace {

struct Expectation {
  Bytes bytes;
  CommandKind kind;
  std::function<void(const tDecodedCommand&)> check;
};

// The speed code a wide move carries after packing at this level.
std::uint32_t carriedCode(std::uint32_t code, int level) {
  if (level >= 7) return (code > 39999 && code != 65535) ? 39999 : code;
  if (level == 6) return std::min<std::uint32_t>(code, 4095);
  return std::min<std::uint32_t>(code / 16, 255) * 16;
}

std::vector<Expectation> jobCommands(const tCommandSet& set, const tMachineModel& m) {
  std::vector<Expectation> out;
  const std::uint32_t code = speedCode(1000, set);
  const std::uint32_t fitted = set.wide ? code : (code & 0xFFFF);
  out.push_back({loadSlotCommand(1, fitted, set), CommandKind::loadSlot, [=](const tDecodedCommand& c) {
                   EXPECT_EQ(c.number, 1);
                   EXPECT_EQ(c.value, fitted);
                 }});
  out.push_back(
      {selectSlotCommand(5), CommandKind::selectSlot, [](const tDecodedCommand& c) { EXPECT_EQ(c.number, 5); }});
  out.push_back({pauseCommand(235), CommandKind::pause, [](const tDecodedCommand& c) { EXPECT_EQ(c.value, 235u); }});
  out.push_back({outputsCommand(1, outputMask::head2), CommandKind::outputs, [](const tDecodedCommand& c) {
                   EXPECT_EQ(c.number, 1);
                   EXPECT_EQ(c.mask, 0xA0);
                 }});
  const std::uint32_t power = set.protocolLevel < 6 ? 200 : 1000;
  out.push_back({powerCommand(3, power, set), CommandKind::power, [=](const tDecodedCommand& c) {
                   EXPECT_EQ(c.number, 3);
                   EXPECT_EQ(c.value, power);
                 }});
  out.push_back({headZReferenceCommand(static_cast<std::uint32_t>(-3000)), CommandKind::headZReference,
                 [](const tDecodedCommand& c) { EXPECT_EQ(std::int32_t(c.value), -3000); }});
  const std::int32_t zMax = set.wide && set.protocolLevel >= 6 ? 0xFFFFF : 0xFFFFFF;
  const std::int32_t side = std::min(zMax, 0x7FFFFF);
  for (const tStepDelta d :
       {tStepDelta{0, 0, 0}, tStepDelta{2, 0, 0}, tStepDelta{-side, 17, -zMax}, tStepDelta{123, -456, 789}}) {
    for (const std::uint32_t moveCode : {std::uint32_t{65535}, code}) {
      out.push_back(
          {moveCommand(d, set.speedMultiplier, moveCode, set), CommandKind::move, [=](const tDecodedCommand& c) {
             EXPECT_EQ(c.delta, d);
             EXPECT_GE(c.pathLength, 10u);
             if (set.wide) {
               EXPECT_EQ(c.speedCode, carriedCode(moveCode, set.protocolLevel));
             }
           }});
    }
  }
  if (!set.wide) {
    out.push_back(
        {smoothingCommand(true), CommandKind::smoothing, [](const tDecodedCommand& c) { EXPECT_EQ(c.number, 1); }});
    out.push_back({segmentLimitCommand(1234), CommandKind::segmentLimit,
                   [](const tDecodedCommand& c) { EXPECT_EQ(c.value, 1234u); }});
    return out;
  }
  auto plain = [](Bytes b, CommandKind k) { return Expectation{std::move(b), k, [](const tDecodedCommand&) {}}; };
  out.push_back({laserPulseTimeRecord(20), CommandKind::laserPulseTime,
                 [](const tDecodedCommand& c) { EXPECT_EQ(c.value, 20u); }});
  out.push_back(plain(laserPulseRecord(), CommandKind::laserPulse));
  out.push_back(
      {pulseTimeEchoRecord(20), CommandKind::pulseTimeEcho, [](const tDecodedCommand& c) { EXPECT_EQ(c.value, 20u); }});
  out.push_back(plain(laserOnRecord(), CommandKind::laserOn));
  out.push_back(plain(laserOffRecord(), CommandKind::laserOff));
  for (char p : {'A', 'B', 'C', 'D'})
    out.push_back({bezierPointRecord(p, -100000, 2000, p == 'A' ? 0 : -5), CommandKind::bezierPoint,
                   [p](const tDecodedCommand& c) {
                     EXPECT_EQ(c.number, p);
                     EXPECT_EQ(c.x, -100000);
                     EXPECT_EQ(c.y, 2000);
                     EXPECT_EQ(c.z, p == 'A' ? 0 : -5);
                   }});
  out.push_back({bezierStepRecord(0.05), CommandKind::bezierStep,
                 [](const tDecodedCommand& c) { EXPECT_EQ(c.step, float(0.05 * 0.8)); }});
  out.push_back({bezierStepCountRecord(0.05), CommandKind::bezierStepCount,
                 [](const tDecodedCommand& c) { EXPECT_EQ(c.value, 25u); }});
  out.push_back(
      {bezierJoinRecord(true), CommandKind::bezierJoin, [](const tDecodedCommand& c) { EXPECT_EQ(c.value, 1u); }});
  out.push_back(plain(bezierExecuteRecord(), CommandKind::bezierExecute));
  if (m.machineParams.knifeAxis) {
    out.push_back({thirdAxisRecord(kThirdAxisKnife), CommandKind::thirdAxis,
                   [](const tDecodedCommand& c) { EXPECT_EQ(c.number, 4); }});
    out.push_back({moveCommand({0, 0, -1000}, 1, 65535, set), CommandKind::move, [](const tDecodedCommand& c) {
                     EXPECT_EQ(c.thirdAxis, ThirdAxis::knife);
                     EXPECT_EQ(c.delta.dz, -1000);
                   }});
    out.push_back(plain(thirdAxisRecord(kThirdAxisZ), CommandKind::thirdAxis));
  }
  if (m.machineParams.headCount > 1 && set.protocolLevel >= 7) {
    out.push_back(
        {headZRecord(headBitOf(2)), CommandKind::headZ, [](const tDecodedCommand& c) { EXPECT_EQ(c.number, 4); }});
    out.push_back({moveCommand({0, 0, 50}, 2, 65535, set), CommandKind::move, [](const tDecodedCommand& c) {
                     EXPECT_EQ(c.thirdAxis, ThirdAxis::headZ);
                     EXPECT_EQ(c.head, 2);
                   }});
  }
  out.push_back(plain(jobEndRecord(), CommandKind::jobEnd));
  return out;
}

std::vector<Expectation> immediateCommands(const tCommandSet& set) {
  std::vector<Expectation> out;
  auto plain = [](Bytes b, CommandKind k) { return Expectation{std::move(b), k, [](const tDecodedCommand&) {}}; };
  out.push_back({moveCommand({-5, 6, -7}, 1, 65535, set, CommandForm::immediate), CommandKind::move,
                 [](const tDecodedCommand& c) {
                   EXPECT_EQ(c.delta, (tStepDelta{-5, 6, -7}));
                 }});
  out.push_back({loadSlotCommand(2, 300, set, CommandForm::immediate), CommandKind::loadSlot,
                 [](const tDecodedCommand& c) { EXPECT_EQ(c.value, 300u); }});
  out.push_back({selectSlotCommand(2, CommandForm::immediate), CommandKind::selectSlot, [](const tDecodedCommand&) {}});
  out.push_back({outputsCommand(0, outputMask::vacuumPump, CommandForm::immediate), CommandKind::outputs,
                 [](const tDecodedCommand& c) { EXPECT_EQ(c.mask, 0x82); }});
  out.push_back({powerCommand(1, 180, set, CommandForm::immediate), CommandKind::power,
                 [](const tDecodedCommand& c) { EXPECT_EQ(c.value, 180u); }});
  out.push_back({pauseCommand(9, CommandForm::immediate), CommandKind::pause, [](const tDecodedCommand&) {}});
  out.push_back(
      {smoothingCommand(false, CommandForm::immediate), CommandKind::smoothing, [](const tDecodedCommand&) {}});
  for (char l : {'Y', 'Q', 'K', 'G', 'C', 'W', 'X'}) out.push_back({letterCommand(l), CommandKind::unknown, nullptr});
  out.push_back(
      {homeCommand(homeMask::checkY), CommandKind::home, [](const tDecodedCommand& c) { EXPECT_EQ(c.number, 0x82); }});
  out.push_back({workZeroXYCommand(-1234, 5678, set), CommandKind::workZeroXY, [](const tDecodedCommand& c) {
                   EXPECT_EQ(c.x, -1234);
                   EXPECT_EQ(c.y, 5678);
                 }});
  out.push_back(
      {workZeroZCommand(-99, set), CommandKind::workZeroZ, [](const tDecodedCommand& c) { EXPECT_EQ(c.z, -99); }});
  out.push_back({headZeroCommand(2, -3010), CommandKind::headZero, [](const tDecodedCommand& c) {
                   EXPECT_EQ(c.value, 2u);
                   EXPECT_EQ(c.z, -3010);
                 }});
  out.push_back({headOffsetCommand(-1, 2), CommandKind::headOffset, [](const tDecodedCommand& c) {
                   EXPECT_EQ(c.x, -1);
                   EXPECT_EQ(c.y, 2);
                 }});
  for (const Bytes& b : machineParameterCommands(68, 0x3F800000))
    out.push_back({b, CommandKind::machineParameter, nullptr});
  out.push_back({controllerAddressCommand({10, 0, 0, 7}), CommandKind::controllerAddress, [](const tDecodedCommand& c) {
                   EXPECT_EQ(c.octets, (std::array<std::uint8_t, 4>{10, 0, 0, 7}));
                 }});
  out.push_back(
      {secondYShiftCommand(-300), CommandKind::secondYShift, [](const tDecodedCommand& c) { EXPECT_EQ(c.y, -300); }});
  out.push_back(plain(toolMeasureCommand(), CommandKind::toolMeasure));
  out.push_back(plain(spindleWaitCommand(), CommandKind::spindleWait));
  out.push_back(plain(ethernetStatusQuery(), CommandKind::ethernetStatusQuery));
  out.push_back(plain(accelerationRecord(14), CommandKind::acceleration));
  out.push_back(plain(thirdAxisRecord(4, CommandForm::immediate), CommandKind::thirdAxis));
  out.push_back(plain(headZRecord(2, CommandForm::immediate), CommandKind::headZ));
  out.push_back(plain(laserPulseTimeRecord(5, CommandForm::immediate), CommandKind::laserPulseTime));
  out.push_back(plain(laserOnRecord(CommandForm::immediate), CommandKind::laserOn));
  out.push_back(plain(laserOffRecord(CommandForm::immediate), CommandKind::laserOff));
  out.push_back(plain(laserPulseRecord(CommandForm::immediate), CommandKind::laserPulse));
  out.push_back(plain(pulseTimeEchoRecord(5, CommandForm::immediate), CommandKind::pulseTimeEcho));
  out.push_back(plain(legacyQuery('I', 255), CommandKind::legacyQuery));
  return out;
}

struct Firmware {
  int level, minor;
};

TEST(CommandRoundTrip, EveryCommandOnEveryMachineType) {
  for (const std::string& type : machineTypeCodes()) {
    const bool wide = machineRow(type)->wideCommandSet != 0;
    const std::vector<Firmware> firmwares =
        wide ? std::vector<Firmware>{{5, 0}, {6, 34}, {7, 22}} : std::vector<Firmware>{{5, 0}, {6, 0}};
    for (const Firmware fw : firmwares) {
      SCOPED_TRACE(testing::Message() << type << " at " << fw.level << "." << fw.minor);
      tMachineModel m;
      tLinkState link;
      link.protocolLevel = static_cast<std::uint16_t>(fw.level);
      link.firmwareMinor = static_cast<std::uint16_t>(fw.minor);
      tplotstate st;
      st.info1 = paddedProductString(type, 8);
      identifyMachine(m, link, st, {});
      const tCommandSet set = commandSetOf(m, link);

      const std::vector<Expectation> job = jobCommands(set, m);
      Bytes stream;
      for (const Expectation& e : job) stream.insert(stream.end(), e.bytes.begin(), e.bytes.end());
      const auto decoded = decodeCommandStream(stream, set, m.commandLengths);
      ASSERT_EQ(decoded.size(), job.size());
      for (std::size_t i = 0; i < job.size(); ++i) {
        SCOPED_TRACE(commandText(decoded[i], set));
        EXPECT_EQ(decoded[i].kind, job[i].kind);
        EXPECT_EQ(decoded[i].bytes, job[i].bytes);
        EXPECT_TRUE(decoded[i].problem.empty());
        EXPECT_EQ(decoded[i].immediate, job[i].kind == CommandKind::jobEnd);  // "SE" is upper-case in jobs too
        job[i].check(decoded[i]);
      }

      for (const Expectation& e : immediateCommands(set)) {
        Bytes padded = e.bytes;
        padded.resize(std::max<std::size_t>(padded.size(), 16), 0);  // as in a USB report
        const tDecodedCommand c = decodeCommand(padded, set);
        SCOPED_TRACE(commandText(c, set));
        EXPECT_TRUE(c.problem.empty());
        EXPECT_EQ(c.bytes, e.bytes);
        EXPECT_TRUE(c.immediate);
        if (e.check) {
          EXPECT_EQ(c.kind, e.kind);
          e.check(c);
        } else {
          EXPECT_NE(c.kind, CommandKind::unknown);
        }
      }
    }
  }
}

}  // namespace
}  // namespace trazvik
