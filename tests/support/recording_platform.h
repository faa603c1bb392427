// A platform that records every call the animation makes, as a list of typed
// commands, and runs a fixed number of passes. Input can be injected at each
// pass's event pump.
#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <span>
#include <vector>

#include "animation/platform.h"
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

class RecordingPlatform final : public Platform {
public:
    explicit RecordingPlatform(std::int64_t passes) : script_(passes) {}

    void on_pump(PassScript::Input input) { script_.on_pump(std::move(input)); }

    void line(float x1, float y1, float x2, float y2, Colour colour) override {
        commands.push_back({Command::Kind::line, x1, y1, x2, y2, colour});
    }
    void circle(float x, float y, float radius, Colour colour) override {
        commands.push_back({Command::Kind::circle, x, y, radius, 0, colour});
    }
    void clear() override { commands.push_back({Command::Kind::clear}); }
    void picture_eccentricity(double e) override {
        commands.push_back({Command::Kind::picture, static_cast<float>(e)});
    }
    Colour back_color() const override { return colours::light_grey; }
    bool pump_events(FormEvents& handlers) override {
        commands.push_back({Command::Kind::pump});
        return script_.pump(handlers);
    }
    void end() override { script_.end(); }
    bool ended() const { return script_.ended(); }

    // The commands issued during pass `pass` (from 0), up to and including its
    // event pump; the clear that ends pass 2 belongs to pass 3.
    std::vector<Command> pass(std::int64_t pass) const;

    std::vector<Command> commands;

private:
    PassScript script_;
};

// Issues the drawing commands again on another platform.
void replay(std::span<const Command> commands, Platform& target);
