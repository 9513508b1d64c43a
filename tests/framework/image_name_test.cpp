// Image texts to the resource they name, and image captions to resource ids or names.
#include "framework/image_name.h"

#include <gtest/gtest.h>

using namespace orv::framework;

TEST(ImageName, ResourcePartAfterTheBarDecidesTheKind) {
    const struct {
        const char* text;
        const char* file;
        ImageResourceKind kind;
        const char* resource;
    } cases[] = {
        {"new.ico|ICON_NEW", "new.ico", ImageResourceKind::Icon, "ICON_NEW"},
        {"ICON_NEW", "", ImageResourceKind::Icon, "ICON_NEW"},
        {"open.bmp|BITMAP_OPEN", "open.bmp", ImageResourceKind::Bitmap, "BITMAP_OPEN"},
        {"logo.png|RCDATA_LOGO", "logo.png", ImageResourceKind::RcData, "RCDATA_LOGO"},
        {"RCDATA_LOGO", "", ImageResourceKind::RcData, "RCDATA_LOGO"},
        {"icon_save", "", ImageResourceKind::Icon, "icon_save"},
        {"C:\\img\\a.ico|Bitmap_A", "C:\\img\\a.ico", ImageResourceKind::Bitmap, "Bitmap_A"},
        // Only the resource part counts: a prefix in the file part gives nothing.
        {"ICON_NEW|new.ico", "ICON_NEW", ImageResourceKind::None, "new.ico"},
        {"new.ico", "", ImageResourceKind::None, "new.ico"},
        {"ICONNEW", "", ImageResourceKind::None, "ICONNEW"},
        {"new.ico|", "new.ico", ImageResourceKind::None, ""},
        {"", "", ImageResourceKind::None, ""},
        {"a|b|ICON_X", "a|b", ImageResourceKind::Icon, "ICON_X"},
    };
    for (const auto& c : cases) {
        const ImageName image = ParseImageName(c.text);
        EXPECT_EQ(image.file, c.file) << c.text;
        EXPECT_EQ(image.kind, c.kind) << c.text;
        EXPECT_EQ(image.resource, c.resource) << c.text;
    }
}

TEST(ImageName, CaptionIsANumericIdOrAName) {
    const struct {
        const char* caption;
        int id;
        const char* name;
    } cases[] = {
        {"#101", 101, ""},      {"#1", 1, ""},           {"#65535", 65535, ""},
        {"#0", 0, "#0"},        {"#65536", 0, "#65536"}, {"#12a", 0, "#12a"},
        {"#", 0, "#"},          {"#-5", 0, "#-5"},       {"ICON_OK", 0, "ICON_OK"},
        {"101", 0, "101"},      {"", 0, ""},             {"#0000101", 0, "#0000101"},
    };
    for (const auto& c : cases) {
        const ResourceRef ref = ParseResourceRef(c.caption);
        EXPECT_EQ(ref.id, c.id) << c.caption;
        EXPECT_EQ(ref.name, c.name) << c.caption;
    }
}
