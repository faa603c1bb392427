// The presentation rate taken from the display's report.
#include "window/refresh_rate.h"

#include <gtest/gtest.h>

TEST(RefreshRate, ReportsFrom30To240HzAreUsedOthersGive60) {
    for (const int hz : {30, 59, 60, 75, 144, 240}) EXPECT_EQ(presentation_hz(hz), hz);
    for (const int hz : {-60, 0, 1, 29, 241, 1000}) EXPECT_EQ(presentation_hz(hz), 60) << hz;
}
