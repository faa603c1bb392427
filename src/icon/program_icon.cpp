#include "icon/program_icon.h"

#include <array>
#include <numbers>

#include "animation/form1.h"
#include "icon/icon_raster.h"

namespace {

// Earlier figures in the trail: one every 15 degrees of the eccentric angle
// over a full turn, few enough to stay apart at small sizes.
constexpr int figures = 24;
// Before its first figure the loop runs three warm-up passes.
constexpr int warm_up_passes = 3;
// Panels use the small ones, task switchers the large ones.
constexpr std::array window_icon_sizes{16, 24, 32, 48, 64, 128};

}  // namespace

std::vector<SketchShape> icon_figure() {
    Form1* running = nullptr;
    // The first pump comes after the start-up, which sets the speed.
    VectorSketch sketch(warm_up_passes + figures,
                        [&running] { running->state().stepe = 2 * std::numbers::pi / figures; });
    Form1 form(sketch);
    running = &form;
    form.Activate();
    return sketch.visible();
}

std::vector<IconImage> window_icons() { return rasterise_icon(icon_figure(), window_icon_sizes, SvgStyle{}); }
