#include "geometry/units.h"

namespace trazvik {

double toMm(int fileType, double value) {
  switch (fileType) {
    case kFileTypeHpgl: return value * 1000.0 / 40000.0;
    case kFileTypeDxf:
    case kFileTypeGcode: return value * 1000.0 / 100000.0;
    case kFileTypeBitmap: return value;
    default: return 0;
  }
}

double fromMm(int fileType, double value) {
  switch (fileType) {
    case kFileTypeHpgl: return value * 40000.0 / 1000.0;
    case kFileTypeDxf:
    case kFileTypeGcode: return value * 100000.0 / 1000.0;
    default: return 0;
  }
}

}  // namespace trazvik
