#include "window/x11_desktop.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XInput2.h>

#include <algorithm>
#include <bitset>
#include <cstdlib>
#include <memory>
#include <vector>

#include "window/window_fit.h"

namespace {

Window the_window = 0;          // the program's, once prepared
bool window_destroyed = false;  // by another client
bool frames_reported = false;   // the window manager says it reports frames
XErrorHandler xlib_error_handler = nullptr;
// The XInput2 extension's code, where the window's key releases come through
// it, and the keys pressed in the window and not released since.
std::optional<int> release_extension;
std::bitset<256> held_keys;

int on_x_error(Display* display, XErrorEvent* error) {
    // A window another client destroyed fails every request on it until the
    // program ends, which it does on the notice that follows.
    const bool window_gone = error->error_code == BadWindow || error->error_code == BadDrawable;
    if (window_gone && the_window != 0 && error->resourceid == the_window) return 0;
    return xlib_error_handler(display, error);
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

// A property of 32-bit items, as Xlib gives it (in longs); empty where the
// window has none of that type.
std::vector<long> property(Display* display, Window window, const char* name, Atom type) {
    Atom actual_type = None;
    int format = 0;
    unsigned long count = 0, left = 0;
    unsigned char* data = nullptr;
    constexpr long max_items = 4096;
    if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, max_items, False, type, &actual_type,
                           &format, &count, &left, &data) != Success) {
        return {};
    }
    const std::unique_ptr<unsigned char, decltype(&XFree)> owned(data, XFree);
    if (actual_type != type || format != 32 || data == nullptr) return {};
    const long* items = reinterpret_cast<const long*>(data);
    return {items, items + count};
}

// The client that redirects the requests of the root's children is the
// window manager.
bool window_manager_runs(Display* display) {
    XWindowAttributes root{};
    return XGetWindowAttributes(display, DefaultRootWindow(display), &root) != 0 &&
           (root.all_event_masks & SubstructureRedirectMask) != 0;
}

bool window_manager_supports(Display* display, const char* hint) {
    const std::vector<long> supported = property(display, DefaultRootWindow(display), "_NET_SUPPORTED", XA_ATOM);
    return std::find(supported.begin(), supported.end(), static_cast<long>(XInternAtom(display, hint, False))) !=
           supported.end();
}

void leave_placement_to_window_manager(const X11Handles& x11) {
    // SDL 2.26 marks every new window's position as the user's choice, which
    // window managers keep; without it they place the window themselves.
    const std::unique_ptr<XSizeHints, decltype(&XFree)> hints(XAllocSizeHints(), XFree);
    long supplied = 0;
    if (!hints) return;
    if (!XGetWMNormalHints(x11.display, x11.window, hints.get(), &supplied)) hints->flags = 0;
    hints->flags &= ~(USPosition | PPosition);
    XSetWMNormalHints(x11.display, x11.window, hints.get());
}

void set_icons(const X11Handles& x11, std::span<const IconImage> icons) {
    // SDL 2.26 sets one size; _NET_WM_ICON holds width, height and pixels of
    // each, 32-bit items that Xlib takes as longs.
    std::vector<long> items;
    for (const IconImage& icon : icons) {
        items.insert(items.end(), {icon.size, icon.size});
        items.insert(items.end(), icon.argb.begin(), icon.argb.end());
    }
    XChangeProperty(x11.display, x11.window, XInternAtom(x11.display, "_NET_WM_ICON", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(items.data()),
                    static_cast<int>(items.size()));
}

void stop_unused_events(const X11Handles& x11) {
    XWindowAttributes attributes;
    if (XGetWindowAttributes(x11.display, x11.window, &attributes) != 0) {
        // SDL 2.26 looks through the whole X queue for each key release, so a
        // backlog of n key presses took time in n squared.
        XSelectInput(x11.display, x11.window, attributes.your_event_mask & ~KeyReleaseMask);
    }
    int opcode = 0, first_event = 0, first_error = 0;
    if (XQueryExtension(x11.display, "XInputExtension", &opcode, &first_event, &first_error)) {
        // SDL 2.26 asks for raw pointer events on the root, used only in
        // relative mouse mode, and for XInput2 pointer and touch events on the
        // window, where core events serve (touch as the pointer): each move
        // came twice, with data of its own. An empty mask clears a selection.
        XIEventMask none{XIAllMasterDevices, 0, nullptr};
        XISelectEvents(x11.display, DefaultRootWindow(x11.display), &none, 1);
        // SDL 2.26 passes XInput2 events on without that search: the window's
        // key releases come this way, and tell a held key's repeats from new
        // presses.
        unsigned char releases[XIMaskLen(XI_LASTEVENT)] = {};
        XISetMask(releases, XI_KeyRelease);
        XIEventMask window{XIAllMasterDevices, sizeof releases, releases};
        if (XISelectEvents(x11.display, x11.window, &window, 1) == Success) release_extension = opcode;
    }
}

}  // namespace

