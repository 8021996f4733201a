// Where the main window opens: stored and default rectangles fitted into the screens.
#include "app/core/WindowPlacement.h"

#include <gtest/gtest.h>

#include <string>

namespace tavora::app {
namespace {

const PlaceSize kDefault{1400, 860};
const PlaceSize kMinimum{1000, 600};
const PlaceRect kSmall{0, 0, 1280, 720};
const PlaceRect kLarge{0, 0, 1920, 1080};
// A 1920 x 1080 screen with a 27-pixel panel along its top.
const PlaceRect kLargeWithPanel{0, 27, 1920, 1053};
// A second screen of 1280 x 720 right of the large one.
const PlaceRect kRightSmall{1920, 0, 1280, 720};
const FrameMargins kNoFrame{};
const FrameMargins kTitleBar{1, 30, 1, 1};

struct Case {
    std::string name;
    std::vector<PlaceRect> screens;
    int openingScreen;
    std::optional<PlaceRect> stored;
    FrameMargins frame;
    PlaceRect expected;
};

TEST(WindowPlacement, FitsTheStoredOrDefaultRectangleIntoTheScreenItOpensOn) {
    const Case cases[] = {
        // First starts: the default size, cut to the screen and centred.
        {"first start, small screen", {kSmall}, 0, std::nullopt, kNoFrame, {0, 0, 1280, 720}},
        {"first start, large screen", {kLarge}, 0, std::nullopt, kNoFrame, {260, 110, 1400, 860}},
        {"first start, small screen with a title bar", {kSmall}, 0, std::nullopt, kTitleBar, {1, 30, 1278, 689}},
        {"first start on the second screen", {kLarge, kRightSmall}, 1, std::nullopt, kNoFrame,
         {1920, 0, 1280, 720}},
        // A stored place that fits stays as it is.
        {"stored, fits", {kLarge}, 0, PlaceRect{40, 30, 1200, 800}, kNoFrame, {40, 30, 1200, 800}},
        {"stored, fits with its frame", {kLarge}, 0, PlaceRect{41, 60, 1200, 800}, kTitleBar,
         {41, 60, 1200, 800}},
        // Stored on a larger screen, opened on a smaller one: cut and moved inside.
        {"stored larger than the screen", {kSmall}, 0, PlaceRect{40, 30, 1300, 820}, kNoFrame, {0, 0, 1280, 720}},
        {"stored larger, with a title bar", {kSmall}, 0, PlaceRect{40, 30, 1300, 820}, kTitleBar,
         {1, 30, 1278, 689}},
        {"stored past the right and bottom edges", {kSmall}, 0, PlaceRect{600, 400, 1100, 650}, kNoFrame,
         {180, 70, 1100, 650}},
        {"stored partly left of and above the screen", {kLarge}, 0, PlaceRect{-200, -50, 1200, 800}, kNoFrame,
         {0, 0, 1200, 800}},
        {"stored under a panel", {kLargeWithPanel}, 0, PlaceRect{100, 0, 1200, 800}, kNoFrame,
         {100, 27, 1200, 800}},
        // Two screens: the one holding most of the window is the one fitted to.
        {"stored mostly on the second, smaller screen", {kLarge, kRightSmall}, 0, PlaceRect{2000, 50, 1300, 820},
         kNoFrame, {1920, 0, 1280, 720}},
        {"stored across both, mostly on the first", {kLarge, kRightSmall}, 0, PlaceRect{1000, 100, 1200, 800},
         kNoFrame, {720, 100, 1200, 800}},
        // Off every screen (a monitor that was unplugged): centred on the opening screen.
        {"stored off every screen", {kLarge}, 0, PlaceRect{3000, 200, 1200, 800}, kNoFrame, {360, 140, 1200, 800}},
        {"stored off every screen, opening on the small one", {kLarge, kRightSmall}, 1,
         PlaceRect{-3000, -2000, 1300, 820}, kNoFrame, {1920, 0, 1280, 720}},
        // The minimum size wins over a screen smaller than it; the top-left stays on screen.
        {"screen smaller than the minimum", {PlaceRect{0, 0, 800, 600}}, 0, PlaceRect{100, 100, 1200, 800},
         kNoFrame, {0, 0, 1000, 600}},
        {"first start on a screen smaller than the minimum", {PlaceRect{0, 0, 800, 480}}, 0, std::nullopt,
         kTitleBar, {1, 30, 1000, 600}},
        // An opening screen index out of range takes the first screen.
        {"bad opening screen", {kSmall}, 5, std::nullopt, kNoFrame, {0, 0, 1280, 720}},
        // Without screens nothing is known: the rectangle as it is.
        {"no screens, stored", {}, 0, PlaceRect{40, 30, 1300, 820}, kNoFrame, {40, 30, 1300, 820}},
        {"no screens, first start", {}, 0, std::nullopt, kNoFrame, {0, 0, 1400, 860}},
    };
    for (const Case& c : cases) {
        PlacementInput in;
        in.screens = c.screens;
        in.openingScreen = c.openingScreen;
        in.stored = c.stored;
        in.defaultSize = kDefault;
        in.minimumSize = kMinimum;
        in.frame = c.frame;
        const PlaceRect r = placeWindow(in);
        EXPECT_EQ(r, c.expected) << c.name << ": got " << r.x << "," << r.y << " " << r.width << "x" << r.height;
    }
}

} // namespace
} // namespace tavora::app
