// The HID devices of the workstation as the USB link sees them: one
// enumeration in order, and a cheap fingerprint of what is attached so a
// periodic check notices plugging and unplugging without opening devices.
#pragma once
#include "no_qt.h"

#include "link/hid_device.h"

#include <memory>
#include <string>
#include <vector>

namespace trazvik {

class tHidService {
 public:
  virtual ~tHidService() = default;
  // Every HID device attached now, in enumeration order (not opened).
  virtual std::vector<std::shared_ptr<HidDevice>> enumerate() = 0;
  // Changes whenever a device arrives or leaves.
  virtual std::string attachedFingerprint() = 0;
};

// The platform's HID devices through hidapi (libusb backend, which can read
// indexed string descriptors).
std::unique_ptr<tHidService> makeHidapiService();

}  // namespace trazvik
