// The plot file (HPGL and HPGL/2) side of Thpgl: reads instructions and
// turns pen moves, circles, arcs, rectangles and encoded polylines into
// figures, one per call.
//
// Pen positions follow the plotter's rules: PA and PR switch between
// absolute and relative plotting, PU and PD move in the current mode, a
// relative pair starts from the last position reached, and SC with IP maps
// user units onto plotter units. Positions are kept exactly; the stored
// points are rounded to whole plotter units (40 per millimetre).
//
// Every instruction's parameters are read to the next instruction, whatever
// they hold. Instructions that draw nothing are either harmless (see the
// table in plot_instructions.cpp) or counted as a warning with the place of
// the first one; what would be misread fails the read with its byte offset.
#pragma once
#include "geometry/figure.h"
#include "import/plot_scaling.h"
#include "import/text_source.h"

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace trazvik::import {

class Thpgl;

// The instruction's name as written, e.g. "PD" or "C".
std::string plotMnemonic(int command);

class tPlotReader {
 public:
  tPlotReader(Thpgl& in, TextSource& source) : in_(in), src_(source) {}

  // A new file was opened.
  void reset();
  // Fills fig with the next figure; sets the reader's EndOfFile with the last.
  void readFigure(tfigura& fig);

  // --- the plotter's state ---
  trealpoint xy;         // the pen position, plotter units, exact
  bool isdown = false;   // the pen is down
  bool relativ = false;  // relative plotting (PR) is on
  int command = 0;       // the current instruction, two packed upper-case letters

 private:
  struct tReady {
    std::vector<trealpoint> p;
    std::int32_t color = 0;
    double width = 0;
  };

  void fill();

  // scanner (plot_scanner.cpp)
  void advance() { c_ = src_.get(); }
  std::uint64_t here() const { return src_.offset() - (c_ >= 0 ? 1 : 0); }
  bool nextInstruction();
  bool nextNumber(double& value);
  bool readNumber(double& value);
  bool slowNumber(const char* text, std::size_t length, double& value);
  void skipParameters();
  void skipString();
  void skipEscape();
  void skipLine();
  bool skipLabel();
  int readParameters(double* values, int most);

  // instructions (plot_instructions.cpp)
  void interpret();
  void interpretOther();
  void movePairs(bool relative);
  void selectPen();
  void setPenWidth();
  void setTerminator();
  void setSymbolMode();
  void setScalingPoints();
  void setScale();
  void initialise(bool wholeDevice);
  void warnHere(const std::string& what);
  void closeSubpolygon();
  void polygonMode();
  void refuse(const std::string& reason);
  void refuseAt(std::uint64_t offset, const std::string& reason);

  // drawing (plot_shapes.cpp)
  bool toPlotter(double x, double y, bool relative, trealpoint& out);
  bool withinLimits(const trealpoint& centre, double radius);
  bool knownPosition();
  bool beginDrawing();
  void startFigure();
  void warnTooFew();
  void lowerPen();
  void raisePen();
  void moveTo(const trealpoint& p);
  void drawTo(const trealpoint& p);
  void store(const trealpoint& p);
  void endFigure();
  void emitShape();
  void circle();
  void arc(bool relative);
  void threePointArc(bool relative);
  void bezier(bool relative);
  void rectangle(bool relative);
  void wedge();
  void arcFrom(const trealpoint& centre, double sweep, bool drawn, const trealpoint* exactEnd);
  void encodedPolyline();
  bool encodedNumber(bool sevenBit, std::int64_t& value);

  Thpgl& in_;
  TextSource& src_;
  int c_ = -1;                       // the current byte, -1 at the end of the file
  std::uint64_t instructionAt_ = 0;  // offset of the current instruction
  std::uint64_t tokenAt_ = 0;        // offset of the current number
  bool positionKnown_ = true;        // false after a label or character move
  std::uint64_t unknownSince_ = 0;   // offset of the instruction that moved the pen unseen
  int labelTerminator_ = 3;          // ETX, or the character DT sets
  bool pclText_ = false;             // inside printer-language text (ESC % 0 A)
  trealpoint polygonStart_;          // where the current subpolygon (PM) began
  bool inPolygon_ = false;
  bool pageAdvanced_ = false;  // PG met; drawing after it is warned
  std::uint64_t pageAt_ = 0;
  tPlotScaling scaling_;
  std::vector<trealpoint> points_;  // the figure being drawn, rounded
  std::vector<trealpoint> shape_;   // a closed shape (circle, rectangle) being made
  std::deque<tReady> ready_;        // finished figures not yet handed out
  std::array<double, 8> param_{};   // parameters of the current instruction
};

}  // namespace trazvik::import
