// Draws the icon's shapes as pixels the way to_svg describes them: a rounded
// light-grey tile framing the shapes, strokes of the style's width in user
// units, edges anti-aliased; transparent outside the tile.
#pragma once

#include <span>
#include <vector>

#include "icon/icon_image.h"
#include "icon/vector_sketch.h"

// One picture for each of `sizes` (in pixels).
std::vector<IconImage> rasterise_icon(std::span<const SketchShape> shapes, std::span<const int> sizes,
                                      const SvgStyle& style);
