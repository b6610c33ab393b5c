// The simulated controller as an in-process HID device: commands in 17-byte
// output reports, status reports as string descriptors, unplugging and
// stalling, read back with the link's own decoders.
#include "sim_test_support.h"
#include "usb_device.h"

#include "link/status_decode.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace std::chrono_literals;

namespace trazvik::sim::test {
namespace {

class SimUsbTest : public ::testing::Test {
 protected:
  SimConfig config;
  std::shared_ptr<SimController> ctl;
  std::unique_ptr<SimHidDevice> dev;

  void make(SimMachine m = yfb32()) {
    ctl = std::make_shared<SimController>(config, m);
    dev = std::make_unique<SimHidDevice>(ctl, false);
    ASSERT_TRUE(dev->open().ok());
  }
  void SetUp() override { make(); }

  HidResult write(const Bytes& command) {
    std::array<std::uint8_t, HidDevice::outputReportSize> report{};
    std::copy(command.begin(), command.end(), report.begin() + 1);
    return dev->writeOutputReport(report);
  }
  Bytes report(int n) {
    Bytes body;
    EXPECT_TRUE(dev->readStringDescriptor(n, body).ok()) << n;
    return body;
  }
};

TEST_F(SimUsbTest, IdentityStringsAreThoseTheLinkSelectsOn) {
  EXPECT_EQ(dev->manufacturer(), "DornElis");
  EXPECT_EQ(dev->product(), "YFB 32");
  EXPECT_EQ(dev->serialNumber(), config.serial);
}

TEST_F(SimUsbTest, CommandsInOutputReportsMoveTheMachineSeenInReportTen) {
  ASSERT_TRUE(write(slot('V', 2, yfbCode5000)).ok());
  ASSERT_TRUE(write(Bytes{'F', 2}).ok());
  ASSERT_TRUE(write(wideMove('A', 2000, -3000, 0, 2)).ok());
  const tStatusLayout layout = ctl->layout();
  tplotstate st;
  decodeStateReport(report(10), layout, st, true);
  EXPECT_TRUE(st.bit(stateBit::motionRunning));
  ctl->advance(1s);
  const Bytes r10 = report(10);
  decodeStateReport(r10, layout, st, true);
  decodePositionReport(r10, layout, st);
  EXPECT_FALSE(st.bit(stateBit::motionRunning));
  EXPECT_EQ(st.realpos.x, 2000);
  EXPECT_EQ(st.realpos.y, -3000);
  // Input reports carry the same status report.
  std::array<std::uint8_t, 64> input{};
  const HidResult r = dev->readInputReport(input, 100ms);
  ASSERT_TRUE(r.ok());
  EXPECT_TRUE(std::equal(r10.begin(), r10.end(), input.begin()));
}

TEST_F(SimUsbTest, InformationReportsHoldAreaFirmwareVersionAndSetUpValues) {
  ctl->setEnclosureOpen(true);
  ctl->setDriverError(0b1001);  // X and Y2
  // Calibration factor X = 1.25 written as four parameter bytes from code 68.
  const float factor = 1.25f;
  std::uint32_t bits;
  std::memcpy(&bits, &factor, 4);
  for (std::uint8_t i = 0; i < 4; ++i)
    ASSERT_TRUE(
        write(Bytes{'S', 0x0D, static_cast<std::uint8_t>(68 + i), static_cast<std::uint8_t>(bits >> (8 * i))}).ok());

  tplotstate st;
  tLinkState link;
  decodeIdentityReport(report(14), st, link);
  EXPECT_EQ(link.workArea, (std::array<double, 3>{1000, 600, 120}));
  decodeFirmwareReport(report(19), link);
  EXPECT_EQ(link.protocolLevel, 7);
  EXPECT_EQ(link.firmwareMinor, 20);
  EXPECT_EQ(controllerVersionOfVersionReport(report(15)), 550);
  decodeInputsReport(report(17), link);
  EXPECT_EQ(link.machineInputs & 0x08, 0x08);
  EXPECT_EQ(link.driverErrorAxes, 0b1001);
  const auto calibration = calibrationOfReport(report(18));
  EXPECT_FLOAT_EQ(calibration[0], 1.25f);
  EXPECT_FLOAT_EQ(calibration[1], 1.0f);
}

TEST_F(SimUsbTest, ExtendedLayoutCarriesTheSixtyFourBitStateWord) {
  SimMachine m = yfb32();
  m.link.drillSlots = true;  // the drilling families report the extended layout
  make(m);
  ctl->setInverterError(true);
  tplotstate st;
  decodeStateReport(report(10), ctl->layout(), st, true);
  EXPECT_TRUE(st.bit(stateBit::inverterError));
  ctl->setInverterError(false);
  decodeStateReport(report(10), ctl->layout(), st, true);
  EXPECT_FALSE(st.bit(stateBit::inverterError));
}

TEST_F(SimUsbTest, UnpluggedOrStalledDeviceFailsItsCallsUntilItIsBack) {
  ctl->dropLink();
  EXPECT_FALSE(dev->connected());
  Bytes body;
  EXPECT_EQ(dev->readStringDescriptor(10, body).error, hid_errors::notConnected);
  EXPECT_EQ(write(Bytes{'F', 1}).error, hid_errors::notConnected);
  EXPECT_EQ(ctl->machineState().selectedSpeedSlot, 2) << "a command sent while unplugged is lost";
  ctl->plugUsb();
  ASSERT_TRUE(dev->open().ok());
  EXPECT_TRUE(write(Bytes{'F', 1}).ok());
  EXPECT_EQ(ctl->machineState().selectedSpeedSlot, 1);

  ctl->setStalled(true);
  EXPECT_EQ(dev->readStringDescriptor(10, body).error, hid_errors::timedOut);
  ctl->setStalled(false);
  EXPECT_TRUE(dev->readStringDescriptor(10, body).ok());
  EXPECT_EQ(dev->readStringDescriptor(9, body).error, hid_errors::badIndex);
}

}  // namespace
}  // namespace trazvik::sim::test
