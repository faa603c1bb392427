#include "window/x11_desktop.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

// How long a window manager may take to say what frame it would draw.
constexpr std::chrono::milliseconds frame_reply_timeout{250};
constexpr double mm_per_inch = 25.4;

struct DisplayCloser {
    void operator()(Display* display) const { XCloseDisplay(display); }
};
using DisplayPtr = std::unique_ptr<Display, DisplayCloser>;

struct XFreer {
    void operator()(unsigned char* data) const { XFree(data); }
};
using XData = std::unique_ptr<unsigned char, XFreer>;

// Errors on the connection of our own (a stale window id, a window manager
// that went away) are answers, not faults; Xlib's default handler would end
// the program on them.
int ignore_error(Display*, XErrorEvent*) { return 0; }

class QuietErrors {
public:
    QuietErrors() : previous_(XSetErrorHandler(ignore_error)) {}
    ~QuietErrors() { XSetErrorHandler(previous_); }
    QuietErrors(const QuietErrors&) = delete;
    QuietErrors& operator=(const QuietErrors&) = delete;

private:
    XErrorHandler previous_;
};

// The 32-bit items of a window property of `type`; empty when it is unset.
std::vector<long> property_items(Display* display, Window window, Atom property, Atom type) {
    Atom actual_type = 0;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* raw = nullptr;
    const int status = XGetWindowProperty(display, window, property, 0, 1024, False, type, &actual_type, &format,
                                          &count, &remaining, &raw);
    const XData data(raw);
    if (status != Success || actual_type != type || format != 32 || !data) return {};
    // Xlib hands 32-bit items over as longs.
    const long* items = reinterpret_cast<const long*>(data.get());
    return {items, items + count};
}

Atom atom(Display* display, const char* name) { return XInternAtom(display, name, False); }

// A window manager that follows the desktop conventions names a window of
// its own on the root window, and that window names itself.
bool window_manager_runs(Display* display) {
    const Atom check = atom(display, "_NET_SUPPORTING_WM_CHECK");
    const std::vector<long> named = property_items(display, DefaultRootWindow(display), check, XA_WINDOW);
    if (named.size() != 1) return false;
    const auto wm_window = static_cast<Window>(named[0]);
    const std::vector<long> itself = property_items(display, wm_window, check, XA_WINDOW);
    return itself.size() == 1 && static_cast<Window>(itself[0]) == wm_window;
}

bool window_manager_supports(Display* display, Atom feature) {
    const std::vector<long> supported =
        property_items(display, DefaultRootWindow(display), atom(display, "_NET_SUPPORTED"), XA_ATOM);
    for (const long item : supported) {
        if (static_cast<Atom>(item) == feature) return true;
    }
    return false;
}

bool wait_readable(Display* display, int timeout_ms) {
    pollfd connection{ConnectionNumber(display), POLLIN, 0};
    return poll(&connection, 1, timeout_ms) > 0;
}

// Asks the window manager what frame it would put around an ordinary
// window, for a window of our own that is never mapped.
std::optional<FrameExtents> requested_frame(Display* display) {
    const Atom request = atom(display, "_NET_REQUEST_FRAME_EXTENTS");
    if (!window_manager_supports(display, request)) return std::nullopt;
    const Atom extents = atom(display, "_NET_FRAME_EXTENTS");
    const Window root = DefaultRootWindow(display);
    const Window probe = XCreateSimpleWindow(display, root, 0, 0, 1, 1, 0, 0, 0);
    XSelectInput(display, probe, PropertyChangeMask);
    const long normal = static_cast<long>(atom(display, "_NET_WM_WINDOW_TYPE_NORMAL"));
    XChangeProperty(display, probe, atom(display, "_NET_WM_WINDOW_TYPE"), XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&normal), 1);

    XEvent message{};
    message.xclient.type = ClientMessage;
    message.xclient.window = probe;
    message.xclient.message_type = request;
    message.xclient.format = 32;
    XSendEvent(display, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &message);
    XFlush(display);

    std::optional<FrameExtents> frame;
    const auto deadline = std::chrono::steady_clock::now() + frame_reply_timeout;
    while (!frame) {
        XEvent event;
        if (XCheckTypedWindowEvent(display, probe, PropertyNotify, &event)) {
            if (event.xproperty.atom != extents) continue;
            const std::vector<long> sides = property_items(display, probe, extents, XA_CARDINAL);
            if (sides.size() != 4) break;
            frame = FrameExtents{static_cast<int>(sides[0]), static_cast<int>(sides[1]), static_cast<int>(sides[2]),
                                 static_cast<int>(sides[3])};
            continue;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || !wait_readable(display, static_cast<int>(left.count()))) break;
    }
    XDestroyWindow(display, probe);
    return frame;
}

