#include "link/ethernet_watchdog.h"

namespace trazvik {

tEthernetCzuwanie::tEthernetCzuwanie(TfEthernet& ethernet) : ethernet_(ethernet) {
  thread_ = std::thread([this] { Execute(); });
}

tEthernetCzuwanie::~tEthernetCzuwanie() { Terminate(); }

void tEthernetCzuwanie::Resume() {
  {
    std::lock_guard lock(mutex_);
    resumed_ = true;
  }
  wake_.notify_all();
}

void tEthernetCzuwanie::Terminate() {
  {
    std::lock_guard lock(mutex_);
    terminated_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

int tEthernetCzuwanie::attempts() const {
  std::lock_guard lock(mutex_);
  return attempts_;
}

void tEthernetCzuwanie::Execute() {
  for (;;) {
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return resumed_ || terminated_; });
      if (terminated_) return;
      resumed_ = false;
    }
    if (ethernet_.commandConnected()) continue;
    {
      std::lock_guard lock(mutex_);
      ++attempts_;
    }
    ethernet_.connectCommand([this] {
      std::lock_guard lock(mutex_);
      return terminated_;
    });
  }
}

}  // namespace trazvik
