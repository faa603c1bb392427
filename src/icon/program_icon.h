// The program's icon, drawn by its own animation: a full turn of the housing
// curve leaves its black trail, the last position in red with the red centre
// circle and the blue origin circle. tools/make-icon writes it as the
// installed SVG picture; the window carries it as pixels at a few sizes.
#pragma once

#include <vector>

#include "icon/icon_image.h"
#include "icon/vector_sketch.h"

// What the icon shows, bottom first.
std::vector<SketchShape> icon_figure();

// The icon at the sizes the window offers its window manager.
std::vector<IconImage> window_icons();
