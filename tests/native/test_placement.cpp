#include "Placement.h"

#include <gtest/gtest.h>

namespace {

TEST(DialogPlacement, CentredInTheWorkAreaOfAnyMonitor) {
    const struct {
        ScreenRect work;
        long width, height;
        long x, y;
    } cases[] = {
        {{0, 0, 1280, 1024}, 400, 120, 440, 452},
        {{0, 0, 1920, 1040}, 401, 121, 759, 459},     // taskbar below, odd sizes
        {{-1920, 0, 0, 1080}, 400, 120, -1160, 480},  // monitor left of the primary
        {{0, -1200, 1600, 0}, 400, 120, 600, -660},   // monitor above it
        {{-3840, -200, -1920, 880}, 400, 120, -3080, 280},
        {{100, 50, 500, 250}, 600, 300, 100, 50},  // larger than the area
    };
    for (const auto& c : cases) {
        const ScreenPoint p = CentredIn(c.work, c.width, c.height);
        EXPECT_EQ(p.x, c.x) << c.work.left << "," << c.work.top;
        EXPECT_EQ(p.y, c.y) << c.work.left << "," << c.work.top;
    }
}

}  // namespace
