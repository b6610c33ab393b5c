// The hand-over of a project's figures to the job writer. The project
// document decides which figures and which writer; the writer turns them
// into the job file. The writer implements this interface; the program
// gives the project one when it can write jobs.
#pragma once
#include "no_qt.h"

#include <string>

namespace trazvik {

class TMDIChild;

class tPisarzZadania {
 public:
  virtual ~tPisarzZadania() = default;
  // Writes the job of the project's figures pierwsza..ostatnia (indices in
  // its list, both included) to `path` with one set of cutting parameters.
  // True when the job file was written.
  virtual bool zapiszJednowarstwowy(TMDIChild& projekt, const std::string& path, int pierwsza, int ostatnia) = 0;
  // The same with the parameters of each figure's layer (multi-layer
  // projects that are not G-code).
  virtual bool zapiszWielowarstwowy(TMDIChild& projekt, const std::string& path, int pierwsza, int ostatnia) = 0;
};

}  // namespace trazvik
