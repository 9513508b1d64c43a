// Font texts read into font descriptions, and the key equal fonts share.
#include "framework/font_description.h"

#include <gtest/gtest.h>

using namespace orv::framework;

namespace {

struct FontCase {
    const char* text;
    const char* face;
    int points;
    int weight;
    bool italic, underline, strikeout;
};

const FontCase kFontCases[] = {
    {"Microsoft YaHei,9,0", "Microsoft YaHei", 9, 400, false, false, false},
    {"Microsoft YaHei,12,1", "Microsoft YaHei", 12, 700, false, false, false},
    {"Arial,10,5,1,1,1", "Arial", 10, 700, true, true, true},
    {"Arial,10,0,0,1", "Arial", 10, 400, false, true, false},
    {"Tahoma", "Tahoma", 9, 400, false, false, false},
    {"", "SimSun", 9, 400, false, false, false},
    {",0", "SimSun", 9, 400, false, false, false},
    {",11,1", "SimSun", 11, 700, false, false, false},
    {"  Courier New , 14 , 0 , 1 ", "Courier New", 14, 400, true, false, false},
    {"Arial,,1", "Arial", 9, 700, false, false, false},
    {"微软雅黑,9", "微软雅黑", 9, 400, false, false, false},
};

}  // namespace

TEST(FontDescription, ReadsFaceSizeWeightAndFlags) {
    for (const FontCase& c : kFontCases) {
        std::string problem = "stale";
        const FontDescription font = ParseFontDescription(c.text, &problem);
        EXPECT_EQ(font.face, c.face) << c.text;
        EXPECT_EQ(font.points, c.points) << c.text;
        EXPECT_EQ(font.weight, c.weight) << c.text;
        EXPECT_EQ(font.italic, c.italic) << c.text;
        EXPECT_EQ(font.underline, c.underline) << c.text;
        EXPECT_EQ(font.strikeout, c.strikeout) << c.text;
        EXPECT_EQ(problem, "") << c.text;
    }
}

// A bad item keeps its default, the good ones still count, and the message names the item.
TEST(FontDescription, BadItemsKeepDefaultsAndAreNamed) {
    const struct {
        const char* text;
        int points;
        int weight;
        bool italic;
        const char* named;
    } cases[] = {
        {"Arial,nine,1", 9, 700, false, "size \"nine\""},
        {"Arial,9.5,1", 9, 700, false, "size \"9.5\""},
        {"Arial,-12,1", 9, 700, false, "negative size"},
        {"Arial,10,bold,1", 10, 400, true, "bold \"bold\""},
        {"Arial,10,0,0,0,0,7", 10, 400, false, "more than six items"},
    };
    for (const auto& c : cases) {
        std::string problem;
        const FontDescription font = ParseFontDescription(c.text, &problem);
        EXPECT_EQ(font.face, "Arial") << c.text;
        EXPECT_EQ(font.points, c.points) << c.text;
        EXPECT_EQ(font.weight, c.weight) << c.text;
        EXPECT_EQ(font.italic, c.italic) << c.text;
        EXPECT_NE(problem.find(c.named), std::string::npos) << c.text << " -> " << problem;
        EXPECT_NE(problem.find(c.text), std::string::npos) << "the message quotes the whole font text";
    }
}

TEST(FontDescription, KeyIsTheSameForEveryWayOfWritingOneFont) {
    const auto key = [](const char* text) { return FontDescriptionKey(ParseFontDescription(text)); };
    EXPECT_EQ(key("Arial,9"), key("arial , 9,0,0,0,0"));
    EXPECT_EQ(key("Arial,0,3"), key("ARIAL,,1"));
    EXPECT_EQ(key(""), key("SimSun,9,0"));
    EXPECT_EQ(key("微软雅黑,9"), key("微软雅黑,9,0"));

    EXPECT_NE(key("Arial,9"), key("Arial,10"));
    EXPECT_NE(key("Arial,9"), key("Arial,9,1"));
    EXPECT_NE(key("Arial,9,0,1"), key("Arial,9,0,0,1"));
    EXPECT_NE(key("Arial,9,0,0,1"), key("Arial,9,0,0,0,1"));
    EXPECT_NE(key("Arial,9"), key("Tahoma,9"));
}
