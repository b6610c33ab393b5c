#include "link/machine_connection.h"

#include "config/address_file.h"

#include <fstream>
#include <sstream>

namespace trazvik {

namespace {
constexpr std::size_t kAddressFileLimit = 4096;  // four short lines; more is not an address file
}

std::optional<std::string> machineAddressFromFile(const std::filesystem::path& dataDirectory) {
  std::ifstream in(dataDirectory / config::kAddressFileName, std::ios::binary);
  if (!in) return std::nullopt;
  std::string content(kAddressFileLimit, '\0');
  in.read(content.data(), static_cast<std::streamsize>(content.size()));
  content.resize(static_cast<std::size_t>(in.gcount()));
  const std::vector<long long> numbers = config::readAddressNumbers(content);
  if (numbers.size() != 4) return std::nullopt;
  std::string text;
  for (long long n : numbers) {
    if (n < 0 || n > 255) return std::nullopt;
    if (!text.empty()) text += '.';
    text += std::to_string(n);
  }
  return text;
}

tMachineConnection::tMachineConnection(tMachineState& state, std::unique_ptr<tHidService> hid)
    : state_(state),
      hid_(std::move(hid)),
      ethernet_(std::make_unique<TfEthernet>(state, queue_)),
      machineLink_(state.link),
      channel_(machineLink_),
      reader_(channel_, state),
      ops_(machineLink_, reader_, state) {
  machineLink_.ethernet = ethernet_.get();
  ethernet_->setStatusText(
      [this](const std::string& section, const std::string& key) { showStatus(textOf(section, key)); });
  // A machine found over Ethernet is told like one plugged in over USB, so
  // the settings take its limits and type.
  ethernet_->setConnected([this] {
    if (machineIdentified) machineIdentified();
    if (menuUpdate) menuUpdate();
  });
}

tMachineConnection::~tMachineConnection() {
  // The owner may already be half gone: its hooks are not called any more.
  text = nullptr;
  statusBarText = nullptr;
  machineIdentified = nullptr;
  menuUpdate = nullptr;
  shutdown();
  machineLink_.ethernet = nullptr;
  ethernet_.reset();
  machineLink_.usb = nullptr;
  usb_.reset();
}

std::string tMachineConnection::textOf(const std::string& section, const std::string& key) const {
  return text ? text(section, key) : key;
}

void tMachineConnection::showStatus(const std::string& s) const {
  if (statusBarText) statusBarText(s);
}

tIdentifyEnvironment tMachineConnection::identifyEnvironment() const {
  tIdentifyEnvironment env;
  env.programDirectory = options_.programDirectory;
  env.safetyEnclosureSwitch = options_.switches.safetyEnclosure;
  tStatusReader* reader = const_cast<tStatusReader*>(&reader_);
  env.readCalibration = [reader, this]() -> std::optional<std::array<float, 3>> {
    if (!machineLink_.usbPresent()) return std::nullopt;
    reader->readCalibration();
    return state_.link.calibrationFactors;
  };
  env.readLongTravel = [reader] { return reader->readTravelVariant(); };
  return env;
}

void tMachineConnection::FormCreate(const tConnectionOptions& options) {
  options_ = options;
  ethernet_->setTimeouts(options_.timeouts);
  ethernet_->setIdentifyEnvironment(identifyEnvironment());
  if (!options_.machineAddress.empty())
    ethernet_->setAddress(options_.machineAddress, options_.commandPort, options_.identityPort);

  if (options_.createUsb && hid_) {
    usb_ = std::make_unique<TfUsb>(*hid_, state_.link);
    usb_->machineFilter = options_.machineFilter;
    usb_->sleep = [this](std::chrono::milliseconds d) { machineLink_.sleep(d); };
    usb_->onDeviceChange = [this](bool present) { onDeviceChange(present); };
    machineLink_.usb = usb_.get();
    usb_->FormCreate();
  }
  // Created suspended; the tick resumes it while the link is down.
  if (!options_.machineAddress.empty()) watchdog_ = std::make_unique<tEthernetCzuwanie>(*ethernet_);
}

void tMachineConnection::onDeviceChange(bool present) {
  if (present) {
    reader_.readMachineInfo(options_.switches);
    identifyMachine(state_.model, state_.link, state_.status, identifyEnvironment());
    if (machineIdentified) machineIdentified();
    showStatus(state_.status.info1 + " " + textOf("Ploter", "msgUSBpolaczony"));
  } else {
    showStatus(textOf("Ploter", "msgUSBbrakLacznosci"));
  }
  if (menuUpdate) menuUpdate();
}

void tMachineConnection::tick() {
  if (shutDown_) return;
  if (usb_) usb_->checkDevices();
  queue_.runPending();
  if (watchdog_ && options_.ethernetEnabled && !ethernet_->commandConnected()) watchdog_->Resume();
}

void tMachineConnection::restart(const std::string& machineAddress) {
  options_.machineAddress = machineAddress;
  ethernet_->setAddress(machineAddress, options_.commandPort, options_.identityPort);
  if (!watchdog_ && !machineAddress.empty() && !shutDown_) watchdog_ = std::make_unique<tEthernetCzuwanie>(*ethernet_);
}

void tMachineConnection::shutdown() {
  if (shutDown_) return;
  shutDown_ = true;
  if (watchdog_) watchdog_->Terminate();
  queue_.runPending();
  watchdog_.reset();
  ethernet_->disconnectCommand();
}

}  // namespace trazvik
