#include "support/operator_script.h"

#include <cmath>

#include "animation/keys.h"

void press(FormEvents& handlers, std::uint16_t key, int times) {
    for (int i = 0; i < times; ++i) handlers.KeyPress(key);
}

PassScript::Input press_at(std::int64_t pass, std::uint16_t key, int times) {
    return [=](FormEvents& handlers, std::int64_t now) {
        if (now == pass) press(handlers, key, times);
    };
}

void operate(FormEvents& handlers, std::int64_t pass) {
    if (pass == 40) press(handlers, key::faster, 4);
    if (pass == 75) press(handlers, key::slower, 9);
    if (pass >= 100 && pass < 140) {
        const double angle = 0.41 * static_cast<double>(pass);
        handlers.MouseMove(0, 0, static_cast<float>(60 * std::cos(angle)), static_cast<float>(45 * std::sin(angle)));
    }
    if (pass == 150) handlers.MouseMove(0, 0, 30, 0);
    if (pass == 160) press(handlers, key::hold_or_run);
    if (pass == 200) press(handlers, key::slow);
    if (pass == 230) press(handlers, key::hold_or_run, 2);
    if (pass == 260) press(handlers, key::faster, 30);
    if (pass == 400) press(handlers, key::hold_or_run);
    if (pass == 420) handlers.MouseMove(0, 0, -8, 70);
    if (pass == 430) press(handlers, key::hold_or_run);
    if (pass == 600) press(handlers, key::slower, 50);
    if (pass == 800) press(handlers, key::slow);
}

void hold_early(FormEvents& handlers, std::int64_t pass) {
    if (pass == 0) press(handlers, key::faster, 71);  // pass 1 advances to about pi
    if (pass == 1) press(handlers, key::hold_or_run);
    if (pass == 20) handlers.MouseMove(0, 0, 10, 10);
    if (pass == 30) handlers.MouseMove(0, 0, -40, 5);
    if (pass == 35) press(handlers, key::hold_or_run);
}
