// What trazvik-cli open prints about a project: as text for a person, or
// as JSON for scripts (the object of `figures --json` with the project's
// own fields added).
#pragma once

#include "project/tmdichild.h"

#include <string>

namespace trazvik::cli {

std::string projectText(const TMDIChild& project);
std::string projectJson(const TMDIChild& project);

}  // namespace trazvik::cli
