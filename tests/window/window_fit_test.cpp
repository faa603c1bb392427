// The window's density on screens of every size: the desktop's where the
// window fits, otherwise the largest step of 0.05 at which it does.
#include "window/window_fit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "canvas/user_coordinates.h"
#include "window/display_choice.h"

namespace {

constexpr FrameExtents no_frame{};
constexpr FrameExtents openbox_frame{1, 1, 20, 1};

bool fits(double density, ScreenArea usable, FrameExtents frame) {
    const UserCoordinates client(density);
    return client.width() + frame.left + frame.right <= usable.width &&
           client.height() + frame.top + frame.bottom <= usable.height;
}

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

TEST(WindowFit, TheChosenDensityIsTheLargestStepThatFits) {
    for (int height = 200; height <= 2200; height += 7) {
        const ScreenArea usable{0, 0, 4000, height};
        const double density = fitted_density(2.0, usable, openbox_frame);
        const int steps = static_cast<int>(std::lround(density * 20));
        EXPECT_DOUBLE_EQ(density, steps / 20.0) << "height " << height;
        EXPECT_TRUE(fits(density, usable, openbox_frame)) << "height " << height;
        if (density < 2.0) {
            EXPECT_FALSE(fits((steps + 1) / 20.0, usable, openbox_frame)) << "height " << height;
        }
    }
}

TEST(WindowFit, CentredWithItsFrameAndNeverAboveOrLeftOfTheUsableArea) {
    const ScreenPoint centred = centred_client({100, 30, 1820, 1050}, openbox_frame, 975, 741);
    EXPECT_EQ(centred.x, 100 + (1820 - 977) / 2 + 1);
    EXPECT_EQ(centred.y, 30 + (1050 - 762) / 2 + 20);
    const ScreenPoint too_big = centred_client({100, 30, 500, 400}, openbox_frame, 975, 741);
    EXPECT_EQ(too_big.x, 101);
    EXPECT_EQ(too_big.y, 50);
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
    EXPECT_STREQ(preferred_video_drivers(":0", nullptr), "x11");
    EXPECT_STREQ(preferred_video_drivers(":0", "wayland-0"), "wayland,x11");
    EXPECT_STREQ(preferred_video_drivers(nullptr, "wayland-0"), "wayland,x11");
    EXPECT_EQ(preferred_video_drivers(nullptr, nullptr), nullptr);
    EXPECT_EQ(preferred_video_drivers("", ""), nullptr);
}

}  // namespace
