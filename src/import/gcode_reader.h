// The G-code side of Thpgl: interprets a program line by line into moves
// and splits the tool path into figures at every change between rapid moves
// and cutting moves. Arcs are cut into segments and drilling cycles into the
// moves they make; every figure keeps its 3-D points (sp), its feed and its
// cut and travel lengths.
//
// Nothing is dropped silently and nothing is guessed: what the program does
// that is no geometry is ignored (the code says why), what a machine would
// do and the job does not is a warning with its count and first line, and
// what could be misread (parameters, subprograms, offsets set by the
// program, cutter compensation, arcs off their circle, ...) fails the read
// with the line and the word. A word letter without a number or with a
// malformed one (X, X1-2) fails the read too; so does a point beyond 10 km.
#pragma once
#include "geometry/figure.h"
#include "geometry/records.h"
#include "import/gcode_words.h"

#include <cstdint>
#include <string>
#include <vector>

namespace trazvik::import {

class Thpgl;

// What the reader takes from the machine and the settings. A highest limit
// of 0 means the machine is not known: no upper limit.
struct tGcodeSettings {
  double minFeed = 0;  // mm/min
  double maxFeed = 0;
  double minSpindle = 0;  // rpm
  double maxSpindle = 0;
  bool chkAbsolutArcPos = true;  // I and J are absolute centre coordinates (until G90.1/G91.1)
  double WorkSpeed = 500;        // feed of a cutting figure without an F word
};

// One move of the program as a figure receives it (millimetres).
struct tGcodeMove {
  enum Shape : std::uint8_t { Line, Arc, Jump };
  Shape shape = Line;
  bool cut = false;         // a cutting move; a rapid one otherwise
  bool fromKnown = true;    // Arc: false for a first move (the start is not stored)
  bool targetKnown = true;  // Jump: false when the move went to a machine position
  trpoint3d from, to;
  double feed = 0;
  // Arc: centre, radius, start angle and signed sweep (radians).
  double cx = 0, cy = 0, radius = 0, start = 0, sweep = 0;
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

  // --- program state, kept across the figures of one file (lengths in mm) ---
  int gMode = -1;             // motion mode: -1 none, 0 rapid, 1 linear, 2 cw, 3 ccw, 81..83 drilling
  double gUnit = 1;           // 1 mm, 25.4 inches
  bool gIncremental = false;  // G91: X, Y, Z are distances from the current position
  bool gArcAbsolute = true;   // I, J are absolute (G90.1) or from the arc's start (G91.1)
  int gPlane = 17;
  bool gRetractToStart = true;  // G98 (true) or G99: where drilling retracts to
  double gFeed = 0;
  double gSpindle = 0;
  trpoint3d gPos;        // current position
  bool gHasPos = false;  // a coordinate has been read (the start is not known before)
  int gEndMode = 1;      // 1 cutting or 0 rapid: the figure that just ended
  double gEndFeed = 0;

 private:
  // Reading and interpreting lines (gcode_reader.cpp).
  bool readBlock();
  bool interpret(const tGcodeBlock& b);
  bool takeCodes(const tGcodeBlock& b, int& motion, int& machine, bool& cancelCycle, bool& dwell);
  bool takeMcodes(const tGcodeBlock& b);
  bool checkLetters(const tGcodeBlock& b);
  bool move(const tGcodeBlock& b);
  trpoint3d targetOf(const tGcodeBlock& b) const;
  unsigned axesOf(const tGcodeBlock& b) const;
  std::string lineToken() const;
  bool refuse(const std::string& reason, const std::string& token);
  void warn(const std::string& what);

  // Moves (gcode_moves.cpp).
  // `fixes`: the axes whose position the move sets (absolute words).
  bool pushLine(bool cut, const trpoint3d& target, unsigned fixes);
  void pushJump(bool cut, const trpoint3d& target, bool known);
  bool pushArc(const tGcodeBlock& b, const trpoint3d& target);
  bool arcCentre(const tGcodeBlock& b, const trpoint3d& target, double& cx, double& cy);
  bool machineMove(const tGcodeBlock& b, int code);
  bool applyMove(tfigura& fig, const tGcodeMove& m);
  void drawArc(tfigura& fig, const tGcodeMove& m);
  void drawArcInRange(tfigura& fig, const tGcodeMove& m, int n);
  void store(tfigura& fig, double x, double y, double z);

  // Drilling cycles (gcode_cycles.cpp).
  bool drill(const tGcodeBlock& b);
  bool drillHole(double x, double y, double rPlane, double bottom);

  Thpgl& in_;
  std::string text_;  // the line being read
  tGcodeBlock block_;
  std::uint64_t line_ = 0;  // lines read; the line of the block being interpreted
  bool fileAtEnd_ = false;
  bool programStarted_ = false;  // a line with words was read
  bool programEnded_ = false;    // M2, M30 or the closing "%"
  unsigned unknownAxes_ = 0;     // bit 0 X, 1 Y, 2 Z: left at a machine position
  bool spindleStopped_ = false;  // M5 was the last spindle word

  // Drilling cycle state: R and Z as written (mm), the peck depth, the Z
  // the cycle began at.
  bool cycleHasR_ = false, cycleHasZ_ = false;
  double cycleR_ = 0, cycleZ_ = 0, cycleQ_ = 0, cycleStartZ_ = 0;

  // Moves of the lines read and not yet given to a figure.
  std::vector<tGcodeMove> queue_;
  std::size_t head_ = 0;
  // The points of the figure being read (file units), given to the figure
  // at its end in one allocation of the exact size; the buffer keeps its
  // room from figure to figure.
  std::vector<trpoint3d> points3d_;
  int figureCut_ = -1;  // the figure being read: -1 no move yet, 0 rapid, 1 cutting
  double figureFeed_ = 0;
};

}  // namespace trazvik::import
