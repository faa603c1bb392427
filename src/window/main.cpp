// Opens the window and runs the animation in it until the operator quits or
// the window is closed. Arguments only ask for help or the version.
#include <exception>
#include <string>
#include <vector>

#include "animation/form1.h"
#include "background/background_picture.h"
#include "icon/program_icon.h"
#include "window/command_line.h"
#include "window/console.h"
#include "window/end_signals.h"
#include "window/sdl_window.h"

namespace {

// Windows shows the icon of the executable's resources, at every size.
std::vector<IconImage> icons_to_set() {
#ifdef _WIN32
    return {};
#else
    return window_icons();
#endif
}

}  // namespace

int main(int argc, char** argv) {
    const CommandLine command = read_command_line(program_arguments(argc, argv));
    if (!command.open_window) return tell_user(command.out, command.err) ? command.exit_status : unwritten_status;
    try {
        catch_end_signals();
        // Drawn before SDL starts, so that SDL and the window system reuse the
        // memory the drawing frees instead of adding to it.
        const std::vector<IconImage> icons = icons_to_set();
        SdlVideo video;
        SdlWindow window(video, draw_background_picture, icons);
        Form1 form(window);
        form.Activate();
    } catch (const std::exception& error) {
        tell_user("", "rotary-envelope: cannot run the window: " + std::string(error.what()) + "\n");
        return 1;
    }
    return 0;
}
