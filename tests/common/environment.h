// An environment made of a few variables, for tests of code that reads one.
#pragma once

#include "base/directories.h"

#include <map>

namespace trazvik::testing {

inline base::EnvironmentLookup environmentOf(std::map<std::string, std::string> variables) {
  return [variables](const std::string& name) -> std::optional<std::string> {
    auto found = variables.find(name);
    if (found == variables.end()) return std::nullopt;
    return found->second;
  };
}

}  // namespace trazvik::testing
