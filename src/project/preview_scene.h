// A picture of a project for a person to look at: the figures as drawn,
// the tool paths, the entry points and the cutting order. Built once from
// the project and written as SVG or rasterised into a PNG.
#pragma once
#include "geometry/records.h"
#include "layers/warstwa.h"

#include <string>
#include <vector>

namespace trazvik {

class TMDIChild;

struct tScenaPodgladu {
  struct Linia {
    std::vector<trealpoint> punkty;  // file units, y up
    tKolor kolor = 0;
    double grubosc = 1;  // pixels
    bool przerywana = false;
  };
  struct Kropka {
    trealpoint srodek;
    tKolor kolor = 0;
    double promien = 3;  // pixels
  };
  struct Napis {
    trealpoint miejsce;  // file units, the text's lower-left corner
    std::string tekst;
    tKolor kolor = 0;
  };
  // The drawing's extent in file units.
  trealpoint min{0, 0};
  trealpoint max{1, 1};
  std::vector<Linia> linie;
  std::vector<Kropka> kropki;
  std::vector<Napis> napisy;
};

// Figures in their layer colour (grey when not cut), the outlines of the
// tool centre as dashed orange lines, the entry point of each cut figure as a
// red dot with its position in the cutting order.
tScenaPodgladu zbudujScenePodgladu(const TMDIChild& projekt);

// Maps file units to pixels of a width x height picture with a margin,
// keeping the aspect and turning y downwards.
struct tRzutPodgladu {
  tRzutPodgladu(const tScenaPodgladu& s, int width, int height, int margin = 20);
  trealpoint operator()(trealpoint p) const;
  double skala = 1;
  double ox = 0, oy = 0;
  int height = 0;
};

// SVG document of the scene.
std::string scenaSvg(const tScenaPodgladu& s, int width, int height);

// RGB pixels (3 bytes a pixel, rows top down) of the scene on white.
std::vector<unsigned char> rasteryzujScene(const tScenaPodgladu& s, int width, int height);

// Writes the scene to `path`: SVG when the name ends with ".svg" (any case),
// else PNG. An error text on failure, empty on success.
std::string zapiszPodglad(const tScenaPodgladu& s, const std::string& path, int width, int height);

}  // namespace trazvik
