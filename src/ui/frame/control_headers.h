// The control side's headers for Qt code. The core has a member function
// named emit, which Qt's keyword macro of the same name would erase; the
// macro is lifted around these headers and restored after them. Qt code
// includes control/ headers through this one.
#pragma once
#pragma push_macro("emit")
#undef emit
#include "control/machine_control.h"
#include "link/machine_connection.h"
#pragma pop_macro("emit")
