// The Ethernet link to a controller with a network module: the command
// connection (commands with their echo check, "SX" status exchanges), the
// identity connection ("HTTP", maker, product, serial and version) and the
// connection events. Results of exchanges go to ethernetError only:
//   0 success, 100 status exchange got nothing, 101 command exchange got
//   nothing, 102 echo of another length, 103 echo differs or the identity
//   exchange got nothing, other: socket error of the command connection.
// Connect, disconnect and error events may be raised on the watchdog thread;
// their work is posted to the interface thread, which alone writes the
// plot state, the machine model and the link flags.
#pragma once
#include "no_qt.h"

#include "machine/byte_fields.h"
#include "machine/identify_machine.h"
#include "link/echo_check.h"
#include "link/interface_queue.h"
#include "machine/machine_state.h"
#include "link/tcp_client.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace trazvik {

namespace ethernet_errors {
inline constexpr int noStatus = 100;
inline constexpr int noEcho = 101;
inline constexpr int echoLength = 102;
inline constexpr int echoDiffers = 103;
inline constexpr int noIdentity = 103;
// A command longer than one exchange carries: refused, nothing sent (a cut
// command would reach the machine as a different, wrong command).
inline constexpr int commandTooLong = 104;
// A status reply came but holds numbers no controller reports; it is not
// decoded.
inline constexpr int statusUnreadable = 105;
}  // namespace ethernet_errors

inline constexpr std::uint16_t defaultCommandPort = 9999;
inline constexpr std::uint16_t defaultIdentityPort = 80;

// What the identity page gives: the three 8-byte fields and the version.
struct tEthernetIdentity {
  std::string info0, info1, info2;
  std::uint16_t protocolLevel = 0;
  std::uint16_t firmwareMinor = 0;
};

// Reads the identity reply (up to its first zero byte). Fields that would
// not fit in the reply, or a reply without the maker's name, stay empty; a
// version whose places are not digits stays 0.0.
tEthernetIdentity parseEthernetIdentity(ByteSpan reply);

// The echo the controller gives for a command: a lower-case ASCII first
// byte turned to upper case.
Bytes expectedEcho(ByteSpan command);

class TfEthernet {
 public:
  struct Timeouts {
    std::chrono::milliseconds connect{3000};
    std::chrono::milliseconds receive{1000};
  };
  // Shows a text of the interface (section, key) in the status bar's first panel.
  using StatusText = std::function<void(const std::string& section, const std::string& key)>;

  // The connection identifies the machine into `state` and keeps its link values.
  TfEthernet(tMachineState& state, tInterfaceQueue& interfaceQueue);
  ~TfEthernet();

  void setAddress(const std::string& machineAddress, std::uint16_t commandPort = defaultCommandPort,
                  std::uint16_t identityPort = defaultIdentityPort);
  // The address was changed: both connections go to machineAddress.
  void restart(const std::string& machineAddress);
  void setTimeouts(Timeouts t) { timeouts_ = t; }
  void setStatusText(StatusText show) { statusText_ = std::move(show); }
  // Told on the interface thread once a connection identified its machine
  // and the controller answered.
  void setConnected(std::function<void()> connected) { connected_ = std::move(connected); }
  void setIdentifyEnvironment(tIdentifyEnvironment env) { identifyEnv_ = std::move(env); }

  // Command exchange with the echo check (interface thread).
  // An echo that is missing or not the command's is kept for the operation
  // that sent it (takeEchoFaults).
  void Write(ByteSpan command);
  // The echo faults since the last call, oldest first; at most
  // keptEchoFaults are kept (the oldest go when more come). Nothing while
  // the last exchange got no answer (see lastExchangeSilent).
  std::vector<tEchoFault> takeEchoFaults();
  static constexpr std::size_t keptEchoFaults = 16;
  // The last exchange received nothing: whether the controller only missed
  // an echo or the link is going down shows at the next one.
  bool lastExchangeSilent() const { return silentExchanges_ > 0; }
  // Status exchange, decoded into the plot state; false when nothing usable came.
  bool GetStatus();
  // The raw "SX" exchange or any other: what one receive brought (empty
  // when nothing came; a closed connection raises the disconnect event).
  Bytes exchange(ByteSpan bytes);
  // Identity exchange, version, machine identification, one status exchange.
  void getInfo();

  // Connects the command connection (bounded); the connect or error event
  // is posted to the interface thread. Used by the watchdog and by tools
  // that connect once; `abort` leaves a waiting connect early.
  int connectCommand(const std::function<bool()>& abort = {});
  bool commandConnected() const { return command_.connected(); }
  // The last connection was taken but the controller did not answer its
  // status exchange, so it was closed again (not a socket error).
  bool connectedButSilent() const { return connectedButSilent_; }
  void disconnectCommand();

  // The events (run on the interface thread).
  void TcpClient1Connect();
  void TcpClient1Disconnect();
  void TcpClient1Error(int code);

  // Exchanges in a row that may receive nothing before the controller
  // counts as gone (the connection is then closed as by the controller).
  static constexpr int silentExchangesLost = 3;

 private:
  void show(const char* key);
  void lost(int code);

  tLinkState& link_;
  tplotstate& st_;
  tMachineModel& machine_;
  tInterfaceQueue& queue_;
  tTcpClient command_;   // TcpClient1
  tTcpClient identity_;  // TcpClientHTML
  Timeouts timeouts_;
  StatusText statusText_;
  std::function<void()> connected_;
  tIdentifyEnvironment identifyEnv_;
  bool socketError_ = false;  // the last exchange ended in the error event
  int silentExchanges_ = 0;   // exchanges in a row that received nothing
  bool connectedButSilent_ = false;
  std::vector<tEchoFault> echoFaults_;
};

}  // namespace trazvik
