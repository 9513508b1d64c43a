// One font object per distinct font: made on first use, shared after, freed with the cache.
#include "framework/font_cache.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace orv::framework;

namespace {

// Stands in for the font maker of the window layer: numbers its fonts and keeps what it
// was asked to make and to delete.
struct FontMaker {
    std::vector<FontDescription> made;
    std::vector<int> deleted;
    bool failing = false;

    FontCache<int> cache() {
        return FontCache<int>(
            [this](const FontDescription& font) {
                if (failing) return 0;
                made.push_back(font);
                return static_cast<int>(made.size());
            },
            [this](int font) { deleted.push_back(font); });
    }
};

}  // namespace

TEST(FontCache, SharesOneFontPerDistinctFont) {
    FontMaker maker;
    {
        FontCache<int> fonts = maker.cache();
        const int yahei = fonts.Get("Microsoft YaHei,9,0");
        EXPECT_EQ(fonts.Get("Microsoft YaHei,9"), yahei);
        EXPECT_EQ(fonts.Get("microsoft yahei , 9 ,0,0"), yahei);
        const int bold = fonts.Get("Microsoft YaHei,9,1");
        EXPECT_NE(bold, yahei);
        const int simsun = fonts.Get("");
        EXPECT_EQ(fonts.Get("SimSun,0"), simsun);

        ASSERT_EQ(maker.made.size(), 3u);
        EXPECT_EQ(maker.made[0].face, "Microsoft YaHei");
        EXPECT_EQ(maker.made[1].weight, kBoldWeight);
        EXPECT_EQ(maker.made[2].face, "SimSun");
        EXPECT_EQ(maker.made[2].points, 9);
        EXPECT_EQ(fonts.size(), 3u);
        EXPECT_TRUE(maker.deleted.empty()) << "fonts in use by windows must stay";
    }
    std::sort(maker.deleted.begin(), maker.deleted.end());
    EXPECT_EQ(maker.deleted, (std::vector<int>{1, 2, 3}));
}

TEST(FontCache, FailedFontIsNotRememberedAndIsTriedAgain) {
    FontMaker maker;
    maker.failing = true;
    {
        FontCache<int> fonts = maker.cache();
        EXPECT_EQ(fonts.Get("Arial,9"), 0);
        EXPECT_EQ(fonts.size(), 0u);
        maker.failing = false;
        EXPECT_EQ(fonts.Get("Arial,9"), 1);
        EXPECT_EQ(fonts.Get("Arial,9"), 1);
        EXPECT_EQ(maker.made.size(), 1u);
    }
    EXPECT_EQ(maker.deleted, (std::vector<int>{1}));
}

TEST(FontCache, PassesOnWhatWasWrongWithTheText) {
    FontMaker maker;
    FontCache<int> fonts = maker.cache();
    std::string problem;
    EXPECT_EQ(fonts.Get("Arial,big", &problem), 1);
    EXPECT_NE(problem.find("\"big\""), std::string::npos) << problem;
    EXPECT_EQ(fonts.Get("Arial,9", &problem), 1) << "the bad size fell back to 9";
    EXPECT_EQ(problem, "");
}
