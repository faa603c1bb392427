// The window's density on screens of every size: the desktop's where the
// window fits, otherwise the largest step of 0.05 at which it does.
#include "window/window_fit.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "window/display_choice.h"

namespace {

constexpr FrameExtents no_frame{};
constexpr FrameExtents openbox_frame{1, 1, 20, 1};

TEST(WindowFit, ScreensThatHoldTheWindowKeepTheDesktopDensity) {
    EXPECT_EQ(fitted_density(1.0, {0, 0, 1920, 1080}, openbox_frame), 1.0);
    EXPECT_EQ(fitted_density(2.0, {0, 0, 2560, 1600}, no_frame), 2.0);
    EXPECT_EQ(fitted_density(0.75, {0, 0, 800, 600}, no_frame), 0.75);
}

TEST(WindowFit, SmallerScreensStepDownByTwentieths) {
    EXPECT_EQ(fitted_density(1.0, {0, 0, 1280, 720}, no_frame), 0.95);       // 926 x 704
    EXPECT_EQ(fitted_density(1.0, {0, 0, 1366, 738}, openbox_frame), 0.95);  // above a 30 px panel
    EXPECT_EQ(fitted_density(1.0, {0, 0, 1366, 738}, {4, 4, 32, 4}), 0.9);   // a taller frame
    EXPECT_EQ(fitted_density(1.5, {0, 0, 1920, 1080}, no_frame), 1.45);      // Xft.dpi 144
    EXPECT_EQ(fitted_density(3.0, {0, 0, 3840, 2160}, no_frame), 2.9);       // 288 dpi
    EXPECT_EQ(fitted_density(10.5, {0, 0, 1920, 1080}, no_frame), 1.45);     // a wrong physical size
    EXPECT_EQ(fitted_density(1.0, {0, 0, 40, 30}, no_frame), 1.0 / 20);      // nothing fits
    EXPECT_EQ(fitted_density(std::numeric_limits<double>::infinity(), {0, 0, 1920, 1080}, no_frame), 1.45);
}

TEST(WindowFit, TheFrameCountsOnEverySide) {
    // 975 x 741 with a frame of 1 + 1 by 20 + 1 needs exactly 977 x 762.
    EXPECT_EQ(fitted_density(1.0, {0, 0, 977, 762}, openbox_frame), 1.0);
    EXPECT_EQ(fitted_density(1.0, {0, 0, 977, 761}, openbox_frame), 0.95);
    EXPECT_EQ(fitted_density(1.0, {0, 0, 976, 762}, openbox_frame), 0.95);
}

TEST(WindowFit, CentredWithItsFrameAndNeverAboveOrLeftOfTheUsableArea) {
    const ScreenPoint centred = centred_client({100, 30, 1820, 1050}, openbox_frame, 975, 741);
    EXPECT_EQ(centred.x, 100 + (1820 - 977) / 2 + 1);
    EXPECT_EQ(centred.y, 30 + (1050 - 762) / 2 + 20);
    const ScreenPoint too_big = centred_client({100, 30, 500, 400}, openbox_frame, 975, 741);
    EXPECT_EQ(too_big.x, 101);
    EXPECT_EQ(too_big.y, 50);
}

TEST(WindowFit, TheRoomWhereAWindowManagerKeepsTheWindowRunsFromItsFrameToTheUsableAreasEnd) {
    // weston's Xwayland output of 1100 x 760: its panel (32 px) unreported,
    // the client placed below it and a title bar.
    const ScreenArea room = room_from({0, 0, 1100, 760}, {4, 4, 32, 4}, {38, 59});
    EXPECT_EQ(room.x, 34);
    EXPECT_EQ(room.y, 27);
    EXPECT_EQ(room.width, 1066);
    EXPECT_EQ(room.height, 733);
    EXPECT_EQ(fitted_density(1.0, room, {4, 4, 32, 4}), 0.9);  // 667 + 36 <= 733 < 704 + 36
    // A frame reaching above or left of the usable area counts from its edge.
    const ScreenArea clipped = room_from({100, 30, 1820, 1050}, {1, 1, 20, 1}, {100, 30});
    EXPECT_EQ(clipped.x, 100);
    EXPECT_EQ(clipped.y, 30);
    EXPECT_EQ(clipped.width, 1820);
    EXPECT_EQ(clipped.height, 1050);
}

TEST(DesktopDensity, XftDpiFirstThenTheScreenThen96) {
    EXPECT_EQ(desktop_dpi(144.0, 96.0), 144.0);
    EXPECT_EQ(desktop_dpi(std::nullopt, 192.0), 192.0);
    EXPECT_EQ(desktop_dpi(0.0, 192.0), 192.0);  // unusable values count as unset
    EXPECT_EQ(desktop_dpi(std::nullopt, std::numeric_limits<double>::quiet_NaN()), 96.0);
    EXPECT_EQ(desktop_dpi(std::nullopt, std::nullopt), 96.0);
    EXPECT_EQ(scaled_frame({4, 4, 32, 4}, 1.5).top, 48);
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
