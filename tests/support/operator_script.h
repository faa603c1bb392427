// Scripted operators for whole runs: what they type and where they point at
// each pass's event pump.
#pragma once

#include <cstdint>

#include "animation/platform.h"

// Speed keys, pointer sweeps all round the origin (on an axis too), holding
// and resuming, over a thousand passes.
void operate(FormEvents& handlers, std::int64_t pass);

// Holds with the space bar before the first frame at an angle near pi, so
// that frame, drawn about the origin, comes later, stays, and reaches past
// the bottom edge.
void hold_early(FormEvents& handlers, std::int64_t pass);
