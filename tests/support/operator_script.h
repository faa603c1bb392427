// Scripted operators for whole runs: what they type and where they point at
// each pass's event pump.
#pragma once

#include <cstdint>

#include "animation/platform.h"
#include "support/pass_script.h"

// Speed keys, pointer sweeps all round the origin (on an axis too), holding
// and resuming, over a thousand passes.
void operate(FormEvents& handlers, std::int64_t pass);

// Holds with the space bar before the first frame at an angle near pi, so
// that frame, drawn about the origin, comes later, stays, and reaches past
// the bottom edge.
void hold_early(FormEvents& handlers, std::int64_t pass);

void press(FormEvents& handlers, std::uint16_t key, int times = 1);
// Presses `key` in the event pump of pass `pass`, `times` times.
PassScript::Input press_at(std::int64_t pass, std::uint16_t key, int times = 1);
