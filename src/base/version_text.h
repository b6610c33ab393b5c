#pragma once
#include "no_qt.h"

#include <string>
#include <string_view>

namespace trazvik::base {

// The version of a build as four numbers major.minor.release.build joined by
// points; missing numbers count as 0 ("1.2" gives "1.2.0.0").
std::string fourNumberVersion(std::string_view version);
// Major and minor only ("3.50.1.7" gives "3.50"): what a language file must
// carry in its "version" attribute.
std::string majorMinorVersion(std::string_view version);

// The same for this build of the program.
std::string programVersionText();
std::string programMajorMinorVersion();

}  // namespace trazvik::base
