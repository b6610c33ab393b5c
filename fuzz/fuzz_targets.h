// The readers and decoders that take bytes from outside (design files, the
// program's own files, the controller's replies), each wrapped as one fuzz
// target. A target feeds the bytes to the real code and checks what must
// hold for any input; it returns what went wrong, empty when all held. The
// libFuzzer programs abort on a non-empty answer; the test build replays the
// inputs kept in tests/fixtures/fuzz/<target>/ through the same functions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace trazvik::fuzz {

using FuzzInput = std::span<const std::uint8_t>;

struct FuzzTarget {
  const char* name;
  std::string (*run)(FuzzInput input);
};

std::span<const FuzzTarget> fuzzTargets();
const FuzzTarget* findFuzzTarget(std::string_view name);

// The file-backed readers write their input to a file of a scratch folder
// (in memory where the system has one) and read it back.
std::string scratchFile(const std::string& name, FuzzInput input);

}  // namespace trazvik::fuzz
