// The USB link: controller selection, output reports and their splitting,
// the error paths of writes and status reads, plugging and unplugging, and
// sendCommand, against hand-made HID devices, the simulated controller's
// in-process device and the platform's real (empty) device list.
#include "link/machine_link.h"
#include "link/usb.h"

#include "usb_device.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace trazvik {
namespace {

using Report = std::array<std::uint8_t, HidDevice::outputReportSize>;

class FakeHid : public HidDevice {
 public:
  FakeHid(std::string manufacturer, std::string product)
      : manufacturer_(std::move(manufacturer)), product_(std::move(product)) {}
  HidResult open() override {
    open_ = true;
    return {};
  }
  void close() override { open_ = false; }
  bool isOpen() const override { return open_; }
  bool connected() const override { return true; }
  std::string manufacturer() const override { return manufacturer_; }
  std::string product() const override { return product_; }
  std::string serialNumber() const override { return "1"; }
  HidResult writeOutputReport(std::span<const std::uint8_t, outputReportSize> r) override {
    reports.push_back(Report{});
    std::copy(r.begin(), r.end(), reports.back().begin());
    return {writeError, writeError ? 0 : outputReportSize};
  }
  HidResult readInputReport(std::span<std::uint8_t>, std::chrono::milliseconds) override {
    return {hid_errors::timedOut, 0};
  }
  HidResult readStringDescriptor(int, std::vector<std::uint8_t>&) override { return {hid_errors::timedOut, 0}; }

  std::vector<Report> reports;
  int writeError = 0;

