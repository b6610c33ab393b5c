// The watchdog that re-establishes the command connection: it sleeps until
// resumed, then makes one bounded connect attempt when the connection is
// down and sleeps again. The control panel's tick resumes it while the
// Ethernet setting is on and the link is down. Ending it leaves a waiting
// connect early and joins the thread.
#pragma once
#include "no_qt.h"

#include "link/ethernet.h"

#include <condition_variable>
#include <mutex>
#include <thread>

namespace trazvik {

class tEthernetCzuwanie {
 public:
  // Created suspended.
  explicit tEthernetCzuwanie(TfEthernet& ethernet);
  ~tEthernetCzuwanie();
  tEthernetCzuwanie(const tEthernetCzuwanie&) = delete;
  tEthernetCzuwanie& operator=(const tEthernetCzuwanie&) = delete;

  void Resume();
  // Asks the thread to end and waits for it.
  void Terminate();
  // Connect attempts made so far.
  int attempts() const;

 private:
  void Execute();

  TfEthernet& ethernet_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  bool resumed_ = false;
  bool terminated_ = false;
  int attempts_ = 0;
  std::thread thread_;
};

}  // namespace trazvik
