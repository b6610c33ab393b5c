// All geometry records and helpers in one include.
#pragma once
#include "geometry/angles.h"
#include "geometry/bytes.h"
#include "geometry/crossing.h"
#include "geometry/delays.h"
#include "geometry/figure.h"
#include "geometry/lines.h"
#include "geometry/motion_record.h"
#include "geometry/numeric.h"
#include "geometry/points.h"
#include "geometry/records.h"
#include "geometry/segment_distance.h"
#include "geometry/units.h"
