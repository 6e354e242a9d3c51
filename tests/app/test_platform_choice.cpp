#include "app/PlatformChoice.h"

#include <gtest/gtest.h>

using morvantis::OutputLayout;

TEST(PlatformChoice, X11OnlyWhereEveryScaledOutputIsIntegerAndXftDpiMatchesTheLargestScale) {
    const OutputLayout plain{1, 1920, 1080, 1920, 1080};
    const OutputLayout integer2{2, 2560, 1600, 2560, 1600};
    const OutputLayout integer3{3, 3840, 2160, 3840, 2160};
    const OutputLayout turned2{2, 2560, 1600, 1600, 2560};
    const OutputLayout fractional2{2, 2560, 1600, 1280, 800};
    const OutputLayout untold2{2, 2560, 1600, 0, 0}; // no xdg-output
    const struct {
        const char* what;
        std::vector<OutputLayout> outputs;
        double xftDpi;
        bool x11;
    } cases[] = {
        {"unscaled, no Xft.dpi", {plain}, 0, true},
        {"no outputs", {}, 0, true},
        {"integer layout at 2, Xft.dpi 192", {plain, integer2}, 192, true},
        {"integer layout, turned", {turned2}, 192, true},
        {"Xft.dpi not written yet", {integer2}, 0, false},
        {"Xft.dpi of another scale", {integer2}, 96, false},
        {"Xft.dpi of the smaller scale", {integer2, integer3}, 192, false},
        {"Xft.dpi of the largest scale", {integer2, integer3}, 288, true},
        {"fractional layout", {fractional2}, 192, false},
        {"one scaled output fractional", {integer2, fractional2}, 192, false},
        {"logical size not told", {untold2}, 192, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(morvantis::x11DrawsSharp(c.outputs, c.xftDpi), c.x11) << c.what;
}

TEST(PlatformChoice, XftDpiIsReadFromTheResources) {
    const struct {
        const char* resources;
        double dpi;
    } cases[] = {
        {"Xft.dpi:\t192\n", 192},
        {"Xcursor.size:\t24\nXft.antialias:\t1\nXft.dpi:\t144\nXft.hinting:\t1\n", 144},
        {"  Xft.dpi :  96.5", 96.5},
        {"Xft.dpi:\t\n", 0},
        {"Xft.dpi:\t192dpi\n", 0},
        {"Xft.dpix:\t192\n", 0},
        {"Xft.dpi:\t-192\n", 0},
        {"", 0},
        {"Xft.antialias:\t1", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(morvantis::xftDpiIn(c.resources), c.dpi) << c.resources;
}
