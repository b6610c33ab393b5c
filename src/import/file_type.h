// Which reader a design file goes to. Every way of opening a file (the
// desktop program's open dialog and command line, and every command of the
// CLI) asks here, so they all agree on every file.
//
// The extension decides when it is one of the known ones (letter case
// ignored); otherwise the beginning of the file is looked at: DXF group
// codes, HPGL instructions or G-code words. A file that looks like none of
// them is refused.
#pragma once
#include "no_qt.h"

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace trazvik::import {

struct tKnownExtension {
  const char* extension;  // without the dot, lower case
  int fileType;           // kFileTypeHpgl, kFileTypeDxf, kFileTypeGcode or kFileTypeBitmap
};

// Every extension the program reads, plot files first, then DXF, G-code and
// bitmaps.
const std::vector<tKnownExtension>& knownExtensions();

// The file type of a known extension (any case); 0 for any other.
int fileTypeFromExtension(const std::string& path);

// The file type the first bytes of a file read as: DXF (group codes, or the
// binary DXF sentinel), HPGL (instructions) or G-code (words); 0 when they
// read as none of them. `complete` tells that `head` is the whole file, so
// its last line is not cut short.
int fileTypeFromContent(std::string_view head, bool complete);

struct tDesignFileType {
  int fileType = 0;          // 0 when the file is refused
  bool fromContent = false;  // the extension is not a known one; the content decided
  std::string problem;       // why the file is refused, one line naming the file
};

// The file type of the design file at `path`: by its extension, else by its
// first bytes. A file whose extension is not known and that cannot be read
// is refused too.
tDesignFileType designFileType(const std::string& path);

// The patterns of every known extension of the given file types, for file
// dialogs: "*.plt;*.hpgl;*.hpg;*.hgl;*.hp".
std::string extensionPatterns(std::initializer_list<int> fileTypes);

}  // namespace trazvik::import
