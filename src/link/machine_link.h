// The transports together: sendCommand, the single way out for every
// command, and the status channel the status reads use, both choosing
// Ethernet while its command connection is active and USB otherwise.
// This system gives programs no direct port access, so the legacy parallel
// link is not built: the link is always the packet link (cncMachine).
#pragma once
#include "no_qt.h"

#include "link/ethernet.h"
#include "link/status_operations.h"
#include "link/usb.h"

#include <chrono>
#include <functional>
#include <string>
#include <thread>

namespace trazvik {

struct tMachineLink {
  tLinkState& link;
  TfUsb* usb = nullptr;            // absent: no USB side
  TfEthernet* ethernet = nullptr;  // absent: no Ethernet side
  // A message box: text of (section, key), caption.
  std::function<void(const std::string& section, const std::string& key, const std::string& caption)> messageBox;
  std::function<void(std::chrono::milliseconds)> sleep = [](std::chrono::milliseconds d) {
    std::this_thread::sleep_for(d);
  };

  explicit tMachineLink(tLinkState& l) : link(l) { link.cncMachine = true; }
  bool ethernetInUse() const { return ethernet && link.ethernetActive; }
  bool usbPresent() const { return usb && usb->Present; }
};

inline constexpr int sendCommandRetries = 10;

// Sends one command. Nothing goes out unless the USB controller is present
// or the Ethernet link is active. Over USB a missing controller is retried
// ten times 10 ms apart, then given up silently; other failures show
// "msgBrakLacznosci" with the error number as caption.
void sendCommand(tMachineLink& machineLink, ByteSpan command);

class tLinkStatusChannel : public tStatusChannel {
 public:
  explicit tLinkStatusChannel(tMachineLink& machineLink) : link_(machineLink) {}
  Kind kind() const override { return link_.ethernetInUse() ? Kind::ethernet : Kind::usb; }
  std::optional<Bytes> usbReport(int n) override;
  std::optional<std::array<std::string, 3>> usbIdentity() override;
  Bytes exchange(ByteSpan command) override;
  Bytes legacyQuery(ByteSpan, std::size_t) override { return {}; }
  void sleep(std::chrono::milliseconds duration) override { link_.sleep(duration); }

 private:
  tMachineLink& link_;
};

}  // namespace trazvik
