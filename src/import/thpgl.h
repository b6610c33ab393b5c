// Thpgl, the reading side: turns a design file into figures, one per call
// of get_figura. The file type chosen at open selects the format: plot files
// (HPGL), DXF drawings and G-code programs each have a reader of their own
// (tPlotReader, tDxfReader, tGcodeReader) that get_figura hands the call to.
//
// Use: open, then get_figura until EndOfFile, then close. A read that fails
// (failed()) sets EndOfFile too; its error() names the file, the byte offset
// and the token, and the figures read so far must be thrown away.
#pragma once
#include "geometry/figure.h"
#include "geometry/records.h"
#include "geometry/units.h"
#include "import/dxf_reader.h"
#include "import/gcode_reader.h"
#include "import/plot_reader.h"
#include "import/read_error.h"
#include "import/read_warning.h"
#include "import/text_source.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace trazvik::import {

inline constexpr int kMaxPen = 1024;
// Longest number token kept; a longer one fails the read.
inline constexpr std::size_t kMaxTokenLength = 64;

// Per pen: a value kept with the pen and its width (PW).
struct tPenRecord {
  double value = 0;
  double width = 0;
};

class Thpgl {
 public:
  Thpgl();

  // --- settings the reader takes from the project ---
  double mnoznikZ = 1;  // pen widths (PW) are multiplied by this
  double accuracy = 2;  // segments shorter than this count as short

  // 0, or the operating system's error code of the failed open
  // (kErrorFileInUse when another process holds the file).
  int open(const std::string& fileName, int fileType, bool openedAsMultilayer);
  // Fills the empty figure fig with the next figure and finishes it.
  void get_figura(trazvik::tfigura& fig);
  void close();

  bool failed() const { return static_cast<bool>(error_); }
  const tReadError& error() const { return error_; }
  // Segments shorter than `accuracy` met in the figures read so far.
  int shortSegments() const { return shortSegments_; }

  // --- line readers of the text formats (DXF, G-code) ---
  // Each reads one line and first inverts parzystyWiersz. A line longer than
  // kMaxLineLength fails the read. readRealLine and readIntLine leave value
  // unchanged for an empty line and return false (failing the read) for a
  // malformed number.
  static constexpr std::size_t kMaxLineLength = 64 * 1024;
  void readLine(std::string& out);
  bool readRealLine(double& value);
  bool readIntLine(std::int32_t& value);
  // The last line read was a code line (kod) or a value line (wartosc) and,
  // trimmed and upper-cased, equals the upper-cased code or value.
  bool kod(const std::string& code, const std::string& line) const;
  bool wartosc(const std::string& value, const std::string& line) const;

  // --- reading state shared by the formats ---
  std::int32_t last_pen = 0;  // selected pen (plot) or colour index (DXF)
  int FileType = 0;
  int Dxf2Hpgl = 0;
  trazvik::trpoint3d lastGb;
  trazvik::trpoint3d lastGp;
  bool parzystyWiersz = false;  // the last line read was a value line
  bool otwarto_jako_wielowarstw = false;
  std::array<tPenRecord, kMaxPen + 1> pens{};
  bool EndOfFile = true;
  bool EndOfFig = false;

  // The plot, DXF and G-code readers (their own state and settings).
  tPlotReader plot{*this, f};
  tDxfReader dxf{*this};
  tGcodeReader gcode{*this};

  // Fails the read at a line of a text format (DXF, G-code); the first
  // failure is the one that counts. A refusal (Refused) gives its reason.
  void failAtLine(tReadErrorKind kind, std::uint64_t line, const std::string& token, const std::string& reason = {});

  // What the file holds that is not drawn, counted per kind (see tReadWarnings).
  void warn(const std::string& what, std::uint64_t line, std::uint64_t offset) { warnings_.add(what, line, offset); }
  const tReadWarnings& warnings() const { return warnings_; }

 private:
  friend class tPlotReader;

  // every file type
  void finishFigure(trazvik::tfigura& fig);
  void fail(tReadErrorKind kind, std::uint64_t offset, const std::string& token, int osError = 0);

  TextSource f;
  std::string fileName_;
  tReadError error_;
  tReadWarnings warnings_;
  int shortSegments_ = 0;
};

}  // namespace trazvik::import
