// Time per operation: the program's frame, the same frame the straightforward
// way, a pass that draws nothing, a frame drawn and shown in a window, and
// the picture drawn anew after a long run.
// Ends with the ratio of the two frames, measured in this run.
#include <benchmark/benchmark.h>
#if __has_include(<unistd.h>)
#include <unistd.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include "animation/keys.h"
#include "background/background_picture.h"
#include "support/loop_facts.h"
#include "support/scripted_platform.h"
#include "support/straightforward_frame.h"
#include "window/sdl_window.h"

namespace {

constexpr std::int64_t unlimited = std::numeric_limits<std::int64_t>::max();

// Whether another pass follows the one whose event pump this is. The
// warm-up's passes run untimed; after it each pass is one iteration, and the
// pass at which the benchmark has had enough is the last.
bool keep_timing(benchmark::State& state, std::int64_t pass) {
    return pass < loop::warm_up_passes || state.KeepRunning();
}

// Runs the program's own loop into a canvas, a pass an iteration. Each pump
// takes the parts of the image its pass touched, as a window would to show
// them; with `hold` the space bar holds the loop after the warm-up.
void timed_passes(benchmark::State& state, ScriptedRun& run, bool hold) {
    double rects = 0, area = 0;
    run.activate([&](FormEvents& handlers, std::int64_t pass) {
        const std::vector<PixelRect>& touched = run.platform.canvas().take_touched();
        if (pass >= loop::warm_up_passes) {
            rects += static_cast<double>(touched.size());
            for (const PixelRect& r : touched) area += static_cast<double>(r.width) * r.height;
        }
        if (hold && pass == loop::warm_up_passes - 1) handlers.KeyPress(key::hold_or_run);
        if (!keep_timing(state, pass)) run.platform.limit_passes(pass + 1);
    });
    // Per pass: rectangles to show and their share of the image, in %.
    const Canvas& canvas = run.platform.canvas();
    const double passes = static_cast<double>(state.iterations());
    state.counters["rects"] = rects / passes;
    state.counters["shown_%"] = 100 * area / passes / (double{1} * canvas.width() * canvas.height());
}

// One running pass: advance, draw the frame, take what it touched.
void frame(benchmark::State& state) {
    ScriptedRun run(unlimited, {.picture = draw_background_picture});
    timed_passes(state, run, false);
    if (run.state().j1 == 0) state.SkipWithError("nothing was drawn");
}
BENCHMARK(frame);

// The same frames, the straightforward way.
void frame_reference(benchmark::State& state) {
    Canvas image(UserCoordinates{}, [](Canvas& canvas) { draw_background_picture(canvas, figure::start_e); });
    StraightforwardFrame straightforward(image);
    double j1 = loop::warm_up_passes * loop::start_up_speed;
    for (auto _ : state) {
        const double j = j1 + loop::start_up_speed;
        straightforward.draw(j1, j);
        j1 = j;
    }
}
BENCHMARK(frame_reference);

// A held pass: no advance, nothing drawn, the pump (here free) not waiting.
void pass_held(benchmark::State& state) {
    ScriptedRun run(unlimited, {.picture = draw_background_picture});
    timed_passes(state, run, true);
    if (run.state().stopp != 0) state.SkipWithError("the loop was not held");
}
BENCHMARK(pass_held);

// The program's loop drawing into a window's canvas; each pump shows what
// its pass touched, without waiting for a refresh.
class ShownPasses final : public Platform {
public:
    ShownPasses(benchmark::State& state, SdlWindow& window) : window_(window) {
        script_.on_pump([this, &state](FormEvents&, std::int64_t pass) {
            if (!keep_timing(state, pass)) script_.limit_passes(pass + 1);
        });
    }

    void line(float x1, float y1, float x2, float y2, Colour colour) override { window_.line(x1, y1, x2, y2, colour); }
    void circle(float x, float y, float radius, Colour colour) override { window_.circle(x, y, radius, colour); }
    void clear() override { window_.clear(); }
    Colour back_color() const override { return window_.back_color(); }
    bool pump_events(FormEvents& handlers) override {
        window_.present();
        return script_.pump(handlers);
    }
    void end() override { script_.end(); }

private:
    SdlWindow& window_;
    PassScript script_{unlimited};
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

// The picture drawn anew, as the page draws it at a new size: after a long
// run at the start-up speed, whose figures repeat every 200 passes, and after
// one at a speed whose figures take every share of a turn the trail keeps.
void paint(benchmark::State& state) {
    const std::int64_t slower_presses = state.range(1);
    ScriptedRun run(state.range(0), {.picture = draw_background_picture});
    run.activate([slower_presses](FormEvents& handlers, std::int64_t pass) {
        if (pass < slower_presses) handlers.KeyPress(key::slower);
    });
    for (auto _ : state) {
        run.platform.canvas().clear();
        run.form.Paint();
    }
    state.counters["figures"] = static_cast<double>(run.form.trail().size());
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
