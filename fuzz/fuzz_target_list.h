// The fuzz targets, one function each (fuzz_targets.h tells what they do).
#pragma once

#include "fuzz_targets.h"

namespace trazvik::fuzz {

std::string fuzzHpgl(FuzzInput input);
std::string fuzzDxf(FuzzInput input);
std::string fuzzGcode(FuzzInput input);
std::string fuzzBmp(FuzzInput input);
std::string fuzzSettings(FuzzInput input);
std::string fuzzGlobalCfg(FuzzInput input);
std::string fuzzLayers(FuzzInput input);
std::string fuzzLanguage(FuzzInput input);
std::string fuzzBasePoints(FuzzInput input);
std::string fuzzSmallFiles(FuzzInput input);
std::string fuzzStatus(FuzzInput input);
std::string fuzzIdentity(FuzzInput input);
std::string fuzzEcho(FuzzInput input);
std::string fuzzJobDecoder(FuzzInput input);

}  // namespace trazvik::fuzz
