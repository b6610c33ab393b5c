#include "link/echo_check.h"

#include "link/ethernet.h"

#include <algorithm>
#include <cstdio>

namespace trazvik {

int echoError(ByteSpan command, ByteSpan echo) {
  if (echo.empty()) return ethernet_errors::noEcho;
  if (echo.size() != command.size()) return ethernet_errors::echoLength;
  const Bytes expected = expectedEcho(command);
  return std::equal(echo.begin(), echo.end(), expected.begin()) ? 0 : ethernet_errors::echoDiffers;
}

std::string hexBytes(ByteSpan bytes) {
  std::string text;
  char pair[4];
  for (std::uint8_t b : bytes) {
    std::snprintf(pair, sizeof pair, "%02X", b);
    if (!text.empty()) text += ' ';
    text += pair;
  }
  return text;
}

std::string echoFaultText(const tEchoFault& fault) {
  if (fault.echo.empty()) return "did not echo command (" + hexBytes(fault.command) + ")";
  return "echoed command (" + hexBytes(fault.command) + ") as (" + hexBytes(fault.echo) + ") instead of (" +
         hexBytes(expectedEcho(fault.command)) + ")";
}

}  // namespace trazvik
