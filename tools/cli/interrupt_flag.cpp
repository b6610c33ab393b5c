#include "interrupt_flag.h"

#include <atomic>
#include <csignal>

namespace trazvik::cli {
namespace {

std::atomic<int> pending{0};
struct sigaction previous {};

extern "C" void onInterrupt(int) { pending.fetch_add(1); }

}  // namespace

InterruptFlag::InterruptFlag() {
  pending = 0;
  struct sigaction action {};
  action.sa_handler = onInterrupt;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, &previous);
}

InterruptFlag::~InterruptFlag() { sigaction(SIGINT, &previous, nullptr); }

bool InterruptFlag::take() {
  if (pending.load() == 0) return false;
  pending = 0;
  return true;
}

}  // namespace trazvik::cli
