// Draws a tool trace: cuts (tool on) as solid dark lines, travel (tool off)
// as thin dashed grey lines, seen from above with Y growing upward.
#pragma once
#include "no_qt.h"

#include "tool_trace.h"

#include <string>

namespace trazvik::sim {

std::string traceToSvg(const ToolTrace& trace);

// Writes the SVG or PNG picture chosen by the extension of `path` (".svg" or
// ".png"). On failure returns false and puts the reason into `error`.
bool writeTrace(const ToolTrace& trace, const std::string& path, std::string& error);

}  // namespace trazvik::sim
