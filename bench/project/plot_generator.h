// A deterministic plot file for the loading benchmark: closed letter-like
// figures with holes (nesting depth up to 3) and open strokes that join
// into longer ones.
#pragma once

#include <string>

namespace trazvik::bench {

struct tRozmiarPlotu {
  int figuryZamkniete = 20000;  // closed figures
  int kreski = 5000;            // open strokes, 5 per joined chain
};

struct tOpisPlotu {
  std::string hpgl;
  int figuryZamkniete = 0;
  int kreski = 0;
  int lancuchy = 0;  // figures the strokes join into
};

tOpisPlotu generujPlot(const tRozmiarPlotu& r);

}  // namespace trazvik::bench
