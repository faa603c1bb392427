// The program in a browser page: runs the animation in the page's canvas until
// the operator quits, then says so and runs it afresh, in a new window logic
// over a new canvas, when the operator asks.
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

// The release this program file belongs to, beside the page's and the
// script's: a site serves one release whole.
EM_JS(void, publish_release, (const char* release), { Module.programRelease = UTF8ToString(release); });

// clang-format on

}  // namespace

int main() {
    emscripten_set_window_title(std::string(main_window::caption).c_str());
    publish_release(ROTARY_RELEASE);
    for (;;) {
        WebPlatform platform(static_cast<std::int64_t>(pass_limit_from_address()), prefers_reduced_motion());
        Form1 form(platform);
        platform.show_window(form);
        form.Activate();
        platform.wait_for_start_again();
    }
}
