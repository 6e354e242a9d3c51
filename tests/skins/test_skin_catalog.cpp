#include "skins/SkinCatalog.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

using namespace morvantis;

namespace {

// What a start does with the catalog: entry themeNo or the first run's, then the skins tried in turn.
struct SkinStart {
    int selected = -1;
    std::vector<std::string> tried;
    std::vector<std::string> reported;
    const char* end = "no skin";
};

SkinStart start(const std::vector<std::string>& names, int themeNo, const std::set<std::string>& broken,
                bool endsWhileReporting = false) {
    SkinCatalog catalog("/prog/Skins", names);
    SkinStart run;
    if (!catalog.choose(themeNo))
        return run;
    run.selected = catalog.selected();
    const auto load = [&](const std::string& path) {
        const std::string name = path.substr(path.rfind('/') + 1);
        run.tried.push_back(name);
        return broken.count(name) == 0;
    };
    const auto failed = [&](const std::string& path) {
        run.reported.push_back(path);
        return !endsWhileReporting;
    };
    switch (putSkin(catalog.path(run.selected), catalog.defaultPath(), load, failed)) {
    case SkinEnd::Loaded:
        run.end = "loaded";
        break;
    case SkinEnd::DefaultBroken:
        run.end = "ends with status 1";
        break;
    case SkinEnd::Abandoned:
        run.end = "abandoned";
        break;
    }
    return run;
}

} // namespace

TEST(SkinCatalog, TheChosenSkinElseTheDefaultElseTheEnd) {
    using Names = std::vector<std::string>;
    using Tried = std::vector<std::string>;
    const struct Case {
        const char* what;
        Names names;
        int themeNo;
        std::set<std::string> broken;
        bool endsWhileReporting;
        int selected;
        Tried tried;
        const char* end;
    } cases[] = {
        {"entry ThemeNo loads", {"A", "B", "Digital Age"}, 2, {}, false, 2, {"Digital Age"}, "loaded"},
        {"ThemeNo past the list takes the second", {"A", "B", "C"}, 7, {}, false, 1, {"B"}, "loaded"},
        {"a negative ThemeNo too", {"A", "B"}, -1, {}, false, 1, {"B"}, "loaded"},
        {"a lone skin is taken", {"Only"}, 5, {}, false, 0, {"Only"}, "loaded"},
        {"no skin at all ends", {}, 0, {}, false, -1, {}, "no skin"},
        {"a broken skin falls back to the default once",
         {"B", "Digital Age"},
         0,
         {"B"},
         false,
         0,
         {"B", "Digital Age"},
         "loaded"},
        {"a broken default is not tried twice",
         {"A", "Digital Age"},
         1,
         {"Digital Age"},
         false,
         1,
         {"Digital Age"},
         "ends with status 1"},
        {"a broken skin and a broken default end",
         {"B", "Digital Age"},
         0,
         {"B", "Digital Age"},
         false,
         0,
         {"B", "Digital Age"},
         "ends with status 1"},
        {"the default is found by its name without case",
         {"digital age", "Z"},
         0,
         {"digital age"},
         false,
         0,
         {"digital age"},
         "ends with status 1"},
        {"an end while a failure is reported stops the fallback",
         {"B", "Digital Age"},
         0,
         {"B"},
         true,
         0,
         {"B"},
         "abandoned"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const SkinStart run = start(c.names, c.themeNo, c.broken, c.endsWhileReporting);
        EXPECT_EQ(run.selected, c.selected);
        EXPECT_EQ(run.tried, c.tried);
        EXPECT_EQ(std::string(run.end), c.end);
        EXPECT_EQ(run.reported.size(), c.tried.size() - (std::string(c.end) == "loaded" ? 1 : 0));
    }
}

TEST(SkinCatalog, SelectingOutsideTheListChangesNothing) {
    SkinCatalog catalog("/prog/Skins", {"A", "B"});
    EXPECT_EQ(catalog.selectedName(), "");
    EXPECT_TRUE(catalog.select(1));
    for (const int outside : {-1, 2})
        EXPECT_FALSE(catalog.select(outside));
    EXPECT_EQ(catalog.selected(), 1);
    EXPECT_EQ(catalog.selectedName(), "B");
    EXPECT_EQ(catalog.path(0), "/prog/Skins/A");
    EXPECT_EQ(catalog.defaultPath(), "/prog/Skins/Digital Age");
}
