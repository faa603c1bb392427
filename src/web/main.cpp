// The program in a browser page: runs the animation in the page's canvas until
// the operator quits, then leaves the cleared canvas and a line saying how to
// start again.
#include <emscripten.h>

#include <string>

#include "animation/form1.h"
#include "animation/main_window.h"
#include "web/web_platform.h"

namespace {

// clang-format off

// The page's address may end the run after a number of passes, as quitting
// would (?passes=70), so a test can read the canvas after exactly that many.
EM_JS(double, pass_limit_from_address, (), {
    const passes = Number(new URLSearchParams(location.search).get('passes'));
    return Number.isSafeInteger(passes) && passes > 0 ? passes : 0;
});

EM_JS(bool, prefers_reduced_motion, (), { return matchMedia('(prefers-reduced-motion: reduce)').matches; });

// The line is a live region, so a screen reader announces it.
EM_JS(void, show_ended, (), {
    document.getElementById('status').textContent = 'The animation has ended. Reload the page to start it again.';
    for (const control of document.querySelectorAll('#panel button, #panel input')) control.disabled = true;
});

// clang-format on

}  // namespace

int main() {
    emscripten_set_window_title(std::string(main_window::caption).c_str());
    WebPlatform platform(static_cast<std::int64_t>(pass_limit_from_address()), prefers_reduced_motion());
    Form1 form(platform);
    platform.show_state_of(form.state());
    form.Activate();
    platform.show();
    show_ended();
}
