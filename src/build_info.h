#pragma once
#include "no_qt.h"

#include <string>

namespace trazvik {

// Version of this build, "major.minor.patch", from the build system.
std::string buildVersion();

}  // namespace trazvik
