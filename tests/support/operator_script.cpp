#include "support/operator_script.h"

#include <cmath>

namespace {

void keys(FormEvents& handlers, char key, int times) {
    for (int i = 0; i < times; ++i) handlers.KeyPress(static_cast<std::uint16_t>(key));
}

}  // namespace

void operate(FormEvents& handlers, std::int64_t pass) {
    if (pass == 40) keys(handlers, '.', 4);
    if (pass == 75) keys(handlers, ',', 9);
    if (pass >= 100 && pass < 140) {
        const double angle = 0.41 * static_cast<double>(pass);
        handlers.MouseMove(0, 0, static_cast<float>(60 * std::cos(angle)), static_cast<float>(45 * std::sin(angle)));
    }
    if (pass == 150) handlers.MouseMove(0, 0, 30, 0);
    if (pass == 160) keys(handlers, ' ', 1);
    if (pass == 200) keys(handlers, '/', 1);
    if (pass == 230) keys(handlers, ' ', 2);
    if (pass == 260) keys(handlers, '.', 30);
    if (pass == 400) keys(handlers, ' ', 1);
    if (pass == 420) handlers.MouseMove(0, 0, -8, 70);
    if (pass == 430) keys(handlers, ' ', 1);
    if (pass == 600) keys(handlers, ',', 50);
    if (pass == 800) keys(handlers, '/', 1);
}

void hold_early(FormEvents& handlers, std::int64_t pass) {
    if (pass == 0) keys(handlers, '.', 71);  // pass 1 advances to about pi
    if (pass == 1) keys(handlers, ' ', 1);
    if (pass == 20) handlers.MouseMove(0, 0, 10, 10);
    if (pass == 30) handlers.MouseMove(0, 0, -40, 5);
    if (pass == 35) keys(handlers, ' ', 1);
}
