#include "build_info.h"

namespace trazvik {

std::string buildVersion() { return TRAZVIK_VERSION; }

}  // namespace trazvik