 private:
  std::string manufacturer_, product_;
  bool open_ = false;
};

using FakeService = sim::ListedHidService;

TEST(UsbSelection, FirstMatchingControllerOfTheMaker) {
  struct Case {
    const char* name;
    std::vector<std::pair<std::string, std::string>> devices;
    std::string filter;
    int chosen;  // -1: none
  };
  const Case cases[] = {
      {"first of two", {{"Other", "YFB 32"}, {"DornElis", "YFB 32"}, {"DornElis", "YFA 22"}}, "", 1},
      {"product starting with i skipped", {{"DornElis", "iBoot"}, {"DornElis", "YFA 22"}}, "", 1},
      {"maker must match exactly", {{"DORNELIS", "YFB 32"}, {"DornElis ", "YFB 32"}}, "", -1},
      {"empty product unusable", {{"DornElis", ""}}, "", -1},
      {"filter on trimmed product", {{"DornElis", "YFB 32"}, {"DornElis", " YFA 22  "}}, "YFA 22", 1},
      {"filter matching none", {{"DornElis", "YFB 32"}}, "YFA", -1},
      {"nothing attached", {}, "", -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeService service;
    for (const auto& [maker, product] : c.devices) service.devices.push_back(std::make_shared<FakeHid>(maker, product));
    tLinkState link;
    TfUsb usb(service, link);
    usb.machineFilter = c.filter;
    usb.DeviceChange();
    EXPECT_EQ(usb.Present, c.chosen >= 0);
    if (c.chosen >= 0) {
      EXPECT_EQ(usb.TheDev, service.devices[static_cast<std::size_t>(c.chosen)]);
    }
  }
}

class UsbWrites : public ::testing::Test {
 protected:
  FakeService service;
  std::shared_ptr<FakeHid> device = std::make_shared<FakeHid>("DornElis", "YFB 32");
  tLinkState link;
  std::unique_ptr<TfUsb> usb;
  std::vector<std::chrono::milliseconds> waits;

  void SetUp() override {
    service.devices.push_back(device);
    usb = std::make_unique<TfUsb>(service, link);
    usb->sleep = [this](std::chrono::milliseconds d) { waits.push_back(d); };
    usb->DeviceChange();
  }
};

TEST_F(UsbWrites, LongCommandsAreSplitIntoTwoReports) {
  Bytes sixteen(16), seventeen(17);
  for (std::size_t i = 0; i < 17; ++i) seventeen[i] = static_cast<std::uint8_t>(0x41 + i);
  for (std::size_t i = 0; i < 16; ++i) sixteen[i] = static_cast<std::uint8_t>(0x61 + i);
  ASSERT_EQ(usb->Write(sixteen), 0);
  ASSERT_EQ(device->reports.size(), 1u);
  EXPECT_EQ(device->reports[0][0], 0);
  EXPECT_TRUE(std::equal(sixteen.begin(), sixteen.end(), device->reports[0].begin() + 1));

  ASSERT_EQ(usb->Write(seventeen), 0);
  ASSERT_EQ(device->reports.size(), 3u);
  EXPECT_TRUE(std::equal(seventeen.begin(), seventeen.begin() + 16, device->reports[1].begin() + 1));
  Report second = device->reports[1];
  second[1] = seventeen[16];  // byte 17 first, the rest as in the first report
  EXPECT_EQ(device->reports[2], second);

  const Bytes shortOne{'H'};
  ASSERT_EQ(usb->Write(shortOne), 0);
  EXPECT_EQ(device->reports[3], (Report{0, 'H'}));  // the rest zeroed
  EXPECT_EQ(usb->Poszlo, 17u);
}

TEST_F(UsbWrites, GeneralFailureCountsAsSentOtherFailuresDropTheController) {
  device->writeError = hid_errors::generalFailure;
  EXPECT_EQ(usb->Write(Bytes{'H'}), 0);
  EXPECT_EQ(link.usbWriteErrors, 1);
  EXPECT_TRUE(usb->Present);
  EXPECT_EQ(waits, std::vector<std::chrono::milliseconds>{500ms});

  device->writeError = hid_errors::notConnected;
  EXPECT_EQ(usb->Write(Bytes{'H'}), hid_errors::notConnected);
  EXPECT_FALSE(usb->Present);
  // The next command selects the controller again.
  device->writeError = 0;
  EXPECT_EQ(usb->Write(Bytes{'H'}), 0);
  EXPECT_TRUE(usb->Present);
}

TEST_F(UsbWrites, FailingStatusReadIsTriedTenTimesThenZeros) {
  usb->BufIn.fill(0x77);
  EXPECT_EQ(usb->ReadString(10), hid_errors::timedOut);
  EXPECT_EQ(link.usbReadErrors, 10);
  EXPECT_EQ(waits.size(), 10u);
  EXPECT_EQ(std::count(usb->BufIn.begin(), usb->BufIn.end(), 0), 257);
  EXPECT_FALSE(usb->Present);
  // Not present: no read is tried and the result is -1.
  EXPECT_EQ(usb->ReadString(10), -1);
  EXPECT_EQ(link.usbReadErrors, 10);
}

TEST_F(UsbWrites, SendCommandMessagesOnlyRealFailures) {
  std::vector<std::string> boxes;
  tMachineLink m(link);
  m.usb = usb.get();
  m.sleep = [](std::chrono::milliseconds) {};
  m.messageBox = [&](const std::string& section, const std::string& key, const std::string& caption) {
    boxes.push_back(section + "/" + key + "/" + caption);
  };
  EXPECT_TRUE(link.cncMachine);
  sendCommand(m, Bytes{});  // empty: ignored
  EXPECT_TRUE(device->reports.empty());
  device->writeError = 5;
  sendCommand(m, Bytes{'H'});
  EXPECT_EQ(boxes, std::vector<std::string>{"Project_window/msgBrakLacznosci/5"});
  EXPECT_EQ(device->reports.size(), 1u);  // not repeated
  // Present is now false: nothing is sent at all.
  sendCommand(m, Bytes{'H'});
  EXPECT_EQ(device->reports.size(), 1u);
}

TEST(UsbController, UnpluggedControllerIsGivenUpSilently) {
  FakeService service;
  auto device = std::make_shared<FakeHid>("DornElis", "YFB 32");
  service.devices.push_back(device);
  tLinkState link;
  TfUsb usb(service, link);
  usb.sleep = [](std::chrono::milliseconds) {};
  usb.DeviceChange();
  ASSERT_TRUE(usb.Present);
  service.devices.clear();
  usb.DeviceChange();
  tMachineLink m(link);
  m.usb = &usb;
  m.sleep = [](std::chrono::milliseconds) {};
  bool boxShown = false;
  m.messageBox = [&](const std::string&, const std::string&, const std::string&) { boxShown = true; };
  EXPECT_EQ(usb.Write(Bytes{'H'}), usb_results::noController);
  sendCommand(m, Bytes{'H'});  // no controller, no Ethernet: nothing goes out
  EXPECT_TRUE(device->reports.empty());
  EXPECT_FALSE(boxShown);
}

TEST(UsbController, SimulatedDeviceTakesCommandsAndGivesReports) {
  sim::SimConfig config;
  sim::SimMachine m;
  m.model = machineModelFor(paddedProductString(config.product, 8), 7, 20, 0, m.link);
  auto controller = std::make_shared<sim::SimController>(config, m);
  FakeService service;
  service.devices.push_back(std::make_shared<FakeHid>("DornElis", "iLoader"));
  service.devices.push_back(std::make_shared<sim::SimHidDevice>(controller, false));
  tLinkState link;
  TfUsb usb(service, link);
  usb.sleep = [](std::chrono::milliseconds) {};
  std::vector<bool> changes;
  usb.onDeviceChange = [&](bool present) { changes.push_back(present); };
  usb.FormCreate();
  ASSERT_TRUE(usb.Present);
  EXPECT_EQ(usb.TheDev->product(), "YFB 32");
  EXPECT_EQ(controller->counters().commands, 1u);  // the "X" of the start-up

  tMachineLink ml(link);
  ml.usb = &usb;
  sendCommand(ml, Bytes{'v', 0, 0x88, 0x13, 0, 0});
  EXPECT_EQ(controller->counters().commands, 2u);
  ASSERT_EQ(usb.ReadString(10), 0);
  EXPECT_GT(usb.bodyLength, 0u);
  EXPECT_FALSE(usb.checkDevices());  // nothing changed

  // Unplugged: the write fails, Present drops, the periodic check reports it.
  controller->dropLink();
  sendCommand(ml, Bytes{'v', 0, 0x88, 0x13, 0, 0});
  EXPECT_FALSE(usb.Present);
  EXPECT_TRUE(usb.checkDevices());
  controller->plugUsb();
  EXPECT_TRUE(usb.checkDevices());
  EXPECT_EQ(changes, (std::vector<bool>{true, false, true}));
  EXPECT_TRUE(usb.Present);
}

TEST(UsbController, PlatformWithoutControllerReportsNoController) {
  auto service = makeHidapiService();
  tLinkState link;
  TfUsb usb(*service, link);
  usb.sleep = [](std::chrono::milliseconds) {};
  usb.machineFilter = "no such machine here";
  bool reported = true;
  usb.onDeviceChange = [&](bool present) { reported = present; };
  usb.DeviceChange();
  EXPECT_FALSE(reported);
  EXPECT_EQ(usb.Write(Bytes{'H'}), usb_results::noController);
  EXPECT_EQ(usb.ReadString(10), -1);
}

}  // namespace
}  // namespace trazvik
