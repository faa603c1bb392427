// What the animation asks of its platform: drawing in user coordinates, the
// event pump that delivers input to the window's handlers, and the end of the
// program. The animation sees nothing else of the window system.
#pragma once

#include <cstdint>

#include "animation/colour.h"

// The window's input handlers; the platform calls them only from pump_events.
class FormEvents {
public:
    virtual void KeyPress(std::uint16_t code) = 0;
    virtual void MouseMove(int button, int shift, float x, float y) = 0;
    virtual void DblClick() = 0;

protected:
    ~FormEvents() = default;
};

class Platform {
public:
    virtual ~Platform() = default;

    // Opaque drawing in user units: a repeat in another colour replaces the
    // earlier pixels exactly.
    virtual void line(float x1, float y1, float x2, float y2, Colour colour) = 0;
    virtual void circle(float x, float y, float radius, Colour colour) = 0;
    // Removes all drawing; the background picture shows again.
    virtual void clear() = 0;
    // The background picture shows earlier figures of eccentricity `e` from
    // the next clear on (before any call, those of the start-up's). A
    // platform without a picture has nothing to change.
    virtual void picture_eccentricity(double /*e*/) {}
    virtual Colour back_color() const = 0;

    // Shows what was drawn and delivers waiting events to `handlers`.
    // Returns false once the program has ended: the caller must unwind
    // without running another pass.
    [[nodiscard]] virtual bool pump_events(FormEvents& handlers) = 0;
    // Ends the program: no further event reaches a handler and the current
    // pump_events returns false.
    virtual void end() = 0;
};
