// The frame Windows draws around the program's window: title bar and
// borders, at a density. Windows only.
#pragma once

#include "window/window_fit.h"

// Around a window of fixed size with a title bar, at `dpi` dots per inch.
FrameExtents windows_frame(double dpi);