std::optional<double> xft_dpi(Display* display) {
    // As Xft itself reads it: RESOURCE_MANAGER, or ~/.Xdefaults without one.
    const char* text = XGetDefault(display, "Xft", "dpi");
    if (text == nullptr) return std::nullopt;
    char* end = nullptr;
    const double dpi = std::strtod(text, &end);
    if (end == text) return std::nullopt;
    return dpi;
}

std::optional<double> screen_dpi(Display* display) {
    const int screen = DefaultScreen(display);
    const int millimetres = DisplayWidthMM(display, screen);
    if (millimetres <= 0) return std::nullopt;
    return DisplayWidth(display, screen) * mm_per_inch / millimetres;
}

struct X11Handles {
    Display* display;
    Window window;
};

std::optional<X11Handles> x11_handles(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return std::nullopt;
    return X11Handles{info.info.x11.display, info.info.x11.window};
}

}  // namespace

std::optional<X11DesktopFacts> read_x11_desktop() {
    // Quiet until the connection is closed: closing it reads what is left.
    const QuietErrors quiet;
    const DisplayPtr display(XOpenDisplay(nullptr));
    if (!display) return std::nullopt;
    X11DesktopFacts facts;
    facts.xft_dpi = xft_dpi(display.get());
    facts.screen_dpi = screen_dpi(display.get());
    facts.window_manager = window_manager_runs(display.get());
    if (facts.window_manager) facts.frame = requested_frame(display.get());
    // Errors arrive with the replies: settle them while quiet.
    XSync(display.get(), False);
    return facts;
}

bool x11_leave_placement_to_window_manager(SDL_Window* window) {
    const std::optional<X11Handles> x11 = x11_handles(window);
    if (!x11) return false;
    const std::unique_ptr<XSizeHints, decltype(&XFree)> hints(XAllocSizeHints(), XFree);
    if (!hints) return false;
    long supplied = 0;
    if (!XGetWMNormalHints(x11->display, x11->window, hints.get(), &supplied)) hints->flags = 0;
    hints->flags &= ~(USPosition | PPosition);
    XSetWMNormalHints(x11->display, x11->window, hints.get());
    return true;
}

bool x11_set_icons(SDL_Window* window, std::span<const IconImage> icons) {
    const std::optional<X11Handles> x11 = x11_handles(window);
    if (!x11) return false;
    // Width, height, then the pixels, for each size; Xlib takes 32-bit
    // items as longs.
    std::vector<long> items;
    for (const IconImage& icon : icons) {
        items.push_back(icon.size);
        items.push_back(icon.size);
        items.insert(items.end(), icon.argb.begin(), icon.argb.end());
    }
    XChangeProperty(x11->display, x11->window, atom(x11->display, "_NET_WM_ICON"), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(items.data()), static_cast<int>(items.size()));
    XFlush(x11->display);
    return true;
}

bool x11_wait_for_input(SDL_Window* window, int timeout_ms) {
    const std::optional<X11Handles> x11 = x11_handles(window);
    if (!x11) return false;
    // SDL_WaitEventTimeout would do the same, but when an event arrives
    // during its wait it also sends a wake-up message to the window through
    // a second connection to the X server. Should the program end on that
    // event, the window can be gone before the server handles the message,
    // and Xlib ends the program on the error when SDL closes that connection.
    // The program has one thread and needs no wake-up.
    SDL_PumpEvents();
    if (SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT) || XEventsQueued(x11->display, QueuedAlready) > 0) return true;
    XFlush(x11->display);
    wait_readable(x11->display, timeout_ms);
    return true;
}
