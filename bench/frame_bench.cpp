// Time per operation: the program's frame, the same frame the straightforward
// way, a pass that draws nothing, a frame drawn and shown in a window, and
// the picture drawn anew after a long run.
// Ends with the ratio of the two frames, measured in this run.
#include <benchmark/benchmark.h>
#if __has_include(<unistd.h>)
#include <unistd.h>
#endif

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "animation/form1.h"
#include "background/background_picture.h"
#include "canvas/canvas_platform.h"
#include "support/straightforward_frame.h"
#include "window/sdl_window.h"

namespace {

// Passes 0 to 2 are the loop's warm-up; the surface is cleared after pass 2.
constexpr int warm_up_passes = 3;
constexpr char hold_key = ' ';

// Runs the program's own loop into a canvas: each pass after the
// warm-up is one benchmark iteration, counted by its event pump, which takes
// the parts of the image the pass touched, as a window would to show them.
class TimedPasses final : public CanvasPlatform {
public:
    TimedPasses(benchmark::State& state, bool held)
        : CanvasPlatform(UserCoordinates{}, draw_background_picture), state_(state), held_(held) {}

    bool pump_events(FormEvents& handlers) override {
        const std::vector<PixelRect>& touched = canvas_.take_touched();
        if (++pumped_ <= warm_up_passes) {
            if (held_ && pumped_ == warm_up_passes) handlers.KeyPress(hold_key);
            return true;
        }
        rects_ += static_cast<double>(touched.size());
        for (const PixelRect& r : touched) area_ += static_cast<double>(r.width) * r.height;
        return state_.KeepRunning();
    }
    void end() override {}

    // Per pass: rectangles to show and their share of the image, in %.
    void report() const {
        const double passes = static_cast<double>(state_.iterations());
        state_.counters["rects"] = rects_ / passes;
        state_.counters["shown_%"] = 100 * area_ / passes / (double{1} * canvas_.width() * canvas_.height());
    }

private:
    benchmark::State& state_;
    bool held_;
    int pumped_ = 0;
    double rects_ = 0, area_ = 0;
};

// One running pass: advance, draw the frame, take what it touched.
void frame(benchmark::State& state) {
    TimedPasses platform(state, false);
    Form1 form(platform);
    form.Activate();
    if (form.state().j1 == 0) state.SkipWithError("nothing was drawn");
    platform.report();
}
BENCHMARK(frame);

// The same frames, the straightforward way.
void frame_reference(benchmark::State& state) {
    Canvas image(UserCoordinates{}, [](Canvas& canvas) { draw_background_picture(canvas, figure::start_e); });
    StraightforwardFrame straightforward(image);
    const double pi = 4 * std::atan(1.0);
    const double step1 = 2 * pi / 1000;
    const double stepe = 15 * step1;
    double j1 = warm_up_passes * stepe;
    for (auto _ : state) {
        const double j = j1 + stepe;
        straightforward.draw(j1, j, step1, pi);
        j1 = j;
    }
}
BENCHMARK(frame_reference);

// A held pass: no advance, nothing drawn, the pump (here free) not waiting.
void pass_held(benchmark::State& state) {
    TimedPasses platform(state, true);
    Form1 form(platform);
    form.Activate();
    if (form.state().stopp != 0) state.SkipWithError("the loop was not held");
}
BENCHMARK(pass_held);

// The program's loop drawing into a window's canvas; each pump shows what
// its pass touched, without waiting for a refresh.
class ShownPasses final : public Platform {
public:
    ShownPasses(benchmark::State& state, SdlWindow& window) : state_(state), window_(window) {}

    void line(float x1, float y1, float x2, float y2, Colour colour) override { window_.line(x1, y1, x2, y2, colour); }
    void circle(float x, float y, float radius, Colour colour) override { window_.circle(x, y, radius, colour); }
    void clear() override { window_.clear(); }
    Colour back_color() const override { return window_.back_color(); }
    bool pump_events(FormEvents&) override {
        window_.present();
        return ++pumped_ <= warm_up_passes || state_.KeepRunning();
    }
    void end() override {}

private:
    benchmark::State& state_;
    SdlWindow& window_;
    int pumped_ = 0;
};

// One running pass drawn and shown in a window. Without a display SDL's
// offscreen driver stands in; SDL_VIDEODRIVER=x11 with a DISPLAY measures a
// real one (processor time is the program's; the X server's is not in it).
void frame_shown(benchmark::State& state) {
#if defined(_WIN32)
    if (std::getenv("SDL_VIDEODRIVER") == nullptr) _putenv_s("SDL_VIDEODRIVER", "offscreen");
#else
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
#endif
    try {
        SdlVideo video;
        SdlWindow window(video, draw_background_picture);
        ShownPasses platform(state, window);
        Form1 form(platform);
        form.Activate();
    } catch (const std::exception& error) {
        state.SkipWithError(error.what());
    }
}
BENCHMARK(frame_shown);

// A run of a number of passes into a canvas, with a key pressed at each of
// the first few pumps.
class Run final : public CanvasPlatform {
public:
    Run(std::int64_t passes, std::string keys)
        : CanvasPlatform(UserCoordinates{}, draw_background_picture), left_(passes), keys_(std::move(keys)) {}
    bool pump_events(FormEvents& handlers) override {
        if (pumped_ < keys_.size()) handlers.KeyPress(static_cast<std::uint16_t>(keys_[pumped_]));
        ++pumped_;
        return --left_ > 0;
    }
    void end() override { left_ = 0; }

private:
    std::int64_t left_;
    std::string keys_;
    std::size_t pumped_ = 0;
};

// The picture drawn anew, as the page draws it at a new size: after a long
// run at the start-up speed, whose figures repeat every 200 passes, and after
// one at a speed whose figures take every share of a turn the trail keeps.
void paint(benchmark::State& state) {
    Run run(state.range(0), std::string(static_cast<std::size_t>(state.range(1)), ','));
    Form1 form(run);
    form.Activate();
    for (auto _ : state) {
        run.canvas().clear();
        form.Paint();
    }
    state.counters["figures"] = static_cast<double>(form.trail().size());
}
BENCHMARK(paint)->Args({20000, 0})->Args({60000, 3})->Unit(benchmark::kMillisecond);

// The console report, remembering the time per frame of the two ways.
class RatioReporter final : public benchmark::ConsoleReporter {
public:
    RatioReporter() : ConsoleReporter(colour_allowed() ? OO_ColorTabular : OO_Tabular) {}
    static bool colour_allowed() {
#if __has_include(<unistd.h>)
        return isatty(STDOUT_FILENO) != 0;
#else
        return false;
#endif
    }

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.error_occurred || run.run_type != Run::RT_Iteration) continue;
            const std::string name = run.benchmark_name();
            if (name == "frame") frame = {run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()};
            if (name == "frame_reference") reference = {run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()};
        }
        ConsoleReporter::ReportRuns(runs);
    }
    struct Times {
        double real = 0, cpu = 0;
    };
    Times frame, reference;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const RatioReporter::Times& f = reporter.frame;
    const RatioReporter::Times& r = reporter.reference;
    if (f.real > 0 && f.cpu > 0) {
        std::printf("frame_reference / frame: %.1f in real time, %.1f in processor time\n", r.real / f.real,
                    r.cpu / f.cpu);
    }
    benchmark::Shutdown();
    return 0;
}
