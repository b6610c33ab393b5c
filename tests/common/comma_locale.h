// The process's C locale switched to one with a decimal comma for a test, as
// the desktop program runs for most of its users (Qt takes the user's
// locale at start), and put back afterwards.
#pragma once

#include <clocale>
#include <string>

namespace trazvik::testing {

class CommaLocale {
 public:
  CommaLocale() : before_(std::setlocale(LC_NUMERIC, nullptr)) {
    active_ = std::setlocale(LC_NUMERIC, "pl_PL.UTF-8") != nullptr;
  }
  ~CommaLocale() { std::setlocale(LC_NUMERIC, before_.c_str()); }
  CommaLocale(const CommaLocale&) = delete;
  CommaLocale& operator=(const CommaLocale&) = delete;
  // False where the locale is not installed (scripts/setup installs it).
  bool active() const { return active_; }

 private:
  std::string before_;
  bool active_ = false;
};

}  // namespace trazvik::testing
