#include "link/hid_service.h"

#include <hidapi.h>

#include <mutex>

namespace trazvik {

namespace {

// hidapi is initialised once per process and never torn down while devices
// may still be open.
bool hidapiReady() {
  static const bool ready = hid_init() == 0;
  return ready;
}

std::string narrow(const wchar_t* text) {
  std::string out;
  if (!text) return out;
  for (; *text; ++text) out.push_back(static_cast<char>(*text <= 0xFF ? *text : '?'));
  return out;
}

class HidapiDevice : public HidDevice {
 public:
  explicit HidapiDevice(const hid_device_info& info)
      : path_(info.path ? info.path : ""),
        manufacturer_(narrow(info.manufacturer_string)),
        product_(narrow(info.product_string)),
        serial_(narrow(info.serial_number)) {}
  ~HidapiDevice() override { close(); }

  HidResult open() override {
    if (handle_) return {};
    handle_ = hid_open_path(path_.c_str());
    gone_ = handle_ == nullptr;
    return handle_ ? HidResult{} : HidResult{hid_errors::notConnected, 0};
  }
  void close() override {
    if (handle_) hid_close(handle_);
    handle_ = nullptr;
  }
  bool isOpen() const override { return handle_ != nullptr; }
  bool connected() const override { return !gone_; }

  std::string manufacturer() const override { return manufacturer_; }
  std::string product() const override { return product_; }
  std::string serialNumber() const override { return serial_; }

  HidResult writeOutputReport(std::span<const std::uint8_t, outputReportSize> report) override {
    if (!handle_) return {hid_errors::notOpen, 0};
    const int n = hid_write(handle_, report.data(), report.size());
    if (n < 0) return failed();
    return {0, static_cast<std::size_t>(n)};
  }
  HidResult readInputReport(std::span<std::uint8_t> buffer, std::chrono::milliseconds timeout) override {
    if (!handle_) return {hid_errors::notOpen, 0};
    const int n = hid_read_timeout(handle_, buffer.data(), buffer.size(), static_cast<int>(timeout.count()));
    if (n < 0) return failed();
    if (n == 0) return {hid_errors::timedOut, 0};
    return {0, static_cast<std::size_t>(n)};
  }
  // hidapi hands the descriptor over as wide characters; each holds one
  // UTF-16 code unit of the body, which is two bytes of the report.
  HidResult readStringDescriptor(int index, std::vector<std::uint8_t>& body) override {
    if (!handle_) return {hid_errors::notOpen, 0};
    wchar_t text[stringDescriptorSize / 2 + 1] = {};
    if (hid_get_indexed_string(handle_, index, text, stringDescriptorSize / 2 + 1) != 0) return failed();
    body.clear();
    for (std::size_t i = 0; i < stringDescriptorSize / 2 && text[i]; ++i) {
      const auto unit = static_cast<std::uint32_t>(text[i]);
      body.push_back(static_cast<std::uint8_t>(unit & 0xFF));
      body.push_back(static_cast<std::uint8_t>((unit >> 8) & 0xFF));
    }
    return {0, body.size()};
  }

 private:
  HidResult failed() {
    // hidapi gives no error number; a failing transfer on this backend
    // almost always means the device went away.
    gone_ = true;
    return {hid_errors::notConnected, 0};
  }

  std::string path_, manufacturer_, product_, serial_;
  hid_device* handle_ = nullptr;
  bool gone_ = false;
};

class HidapiService : public tHidService {
 public:
  std::vector<std::shared_ptr<HidDevice>> enumerate() override {
    std::vector<std::shared_ptr<HidDevice>> out;
    if (!hidapiReady()) return out;
    hid_device_info* list = hid_enumerate(0, 0);
    for (hid_device_info* d = list; d; d = d->next) out.push_back(std::make_shared<HidapiDevice>(*d));
    hid_free_enumeration(list);
    return out;
  }
  std::string attachedFingerprint() override {
    std::string fingerprint;
    if (!hidapiReady()) return fingerprint;
    hid_device_info* list = hid_enumerate(0, 0);
    for (hid_device_info* d = list; d; d = d->next) {
      fingerprint += d->path ? d->path : "";
      fingerprint += '\n';
    }
    hid_free_enumeration(list);
    return fingerprint;
  }
};

}  // namespace

std::unique_ptr<tHidService> makeHidapiService() { return std::make_unique<HidapiService>(); }

}  // namespace trazvik
