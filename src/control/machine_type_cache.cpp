#include "control/machine_type_cache.h"

#include "app/atomic_file.h"

#include <fstream>

namespace trazvik {

std::optional<std::string> readMachineTypeCache(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string line;
    char c = 0;
    while (line.size() < 64 && in.get(c) && c != '\n' && c != '\r') line.push_back(c);
    if (trimmed(line).empty()) return std::nullopt;
    return line;
}

bool writeMachineTypeCache(const std::string& path, const std::string& info1) {
    return app::writeFileAtomically(path, info1);
}

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

}  // namespace trazvik
