// "typ.txt" in the data folder: the product string of the last controller
// seen, so the program knows its machine before the controller answers.
#pragma once
#include "no_qt.h"

#include <optional>
#include <string>

namespace trazvik {

// The first line of the file; nothing when it is missing, unreadable or
// empty. At most 64 bytes are taken (a product string is 8).
std::optional<std::string> readMachineTypeCache(const std::string& path);
// One line, no line end, written whole or not at all.
bool writeMachineTypeCache(const std::string& path, const std::string& info1);

}  // namespace trazvik
