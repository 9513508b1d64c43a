// The colour requests of a form's children: the child's fore colour as text colour, and
// its back colour (else the form's, else button face) as background, with a new brush
// each time and the one before deleted.
#include "forms/forms_support.h"

#include "framework/win32/controls.h"

#include <gtest/gtest.h>

using namespace orv;
using namespace orv::framework;
using namespace orv::forms_test;

namespace {

struct ColourCase {
    const char* what;
    UINT message;
    std::uint32_t childFore, childBack, formBack;
    COLORREF expectText;  // CLR_INVALID: left as the system prepared it
    COLORREF expectBack;
};

COLORREF sys(int index) { return GetSysColor(index); }

std::vector<ColourCase> cases() {
    return {
        {"rgb child on default form", WM_CTLCOLORSTATIC, 0x000000FF, 0x0000FF00, kDefaultColour, RGB(255, 0, 0),
         RGB(0, 255, 0)},
        {"default child takes the form's back", WM_CTLCOLOREDIT, kDefaultColour, kDefaultColour, 0x00FF0000,
         CLR_INVALID, RGB(0, 0, 255)},
        {"nothing set is button face", WM_CTLCOLORLISTBOX, kDefaultColour, kDefaultColour, kDefaultColour, CLR_INVALID,
         sys(COLOR_BTNFACE)},
        {"system colours by index", WM_CTLCOLORBTN, kGreyColour, kWindowTextColour, 0x00FFFFFF, sys(COLOR_BTNSHADOW),
         sys(COLOR_WINDOWTEXT)},
    };
}

COLORREF brushColour(HBRUSH brush) {
    LOGBRUSH info{};
    if (!GetObjectW(brush, sizeof info, &info)) return CLR_INVALID;
    return info.lbColor;
}

TEST(FormColours, ChildColourRequestsAnswerWithTheChildsColours) {
    for (const ColourCase& c : cases()) {
        SCOPED_TRACE(c.what);
        FormOptions options;
        options.name = L"FormColours";
        options.backColour = c.formBack;
        HWND form = makeForm(options);
        ASSERT_NE(form, nullptr);
        ControlOptions label;
        label.kind = "LABEL";
        label.id = 300;
        label.caption = L"彩色";
        label.width = 100;
        label.height = 20;
        label.foreColour = c.childFore;
        label.backColour = c.childBack;
        std::string error;
        HWND child = CreateControl(form, label, error);
        ASSERT_NE(child, nullptr) << error;

        HDC dc = CreateCompatibleDC(nullptr);
        SetTextColor(dc, RGB(1, 2, 3));
        const auto first = reinterpret_cast<HBRUSH>(
            SendMessageW(form, c.message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(child)));
        ASSERT_NE(first, nullptr);
        EXPECT_EQ(brushColour(first), c.expectBack);
        EXPECT_EQ(GetBkColor(dc), c.expectBack);
        if (c.expectText != CLR_INVALID) {
            EXPECT_EQ(GetTextColor(dc), c.expectText);
        }
        EXPECT_EQ(FindRecord(child)->brush, first) << "the child's record holds the brush";

        const auto second = reinterpret_cast<HBRUSH>(
            SendMessageW(form, c.message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(child)));
        EXPECT_EQ(brushColour(second), c.expectBack);
        EXPECT_EQ(GetObjectType(first), 0u) << "the brush handed out before is deleted";
        DeleteDC(dc);
        DestroyWindow(form);
        EXPECT_EQ(GetObjectType(second), 0u) << "the last brush goes with the record";
    }
}

}  // namespace
