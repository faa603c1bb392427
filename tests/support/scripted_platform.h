// Runs the animation without a display: a fixed number of passes, with input
// from a script at each pass's event pump, drawn into a Canvas and, when
// asked, kept as a list of typed commands as well. Tests, the benchmark and
// the image tools run the program through it.
#pragma once

#include <cstdint>
#include <ostream>
#include <span>
#include <utility>
#include <vector>

#include "animation/form1.h"
#include "canvas/canvas_platform.h"
#include "support/pass_script.h"

struct Command {
    enum class Kind { line, circle, clear, pump, picture };
    Kind kind;
    // Line ends; circle centre in x1, y1 and radius in x2; the picture's
    // eccentricity in x1.
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    Colour colour = 0;

    bool operator==(const Command&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Command& c);

struct ScriptedSetup {
    UserCoordinates coords{};
    CanvasPlatform::Picture picture{};
    bool record = false;  // keep every call in `commands`
};

class ScriptedPlatform final : public CanvasPlatform {
public:
    explicit ScriptedPlatform(std::int64_t passes, ScriptedSetup setup = {})
        : CanvasPlatform(setup.coords, std::move(setup.picture)), record_(setup.record), script_(passes) {}

    void on_pump(PassScript::Input input) { script_.on_pump(std::move(input)); }
    void limit_passes(std::int64_t passes) { script_.limit_passes(passes); }

    void line(float x1, float y1, float x2, float y2, Colour colour) override;
    void circle(float x, float y, float radius, Colour colour) override;
    void clear() override;
    void picture_eccentricity(double e) override;
    bool pump_events(FormEvents& handlers) override;
    void end() override { script_.end(); }
    bool ended() const { return script_.ended(); }

    // The commands issued during pass `pass` (from 0), up to and including its
    // event pump; the clear that ends pass 2 belongs to pass 3.
    std::vector<Command> pass(std::int64_t pass) const;

    std::vector<Command> commands;  // when recording

private:
    void keep(const Command& c) {
        if (record_) commands.push_back(c);
    }

    bool record_;
    PassScript script_;
};

// The program's window on a scripted platform.
struct ScriptedRun {
    explicit ScriptedRun(std::int64_t passes, ScriptedSetup setup = {}) : platform(passes, std::move(setup)) {}

    // The start-up and the passes, with `input` at each pass's event pump.
    void activate(PassScript::Input input = {});
    AnimationState& state() { return form.state(); }

    ScriptedPlatform platform;
    Form1 form{platform};
};

// Issues the drawing commands again on a canvas.
void replay(std::span<const Command> commands, Canvas& target);

// The commands of one kind and colour, in order.
std::vector<Command> commands_of(std::span<const Command> commands, Command::Kind kind, Colour colour);

// The red figure of a pass: its segments and its centre circle.
struct RedFigure {
    std::vector<Command> segments;
    Command centre{Command::Kind::circle};
};
RedFigure red_figure(std::span<const Command> pass);
