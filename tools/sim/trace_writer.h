// Draws a tool trace: cuts as solid dark lines, travel as thin dashed grey
// lines, seen from above with Y growing upward. A cut is a move with the tool
// on, except at or above the height a running tool is lifted to (a router's
// spindle keeps running while it travels at the travel height). Each line of
// the SVG also carries its Z at both ends (data-z1, data-z2).
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
