// Opens the window and runs the animation in it until the operator quits or
// the window is closed.
#include <cstdio>
#include <exception>

#include "animation/form1.h"
#include "background_picture.h"
#include "window/sdl_window.h"

int main() {
    try {
        SdlVideo video;
        SdlWindow window(video, draw_background_picture);
        Form1 form(window);
        window.settle();
        form.Activate();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "rotary-envelope: cannot run the window: %s\n", error.what());
        return 1;
    }
    return 0;
}
