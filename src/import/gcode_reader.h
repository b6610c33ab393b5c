// The G-code side of Thpgl: follows motion words and coordinates and splits
// the tool path into figures at every change between rapid moves and cutting
// moves. Arcs are cut into segments; every figure keeps its 3-D points (sp),
// its feed and its cut and travel lengths.
//
// A word letter without a number or with a malformed one (X, X1-2) fails the
// read with the line number and the word; so does a point beyond +-10 km.
#pragma once
#include "geometry/figure.h"
#include "geometry/records.h"

#include <cstdint>
#include <string>

namespace trazvik::import {

class Thpgl;

// What the reader takes from the machine and the settings. A highest limit
// of 0 means the machine is not known: no upper limit.
struct tGcodeSettings {
  double minFeed = 0;        // mm/min
  double maxFeed = 0;
  double minSpindle = 0;     // rpm
  double maxSpindle = 0;
  bool chkAbsolutArcPos = true;  // I and J are absolute centre coordinates
  double WorkSpeed = 500;    // feed of a cutting figure without an F word
};

class tGcodeReader {
 public:
  explicit tGcodeReader(Thpgl& in) : in_(in) {}

  // Every state value takes its start value (a file was opened).
  void reset();
  void readFigure(tfigura& fig);
  // The feed and kind of a figure just read (after the common finishing).
  void finish(tfigura& fig) const;

  tGcodeSettings settings;

  // --- state, kept across the figures of one file (lengths in mm) ---
  int gMode = -1;       // -1 none yet, 0 rapid, 1 linear, 2 clockwise, 3 counterclockwise
  int gModePrev = -1;
  double gUnit = 1;     // 1 mm, 25.4 inches
  double gFeed = 0;
  double gFeedPrev = 0;  // the feed before the current line
  double gSpindle = 0;
  trpoint3d gPos;
  trpoint3d gTarget;
  trealpoint gCentre;
  bool gHasPos = false;
  std::string gLine;
  std::string gLineText;
  int gEndMode = 1;
  double gEndFeed = 0;

 private:
  bool prepareNextLine();
  bool takeWords(bool& moves);
  bool word(char letter, double& value, bool& found);
  void executeMove(tfigura& fig);
  void arcMove(tfigura& fig);
  void store(tfigura& fig, double x, double y, double z);

  Thpgl& in_;
  std::uint64_t line_ = 0;      // lines read
  std::uint64_t textLine_ = 0;  // the line gLineText came from
  bool fileAtEnd_ = false;
  bool pendingLine_ = false;    // gLineText ended the last figure and is read again
};

}  // namespace trazvik::import
