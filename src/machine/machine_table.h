// The built-in table of machine types: each row is the complete parameter
// record of its types.
#pragma once
#include "no_qt.h"

#include "machine/machine_params.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trazvik {

// The row of a type code ("LFV", "FV " with its blank, "YFB 32", "RZ", ...).
std::optional<tMachineParams> machineRow(std::string_view type);
// The rows that "YFB 32", "YFB 46" and "YFB 48" use from firmware 6.35.
std::optional<tMachineParams> machineRowFrom635(std::string_view type);
// Every type code that has a row, in table order.
const std::vector<std::string>& machineTypeCodes();

}  // namespace trazvik
