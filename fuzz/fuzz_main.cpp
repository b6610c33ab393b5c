// One libFuzzer program: the target named by TRAZVIK_FUZZ_TARGET at build time.
#include "fuzz_targets.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const trazvik::fuzz::FuzzTarget* target = trazvik::fuzz::findFuzzTarget(TRAZVIK_FUZZ_TARGET);
  if (!target) std::abort();
  const std::string problem = target->run({data, size});
  if (!problem.empty()) {
    std::fprintf(stderr, "%s: %s\n", target->name, problem.c_str());
    std::abort();
  }
  return 0;
}
