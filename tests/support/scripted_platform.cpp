#include "support/scripted_platform.h"

std::ostream& operator<<(std::ostream& out, const Command& c) {
    static const char* const names[] = {"line", "circle", "clear", "pump", "picture"};
    return out << names[static_cast<int>(c.kind)] << '(' << c.x1 << ", " << c.y1 << ", " << c.x2 << ", " << c.y2
               << ", 0x" << std::hex << c.colour << std::dec << ')';
}

void ScriptedPlatform::line(float x1, float y1, float x2, float y2, Colour colour) {
    keep({Command::Kind::line, x1, y1, x2, y2, colour});
    CanvasPlatform::line(x1, y1, x2, y2, colour);
}

void ScriptedPlatform::circle(float x, float y, float radius, Colour colour) {
    keep({Command::Kind::circle, x, y, radius, 0, colour});
    CanvasPlatform::circle(x, y, radius, colour);
}

void ScriptedPlatform::clear() {
    keep({Command::Kind::clear});
    CanvasPlatform::clear();
}

void ScriptedPlatform::picture_eccentricity(double e) {
    keep({Command::Kind::picture, static_cast<float>(e)});
    CanvasPlatform::picture_eccentricity(e);
}

bool ScriptedPlatform::pump_events(FormEvents& handlers) {
    keep({Command::Kind::pump});
    return script_.pump(handlers);
}

std::vector<Command> ScriptedPlatform::pass(std::int64_t pass) const {
    std::vector<Command> result;
    std::int64_t current = 0;
    for (const Command& c : commands) {
        if (current == pass) result.push_back(c);
        if (c.kind == Command::Kind::pump && ++current > pass) break;
    }
    return result;
}

void ScriptedRun::activate(PassScript::Input input) {
    if (input) platform.on_pump(std::move(input));
    form.Activate();
}

void replay(std::span<const Command> commands, Canvas& target) {
    for (const Command& c : commands) {
        if (c.kind == Command::Kind::line) target.line(c.x1, c.y1, c.x2, c.y2, c.colour);
        if (c.kind == Command::Kind::circle) target.circle(c.x1, c.y1, c.x2, c.colour);
        if (c.kind == Command::Kind::clear) target.clear();
    }
}

std::vector<Command> commands_of(std::span<const Command> commands, Command::Kind kind, Colour colour) {
    std::vector<Command> kept;
    for (const Command& c : commands) {
        if (c.kind == kind && c.colour == colour) kept.push_back(c);
    }
    return kept;
}

RedFigure red_figure(std::span<const Command> pass) {
    RedFigure figure{commands_of(pass, Command::Kind::line, colours::red)};
    if (const auto circles = commands_of(pass, Command::Kind::circle, colours::red); !circles.empty())
        figure.centre = circles.back();
    return figure;
}
