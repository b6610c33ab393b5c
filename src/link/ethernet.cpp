#include "link/ethernet.h"

#include "link/status_decode.h"
#include "link/status_layout.h"
#include "link/status_plausibility.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

namespace trazvik {

namespace {

constexpr std::size_t kMaxCommandBytes = 128;
constexpr std::size_t kStatusReplyBytes = 256;
constexpr std::size_t kIdentityReplyBytes = 256;
constexpr std::size_t kFieldBytes = 8;
constexpr const char* kSection = "Ethernet_communication";

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

tEthernetIdentity parseEthernetIdentity(ByteSpan reply) {
  tEthernetIdentity id;
  std::string text(reply.begin(), reply.end());
  text = text.substr(0, text.find('\0'));
  if (const std::size_t k = text.find("DORNELIS"); k != std::string::npos) {
    // The fields are taken from the received bytes, not the text: a zero
    // byte inside a field is kept as the controller sent it.
    auto field = [&](std::size_t at) {
      if (at + kFieldBytes > reply.size()) return std::string();
      return std::string(reply.begin() + static_cast<std::ptrdiff_t>(at),
                         reply.begin() + static_cast<std::ptrdiff_t>(at + kFieldBytes));
    };
    id.info0 = field(k);
    id.info1 = field(k + 21);
    id.info2 = field(k + 42);
  }
  if (const std::size_t v = text.find("ver"); v != std::string::npos && v + 7 < text.size()) {
    const char level = text[v + 4], tens = text[v + 6], ones = text[v + 7];
    if (isDigit(level) && isDigit(tens) && isDigit(ones)) {
      id.protocolLevel = static_cast<std::uint16_t>(level - '0');
      id.firmwareMinor = static_cast<std::uint16_t>(10 * (tens - '0') + (ones - '0'));
    }
  }
  return id;
}

Bytes expectedEcho(ByteSpan command) {
  Bytes echo(command.begin(), command.end());
  if (!echo.empty() && echo[0] >= 'a' && echo[0] <= 'z') echo[0] = static_cast<std::uint8_t>(echo[0] - 'a' + 'A');
  return echo;
}

TfEthernet::TfEthernet(tMachineState& state, tInterfaceQueue& interfaceQueue)
    : link_(state.link), st_(state.status), machine_(state.model), queue_(interfaceQueue) {
  link_.ethernetActive = false;
  link_.ethernetError = 0;
}

TfEthernet::~TfEthernet() {
  command_.disconnect();
  identity_.disconnect();
}

void TfEthernet::setAddress(const std::string& machineAddress, std::uint16_t commandPort, std::uint16_t identityPort) {
  command_.setRemote(machineAddress, commandPort);
  identity_.setRemote(machineAddress, identityPort);
}

void TfEthernet::restart(const std::string& machineAddress) {
  command_.setRemote(machineAddress, command_.port());
  identity_.setRemote(machineAddress, identity_.port());
}

void TfEthernet::show(const char* key) {
  if (statusText_) statusText_(kSection, key);
}

void TfEthernet::lost(int code) {
  // A receive that found the connection closed by the controller is the
  // disconnect event; a socket error is the error event.
  if (code == 0)
    TcpClient1Disconnect();
  else
    TcpClient1Error(code);
}

Bytes TfEthernet::exchange(ByteSpan bytes) {
  socketError_ = false;
  if (int e = command_.sendAll(bytes)) {
    socketError_ = true;
    lost(e);
    return {};
  }
  tTcpClient::Received r = command_.receive(kMaxCommandBytes * 2, timeouts_.receive);
  if (r.peerClosed) {
    lost(0);
  } else if (r.error) {
    socketError_ = true;
    lost(r.error);
  } else if (!r.data.empty()) {
    silentExchanges_ = 0;
  } else if (++silentExchanges_ >= silentExchangesLost) {
    // A controller that stopped answering without closing the connection
    // (cable pulled, switched off) is gone: the link shows it, the loop
    // slows down and the watchdog reconnects, instead of every status
    // read waiting out the receive time-out while the link looks up.
    silentExchanges_ = 0;
    lost(0);
  }
  return std::move(r.data);
}

void TfEthernet::Write(ByteSpan command) {
  if (command.size() > kMaxCommandBytes) {
    link_.ethernetError = ethernet_errors::commandTooLong;
    return;
  }
  Bytes echo = exchange(command);
  // A socket error keeps the code the error event stored: the link is lost,
  // which the loop tells.
  if (echo.empty() && socketError_) return;
  link_.ethernetError = echoError(command, echo);
  if (link_.ethernetError == 0) return;
  if (echoFaults_.size() >= keptEchoFaults) echoFaults_.erase(echoFaults_.begin());
  echoFaults_.push_back({Bytes(command.begin(), command.end()), std::move(echo), link_.ethernetError});
}

std::vector<tEchoFault> TfEthernet::takeEchoFaults() {
  // While the last exchanges got nothing, a missing echo may be the link
  // going down: that is decided by the next exchange that gets an answer
  // (the faults are then the controller's) or by the loss of the link.
  if (silentExchanges_ > 0) return {};
  return std::exchange(echoFaults_, {});
}

bool TfEthernet::GetStatus() {
  static const std::uint8_t query[] = {'S', 'X'};
  const Bytes reply = exchange(query);
  if (reply.empty()) {
    if (!socketError_) link_.ethernetError = ethernet_errors::noStatus;
    return false;
  }
  const tStatusLayout layout = statusLayoutOf(machine_, link_);
  if (!statusReplyReadable(reply, layout)) {
    link_.ethernetError = ethernet_errors::statusUnreadable;
    return false;
  }
  return decodeEthernetStatus(reply, layout, st_, link_);
}

void TfEthernet::getInfo() {
  Bytes reply;
  if (identity_.connect(timeouts_.connect) == 0) {
    static const std::uint8_t http[] = {'H', 'T', 'T', 'P'};
    if (identity_.sendAll(http) == 0) reply = identity_.receive(kIdentityReplyBytes, timeouts_.receive).data;
  }
  identity_.disconnect();
  if (reply.empty()) link_.ethernetError = ethernet_errors::noIdentity;
  const tEthernetIdentity id = parseEthernetIdentity(reply);
  st_.info0 = id.info0;
  st_.info1 = id.info1;
  st_.info2 = id.info2;
  link_.protocolLevel = id.protocolLevel;
  link_.firmwareMinor = id.firmwareMinor;
  identifyMachine(machine_, link_, st_, identifyEnv_);
  GetStatus();
}

int TfEthernet::connectCommand(const std::function<bool()>& abort) {
  const int e = command_.connect(timeouts_.connect, abort);
  if (e == ECANCELED) return e;
  if (e == 0)
    queue_.post([this] { TcpClient1Connect(); });
  else
    queue_.post([this, e] { TcpClient1Error(e); });
  return e;
}

void TfEthernet::disconnectCommand() {
  if (!command_.connected()) return;
  command_.disconnect();
  TcpClient1Disconnect();
}

void TfEthernet::TcpClient1Connect() {
  // The connection may have failed again before this ran.
  if (!command_.connected()) return;
  link_.ethernetError = 0;
  getInfo();
  silentExchanges_ = 0;
  connectedButSilent_ = link_.ethernetError == ethernet_errors::noStatus;
  if (connectedButSilent_) {
    // The network module took the connection but the controller behind
    // it does not answer: taking that for a link would let every
    // reconnection restart the job's transfer into silence, the loop
    // never seeing the link down. The next tick's watchdog tries again.
    command_.disconnect();
    link_.ethernetActive = false;
    return;
  }
  link_.ethernetError = 0;
  link_.ethernetActive = true;
  show("msgEthernetPodlaczony");
  if (connected_) connected_();
}

void TfEthernet::TcpClient1Disconnect() {
  // Echoes missing on a link that went down are the loss, told as such.
  echoFaults_.clear();
  command_.disconnect();
  show("msgEthernetRozlaczony");
  link_.ethernetActive = false;
}

void TfEthernet::TcpClient1Error(int code) {
  echoFaults_.clear();
  link_.ethernetError = code;
  command_.disconnect();
  link_.ethernetActive = false;
}

}  // namespace trazvik
