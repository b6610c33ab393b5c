#include "control/last_position.h"

#include <cstdio>

namespace trazvik {

tLastPositionValues lastPositionOf(const tplotstate& st) {
  tLastPositionValues v;
  v.x = (st.abspos.x - st.pos0.x) / 100.0;
  v.y = (st.abspos.y - st.pos0.y) / 100.0;
  v.z = (st.abspos.z + st.pos0.z) / 100.0;
  return v;
}

std::string lastPositionText(const tLastPositionValues& v) {
  char line[128];
  std::string text;
  for (double value : {v.x, v.y, v.z}) {
    std::snprintf(line, sizeof line, "%10.3f\r\n", value);
    text += line;
  }
  text += "Czas " + v.timeOfDay + "\r\n";
  std::snprintf(line, sizeof line, "%.15g", v.transmissionPercent);
  text += "Procent transmisji " + std::string(line) + "\r\n";
  if (v.filePos) {
    text += "FilePos " + std::to_string(*v.filePos) + "\r\n";
  } else {
    text += "lastFilePos " + std::to_string(v.lastFilePos) + "\r\n";
    text += "FilePos : zamknięto plik, zakończono transmisję\r\n";
  }
  text += "TotalUsbError " + std::to_string(v.usbReadErrors) + "\r\n";
  text += "TotalUsbWriteError " + std::to_string(v.usbWriteErrors) + "\r\n";
  return text;
}

std::string longTimeText(double msSinceMidnight) {
  const long seconds = static_cast<long>(msSinceMidnight / 1000.0);
  char text[16];
  std::snprintf(text, sizeof text, "%02ld:%02ld:%02ld", seconds / 3600 % 24, seconds / 60 % 60, seconds % 60);
  return text;
}

}  // namespace trazvik
