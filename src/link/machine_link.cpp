#include "link/machine_link.h"

#include <thread>

namespace trazvik {

void sendCommand(tMachineLink& m, ByteSpan command) {
  if (command.empty()) return;
  if (!m.usbPresent() && !m.ethernetInUse()) return;
  if (m.ethernetInUse()) {
    m.ethernet->Write(command);
    return;
  }
  std::int32_t result = m.usb->Write(command);
  for (int retry = 0; result == usb_results::noController && retry < sendCommandRetries; ++retry) {
    ++m.link.usbReadErrors;
    result = m.usb->Write(command);
    m.sleep(std::chrono::milliseconds(10));
  }
  if (result != 0 && result != usb_results::noController && m.messageBox)
    m.messageBox("Project_window", "msgBrakLacznosci", std::to_string(result));
}

std::optional<Bytes> tLinkStatusChannel::usbReport(int n) {
  if (!link_.usb || link_.usb->ReadString(n) != 0) return std::nullopt;
  return Bytes(link_.usb->BufIn.begin(), link_.usb->BufIn.begin() + HidDevice::stringDescriptorSize);
}

std::optional<std::array<std::string, 3>> tLinkStatusChannel::usbIdentity() {
  if (!link_.usb || !link_.usb->DornelisFrezExist()) return std::nullopt;
  const auto& d = link_.usb->TheDev;
  return std::array<std::string, 3>{d->manufacturer(), d->product(), d->serialNumber()};
}

Bytes tLinkStatusChannel::exchange(ByteSpan command) {
  if (!link_.ethernet) return {};
  return link_.ethernet->exchange(command);
}

}  // namespace trazvik
