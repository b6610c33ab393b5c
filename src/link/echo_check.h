// The controller's echo of a command over Ethernet, and what the program
// keeps of an echo that did not match: the controller may have taken
// another command than the one sent, so the operation that sent it (or the
// job transfer) tells the operator which command it was.
#pragma once
#include "no_qt.h"

#include "machine/byte_fields.h"

#include <string>

namespace trazvik {

// 0 when `echo` is the controller's echo of `command`; else the error code
// of the exchange: 101 nothing came, 102 another length, 103 other bytes.
int echoError(ByteSpan command, ByteSpan echo);

struct tEchoFault {
  Bytes command;
  Bytes echo;    // empty: nothing came back
  int code = 0;  // 101, 102 or 103
};

// Bytes as upper-case hexadecimal pairs separated by blanks ("4C 01 02").
std::string hexBytes(ByteSpan bytes);
// "did not echo command (4C 01 02)" or "echoed command (6C 01 02) as (6C 01
// 02) instead of (4C 01 02)".
std::string echoFaultText(const tEchoFault& fault);

}  // namespace trazvik
