#include "project/spatial_hash.h"

#include "geometry/crossing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <set>

namespace trazvik {
namespace {

TEST(SpatialHash, SegmentCellsFindEveryCrossingAndTouchingPair) {
  std::mt19937 rng(3);
  std::uniform_real_distribution<double> pos(-50, 50);
  std::uniform_int_distribution<int> lattice(-5, 5);
  for (int round = 0; round < 20; ++round) {
    tSiatkaHaszujaca siatka(10.0 / (1 + round % 4));
    std::vector<tSegment> odcinki;
    for (int i = 0; i < 150; ++i) {
      // some ends on cell borders and some axis-parallel, where rounding bites
      tSegment s = round % 2 ? tSegment{{pos(rng), pos(rng)}, {pos(rng), pos(rng)}}
                             : tSegment{{lattice(rng) * 10.0, lattice(rng) * 10.0}, {lattice(rng) * 10.0, pos(rng)}};
      odcinki.push_back(s);
      siatka.dodajOdcinek(static_cast<std::uint32_t>(i), s.start, s.end);
    }
    for (std::size_t i = 0; i < odcinki.size(); ++i) {
      std::set<std::uint32_t> kandydaci;
      siatka.dlaKandydatowOdcinka(odcinki[i].start, odcinki[i].end, [&](std::uint32_t k) { kandydaci.insert(k); });
      for (std::size_t j = 0; j < odcinki.size(); ++j) {
        trealpoint q;
        if (segmentsCrossStrict(odcinki[i], odcinki[j], q) || segmentsCross(odcinki[i], odcinki[j])) {
          EXPECT_TRUE(kandydaci.count(static_cast<std::uint32_t>(j))) << "round " << round << ": " << i << " " << j;
        }
      }
    }
  }
}

TEST(SpatialHash, HugeAndBrokenSegmentsGoToTheOverflowList) {
  tSiatkaHaszujaca siatka(1.0);
  siatka.dodajOdcinek(0, {-1e300, 0}, {1e300, 1});
  siatka.dodajOdcinek(1, {NAN, 0}, {0, 0});
  siatka.dodajOdcinek(2, {2147483647.0, 2147483647.0}, {2147483647.0, 2147483647.0});
  siatka.dodajOdcinek(3, {1e300, 1e300}, {1e300, 2e300});
  std::set<std::uint32_t> k;
  siatka.dlaKandydatowOdcinka({0, 0}, {1, 1}, [&](std::uint32_t i) { k.insert(i); });
  EXPECT_TRUE(k.count(0));
  EXPECT_TRUE(k.count(1));
  EXPECT_FALSE(k.count(2));
  k.clear();
  siatka.dlaKandydatowOdcinka({2147483647.0, 2147483646.0}, {2147483647.0, 2147483648.0},
                              [&](std::uint32_t i) { k.insert(i); });
  EXPECT_TRUE(k.count(2));
}

}  // namespace
}  // namespace trazvik