void x11_catch_window_errors() {
    // SDL 2.26 passes X errors on to the handler it found at SDL_Init and puts
    // that one back before closing its display: this one.
    if (xlib_error_handler == nullptr) xlib_error_handler = XSetErrorHandler(on_x_error);
}

std::optional<double> x11_desktop_dpi(SDL_Window* window) {
    const std::optional<X11Handles> x11 = x11_handles(window);
    if (!x11) return std::nullopt;
    // Xft.dpi as Xft reads it (RESOURCE_MANAGER, or ~/.Xdefaults without it).
    const char* text = XGetDefault(x11->display, "Xft", "dpi");
    char* end = nullptr;
    const double xft = text != nullptr ? std::strtod(text, &end) : 0;
    const int screen = DefaultScreen(x11->display);
    const int millimetres = DisplayWidthMM(x11->display, screen);
    constexpr double mm_per_inch = 25.4;
    return desktop_dpi(
        end != text ? std::optional(xft) : std::nullopt,
        millimetres > 0 ? std::optional(DisplayWidth(x11->display, screen) * mm_per_inch / millimetres) : std::nullopt);
}

bool x11_prepare_window(SDL_Window* window, std::span<const IconImage> icons) {
    const std::optional<X11Handles> x11 = x11_handles(window);
    if (!x11) return false;
    the_window = x11->window;
    leave_placement_to_window_manager(*x11);
    if (!icons.empty()) set_icons(*x11, icons);
    stop_unused_events(*x11);
    // The destroyed window's notice reaches the event filter this way only.
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
    return true;
}

bool x11_map_window(SDL_Window* window) {
    const std::optional<X11Handles> x11 = x11_handles(window);
    if (!x11 || !window_manager_runs(x11->display)) return false;
    frames_reported = window_manager_supports(x11->display, "_NET_FRAME_EXTENTS");
    // SDL 2.26 waits for the window's MapNotify without a bound: forever
    // where the window manager never maps it (stopped), deaf to signals.
    XMapRaised(x11->display, x11->window);
    XFlush(x11->display);
    return true;
}

FrameReport x11_frame_report(SDL_Window* window) {
    const std::optional<X11Handles> x11 = x11_handles(window);
    if (!x11 || !window_manager_runs(x11->display)) return FrameReport::reported;
    constexpr std::size_t sides = 4;
    if (property(x11->display, x11->window, "_NET_FRAME_EXTENTS", XA_CARDINAL).size() == sides) {
        return FrameReport::reported;
    }
    return frames_reported ? FrameReport::awaited : FrameReport::never;
}

std::optional<ScreenPoint> x11_client_position(SDL_Window* window) {
    // SDL 2.26 keeps the position it asked for where the window manager kept
    // the window elsewhere.
    const std::optional<X11Handles> x11 = x11_handles(window);
    ScreenPoint client;
    Window child = 0;
    if (!x11 || !XTranslateCoordinates(x11->display, x11->window, DefaultRootWindow(x11->display), 0, 0, &client.x,
                                       &client.y, &child)) {
        return std::nullopt;
    }
    return client;
}

std::optional<bool> x11_key_press_repeats(const SDL_Event& event) {
    if (event.type != SDL_SYSWMEVENT || event.syswm.msg->subsystem != SDL_SYSWM_X11) return std::nullopt;
    const XEvent& x = event.syswm.msg->msg.x11.event;
    if (x.type == KeyPress) {
        const bool repeats = held_keys.test(x.xkey.keycode);
        if (release_extension) held_keys.set(x.xkey.keycode);
        return repeats;
    }
    if (x.type == GenericEvent && x.xcookie.extension == release_extension && x.xcookie.evtype == XI_KeyRelease &&
        x.xcookie.data != nullptr) {
        held_keys.reset(static_cast<std::size_t>(static_cast<const XIDeviceEvent*>(x.xcookie.data)->detail));
    } else if (x.type == FocusIn) {
        // Keys let go of while the focus was elsewhere sent no release here.
        held_keys.reset();
    }
    return std::nullopt;
}

bool x11_window_destroyed(const SDL_Event& event) {
    if (event.type != SDL_SYSWMEVENT || event.syswm.msg->subsystem != SDL_SYSWM_X11) return false;
    const XEvent& x = event.syswm.msg->msg.x11.event;
    const bool destroyed = x.type == DestroyNotify && x.xdestroywindow.window == the_window;
    window_destroyed = window_destroyed || destroyed;
    return destroyed;
}

void x11_before_destroy(SDL_Window* window) {
    const std::optional<X11Handles> x11 = x11_handles(window);
    if (!x11 || !window_destroyed) return;
    // SDL 2.26 hides a window it takes as shown before destroying it, and
    // waits for its UnmapNotify without a bound; a window destroyed by another
    // client sends none (and the properties deleted with it can make SDL take
    // it as shown again): one is put in the queue for SDL to find.
    XEvent unmap{};
    unmap.xunmap.type = UnmapNotify;
    unmap.xunmap.display = x11->display;
    unmap.xunmap.event = unmap.xunmap.window = x11->window;
    XPutBackEvent(x11->display, &unmap);
}
