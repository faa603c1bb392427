#include "window/windows_frame.h"

#include <windows.h>

#include <cmath>

FrameExtents windows_frame(double dpi) {
    // The style SDL gives a window that cannot be resized.
    constexpr DWORD style = WS_OVERLAPPEDWINDOW & ~(WS_THICKFRAME | WS_MAXIMIZEBOX);
    RECT rect{0, 0, 0, 0};  // left empty, no frame, should Windows fail
    AdjustWindowRectExForDpi(&rect, style, FALSE, 0, static_cast<UINT>(std::lround(dpi)));
    return {-rect.left, rect.right, -rect.top, rect.bottom};
}
