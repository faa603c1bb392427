// The window's density on screens of every size: the desktop's where the
// window fits, otherwise the largest step of 0.05 at which it does.
#include "window/window_fit.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include "window/display_choice.h"

namespace {

constexpr FrameExtents no_frame{};
constexpr FrameExtents openbox_frame{1, 1, 20, 1};
constexpr FrameExtents tall_frame{4, 4, 32, 4};

TEST(WindowFit, TheDesktopDensityWhereTheWindowFitsElseTheLargestTwentiethBelowItThatDoes) {
    struct Case {
        double desktop_scale;
        ScreenArea usable;
        FrameExtents frame;
        double density;
    };
    const Case cases[] = {
        {1.0, {0, 0, 1920, 1080}, openbox_frame, 1.0},
        {2.0, {0, 0, 2560, 1600}, no_frame, 2.0},
        {0.75, {0, 0, 800, 600}, no_frame, 0.75},
        {1.0, {0, 0, 1280, 720}, no_frame, 0.95},       // 926 x 704
        {1.0, {0, 0, 1366, 738}, openbox_frame, 0.95},  // above a 30 px panel
        {1.0, {0, 0, 1366, 738}, tall_frame, 0.9},
        {1.5, {0, 0, 1920, 1080}, no_frame, 1.45},   // Xft.dpi 144
        {3.0, {0, 0, 3840, 2160}, no_frame, 2.9},    // 288 dpi
        {10.5, {0, 0, 1920, 1080}, no_frame, 1.45},  // a wrong physical size
        {std::numeric_limits<double>::infinity(), {0, 0, 1920, 1080}, no_frame, 1.45},
        {1.0, {0, 0, 40, 30}, no_frame, 0.05},  // nothing fits
        // 975 x 741 with a frame of 1 + 1 by 20 + 1 needs exactly 977 x 762.
        {1.0, {0, 0, 977, 762}, openbox_frame, 1.0},
        {1.0, {0, 0, 977, 761}, openbox_frame, 0.95},
        {1.0, {0, 0, 976, 762}, openbox_frame, 0.95},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(fitted_density(c.desktop_scale, c.usable, c.frame), c.density)
            << c.desktop_scale << " on " << c.usable.width << " x " << c.usable.height;
    }
}

TEST(WindowFit, CentredWithItsFrameAndNeverAboveOrLeftOfTheUsableArea) {
    const ScreenArea usable{100, 30, 1820, 1050};
    const int width = 975, height = 741;
    const ScreenPoint at = centred_client(usable, openbox_frame, width, height);
    const int left_margin = at.x - openbox_frame.left - usable.x;
    const int right_margin = usable.x + usable.width - (at.x + width + openbox_frame.right);
    const int top_margin = at.y - openbox_frame.top - usable.y;
    const int bottom_margin = usable.y + usable.height - (at.y + height + openbox_frame.bottom);
    EXPECT_GT(left_margin, 0);
    EXPECT_LE(std::abs(left_margin - right_margin), 1);
    EXPECT_GT(top_margin, 0);
    EXPECT_LE(std::abs(top_margin - bottom_margin), 1);
    // Too large for the area: the frame's corner at the area's corner.
    const ScreenPoint too_big = centred_client({100, 30, 500, 400}, openbox_frame, width, height);
    EXPECT_EQ(too_big.x - openbox_frame.left, 100);
    EXPECT_EQ(too_big.y - openbox_frame.top, 30);
}

TEST(WindowFit, AWindowKeptInItsPlaceFitsTheRoomFromItsFrameOn) {
    // weston's Xwayland output of 1100 x 760, its 32 px panel unreported:
    // the client placed below the panel and a title bar has room for 0.9.
    EXPECT_EQ(fitted_density(1.0, room_from({0, 0, 1100, 760}, tall_frame, {38, 59}), tall_frame), 0.9);
    // A frame reaching above or left of the usable area gains no room there:
    // one pixel too narrow for 1.0.
    EXPECT_EQ(fitted_density(1.0, room_from({100, 30, 976, 762}, openbox_frame, {100, 30}), openbox_frame), 0.95);
}

TEST(DesktopDensity, XftDpiFirstThenTheScreenThen96) {
    EXPECT_EQ(desktop_dpi(144.0, 96.0), 144.0);
    EXPECT_EQ(desktop_dpi(std::nullopt, 192.0), 192.0);
    EXPECT_EQ(desktop_dpi(0.0, 192.0), 192.0);  // unusable values count as unset
    EXPECT_EQ(desktop_dpi(std::nullopt, std::numeric_limits<double>::quiet_NaN()), 96.0);
    EXPECT_EQ(desktop_dpi(std::nullopt, std::nullopt), 96.0);
}

TEST(DisplayChoice, WaylandFirstInItsSessionsX11AloneWhereOnlyDisplayIsSet) {
    const std::vector<std::string> drivers{"x11", "wayland", "KMSDRM", "offscreen", "dummy"};
    EXPECT_EQ(preferred_video_drivers({":0", nullptr, "/run/user/1000"}, drivers), "x11");
    EXPECT_EQ(preferred_video_drivers({":0", "wayland-0", "/run/user/1000"}, drivers), "wayland,x11");
    EXPECT_EQ(preferred_video_drivers({nullptr, "wayland-0", "/run/user/1000"}, drivers), "wayland,x11");
    EXPECT_EQ(preferred_video_drivers({nullptr, nullptr, "/run/user/1000"}, drivers), "");
    EXPECT_EQ(preferred_video_drivers({"", "", "/run/user/1000"}, drivers), "");
}

TEST(DisplayChoice, WaylandIsNotTriedWhereItsDisplayCannotBeFound) {
    const std::vector<std::string> drivers{"x11", "wayland", "KMSDRM", "offscreen", "dummy"};
    EXPECT_EQ(preferred_video_drivers({}, drivers), "x11,KMSDRM");
    EXPECT_EQ(preferred_video_drivers({":0", "wayland-0", nullptr}, drivers), "x11");
    EXPECT_EQ(preferred_video_drivers({nullptr, "/tmp/w/wayland-1", nullptr}, drivers), "wayland,x11");
    EXPECT_EQ(no_display_message({nullptr, "wayland-0", nullptr}),
              "no display: DISPLAY is not set, and the Wayland display \"wayland-0\" (WAYLAND_DISPLAY) cannot be"
              " opened without XDG_RUNTIME_DIR");
}

}  // namespace
