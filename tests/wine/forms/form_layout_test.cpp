// A form with controls of many kinds, as the plug-in's windows make them: placed and
// sized from 96-dpi units on this screen, with the kinds' classes, the form's shared font
// where the kind takes it, and a picture of the form for a person to look at.
#include "forms/forms_support.h"

#include "framework/win32/controls.h"
#include "framework/win32/fonts.h"
#include "framework/win32/gdiplus_session.h"
#include "framework/win32/message_loop.h"
#include "framework/win32/screen_scale.h"
#include "framework/win32/window_capture.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <gdiplus.h>

#include <algorithm>
#include <cstdio>

using namespace orv;
using namespace orv::framework;
using namespace orv::forms_test;

namespace {

constexpr const char* kFormFont = "Microsoft YaHei,9,0";

struct KindCase {
    const char* kind;
    const wchar_t* caption;
    int id, x, y, width, height;
    const wchar_t* windowClass;  // as the system names it
    bool takesFormFont;
    bool exactHeight;  // a list box rounds its height to whole items
};

// clang-format off
const KindCase kKinds[] = {
    {"LABEL",        L"标签 Label",   201,  10,  10, 120, 20, L"Static",            true, true},
    {"TEXTBOX",      L"文本",         202, 140,  10, 150, 22, L"Edit",              true, true},
    {"BUTTON",       L"搜索",         203, 300,  10,  80, 26, L"Button",            true, true},
    {"CHECKBOX",     L"选择",         204,  10,  40, 120, 20, L"Button",            true, true},
    {"OPTION",       L"单选",         205, 140,  40, 120, 20, L"Button",            true, true},
    {"LISTBOX",      L"",             206,  10,  70, 180, 90, L"ListBox",           true, false},
    {"TREEVIEW",     L"",             207, 200,  70, 180, 90, L"SysTreeView32",     true, true},
    {"PROGRESSBAR",  L"",             208,  10, 170, 370, 16, L"msctls_progress32", false, true},
    {"FRAME",        L"",             209,  10, 195, 180, 60, L"Static",            false, true},
    {"GROUPBOX",     L"分组",         210, 200, 195, 180, 60, L"Button",            true, true},
    {"ICONLABEL",    L"ICON_TEST",    211,  20, 205,  32, 32, L"Static",            false, true},
    {"LINE",         L"",             212,  10, 265, 370,  2, L"Static",            false, true},
    {"TRACKBAR",     L"",             213,  10, 275, 180, 28, L"msctls_trackbar32", false, true},
};
// clang-format on

std::wstring classOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

class FormLayout : public ::testing::Test {
protected:
    void SetUp() override {
        FormOptions options;
        options.name = L"FormKinds";
        options.caption = L"控件 Kinds";
        options.width = 400;
        options.height = 340;
        options.clientSize = true;
        options.x = 20;
        options.y = 20;
        options.font = kFormFont;
        auto handler = std::make_unique<NotingHandler>();
        handler->calls = &calls;
        form = makeForm(options, std::move(handler));
        ASSERT_NE(form, nullptr);
        for (const KindCase& k : kKinds) {
            ControlOptions control;
            control.kind = k.kind;
            control.name = std::wstring(L"Ctl") + std::to_wstring(k.id);
            control.id = k.id;
            control.caption = k.caption;
            control.x = k.x;
            control.y = k.y;
            control.width = k.width;
            control.height = k.height;
            std::string error;
            HWND made = CreateControl(form, control, error);
            ASSERT_NE(made, nullptr) << k.kind << ": " << error;
        }
        ControlOptions grip;
        grip.kind = "SIZEGRIP";
        grip.id = 214;
        grip.width = 16;
        grip.height = 16;
        std::string error;
        sizeGrip = CreateControl(form, grip, error);
        ASSERT_NE(sizeGrip, nullptr) << error;
        ShowForm(form);
        ASSERT_TRUE(dispatchUntil([&] { return calls.size() >= 2; }));
    }
    void TearDown() override {
        if (form && IsWindow(form)) DestroyWindow(form);
    }

    std::vector<std::string> calls;
    HWND form = nullptr;
    HWND sizeGrip = nullptr;
};

TEST_F(FormLayout, ScreenDpiIsTheOneThisRunIsFor) {
    const int expected = expectedDpi();
    if (expected == 0) GTEST_SKIP() << "ORV_EXPECTED_DPI is not set: the run names no dpi to check against";
    EXPECT_EQ(ScreenScale().dpiX(), expected);
    EXPECT_EQ(ScreenScale().dpiY(), expected);
}

TEST_F(FormLayout, ControlsArePlacedInScaledUnitsWithTheirKindsClassesAndFonts) {
    const DpiScale& scale = ScreenScale();
    HFONT formFont = FontFor(kFormFont);
    ASSERT_NE(formFont, nullptr);
    for (const KindCase& k : kKinds) {
        SCOPED_TRACE(k.kind);
        HWND control = GetDlgItem(form, k.id);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(lstrcmpiW(classOf(control).c_str(), k.windowClass), 0) << "class";
        EXPECT_TRUE(GetWindowLongW(control, GWL_STYLE) & WS_CHILD);
        const RECT r = rectInParent(control);
        EXPECT_EQ(r.left, scale.ScaleX(k.x));
        EXPECT_EQ(r.top, scale.ScaleY(k.y));
        EXPECT_EQ(r.right - r.left, scale.ScaleX(k.width));
        if (k.exactHeight) {
            EXPECT_EQ(r.bottom - r.top, scale.ScaleY(k.height));
        }
        const auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
        if (k.takesFormFont) EXPECT_EQ(font, formFont) << "the form's font";
        else EXPECT_NE(font, formFont) << "a kind that keeps its own font";
        const ControlRecord* record = FindRecord(control);
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(record->id, k.id);
        EXPECT_EQ(record->name, std::wstring(L"Ctl") + std::to_wstring(k.id));
        EXPECT_EQ(record->parent, form);
        EXPECT_EQ(record->x, k.x) << "the record keeps design units";
        EXPECT_EQ(record->width, k.width);
        EXPECT_EQ(FindChildRecord(form, k.id), record);
    }
}

TEST_F(FormLayout, KindRulesAfterCreation) {
    HWND progress = GetDlgItem(form, 208);
    PBRANGE range{};
    SendMessageW(progress, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(range.iLow, 0);
    EXPECT_EQ(range.iHigh, 100);
    EXPECT_EQ(SendMessageW(progress, PBM_GETPOS, 0, 0), 0);

    EXPECT_NE(SendMessageW(GetDlgItem(form, 211), STM_GETICON, 0, 0), 0) << "the icon label shows ICON_TEST";

    RECT client{};
    GetClientRect(form, &client);
    const RECT grip = rectInParent(sizeGrip);
    EXPECT_EQ(grip.right, client.right) << "the size grip sits in the lower right corner";
    EXPECT_EQ(grip.bottom, client.bottom);
    // and stays there when the form grows
    RECT outer{};
    GetWindowRect(form, &outer);
    SetWindowPos(form, nullptr, 0, 0, outer.right - outer.left + 40, outer.bottom - outer.top + 30,
                 SWP_NOMOVE | SWP_NOZORDER);
    GetClientRect(form, &client);
    const RECT moved = rectInParent(sizeGrip);
    EXPECT_EQ(moved.right, client.right);
    EXPECT_EQ(moved.bottom, client.bottom);
}

TEST_F(FormLayout, LightControlsAreChainedInCreationOrder) {
    std::vector<int> chain;
    for (const ControlRecord* r = FindRecord(form)->next; r; r = r->next) chain.push_back(r->id);
    EXPECT_EQ(chain, (std::vector<int>{201, 209, 212})) << "label, frame, line";
    DestroyWindow(GetDlgItem(form, 209));
    chain.clear();
    for (const ControlRecord* r = FindRecord(form)->next; r; r = r->next) chain.push_back(r->id);
    EXPECT_EQ(chain, (std::vector<int>{201, 212})) << "a destroyed frame leaves the chain";
}

TEST_F(FormLayout, LaidOutBeforeTheCreatedHandlerAndOnEverySizeChange) {
    const auto created = std::find(calls.begin(), calls.end(), "created");
    ASSERT_NE(created, calls.end());
    ASSERT_NE(created, calls.begin());
    EXPECT_EQ(*(created - 1), "layout") << "the created notice lays the form out first";
    const auto before = std::count(calls.begin(), calls.end(), "layout");
    SetWindowPos(form, nullptr, 0, 0, 500, 420, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_GT(std::count(calls.begin(), calls.end(), "layout"), before);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "created"), 1);
}

TEST_F(FormLayout, PictureOfTheFormIsSaved) {
    SetWindowPos(form, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SendMessageW(GetDlgItem(form, 208), PBM_SETPOS, 60, 0);
    SendMessageW(GetDlgItem(form, 206), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"第一行"));
    SendMessageW(GetDlgItem(form, 206), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"second line"));
    RedrawWindow(form, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    framework::WaitDispatching(300);  // let every control paint before the screen is read
    const int dpi = ScreenScale().dpiX();
    const std::string name = "forms-" + std::to_string(dpi) + "dpi.png";
    const std::wstring path = journeyPicture(name);
    std::string error;
    ASSERT_TRUE(SaveWindowPng(form, path, &error)) << error;

    // The file is a PNG of the window's size.
    FILE* file = _wfopen(path.c_str(), L"rb");
    ASSERT_NE(file, nullptr) << "the picture is where it was written";
    unsigned char head[24] = {};
    const size_t got = fread(head, 1, sizeof head, file);
    fclose(file);
    ASSERT_EQ(got, sizeof head);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(head) + 1, 3), "PNG");
    const auto be32 = [&](int at) { return (head[at] << 24) | (head[at + 1] << 16) | (head[at + 2] << 8) | head[at + 3]; };
    RECT outer{};
    GetWindowRect(form, &outer);
    EXPECT_EQ(be32(16), outer.right - outer.left);
    EXPECT_EQ(be32(20), outer.bottom - outer.top);

    // And it shows the form as it is, not a blank window of the right size: read back,
    // the progress bar is filled over its first 60 % and empty over the rest, and the
    // list box's first line carries text.
    const framework::GdiplusUse gdiplus;
    ASSERT_TRUE(gdiplus.ok());
    Gdiplus::Bitmap picture(path.c_str());
    ASSERT_EQ(picture.GetLastStatus(), Gdiplus::Ok);
    POINT origin{0, 0};
    ClientToScreen(form, &origin);
    const auto pixel = [&](HWND control, int x, int y) {
        RECT r = rectInParent(control);
        Gdiplus::Color c;
        picture.GetPixel(origin.x - outer.left + r.left + x, origin.y - outer.top + r.top + y, &c);
        return c.ToCOLORREF();
    };
    HWND bar = GetDlgItem(form, 208);
    const RECT barRect = rectInParent(bar);
    const int barWidth = barRect.right - barRect.left, barMiddle = (barRect.bottom - barRect.top) / 2;
    EXPECT_NE(pixel(bar, barWidth / 4, barMiddle), pixel(bar, barWidth * 9 / 10, barMiddle))
        << "the bar's filled and empty parts look alike";
    HWND list = GetDlgItem(form, 206);
    RECT line{};
    SendMessageW(list, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&line));
    const COLORREF background = pixel(list, line.right - 3, line.bottom - 1);
    int inked = 0;
    for (int x = line.left; x < line.left + 60 && x < line.right; ++x)
        for (int y = line.top; y < line.bottom; ++y) inked += pixel(list, x + 1, y + 1) != background;
    EXPECT_GT(inked, 10) << "the list's first line shows no text";
}

TEST(FormFonts, OneFontPerDistinctTextSizedForTheScreen) {
    HFONT a = FontFor("Microsoft YaHei,9,0");
    HFONT b = FontFor(" microsoft yahei , 9");
    HFONT c = FontFor("Microsoft YaHei,12,1");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a, b) << "the same font written two ways is shared";
    EXPECT_NE(a, c);
    LOGFONTW small{}, large{};
    ASSERT_TRUE(GetObjectW(a, sizeof small, &small));
    ASSERT_TRUE(GetObjectW(c, sizeof large, &large));
    EXPECT_EQ(small.lfHeight, -MulDiv(9, ScreenScale().dpiY(), 72));
    EXPECT_EQ(small.lfWeight, 400);
    EXPECT_EQ(large.lfWeight, 700);
    EXPECT_STREQ(small.lfFaceName, L"Microsoft YaHei");
    LOGFONTW fallback{};
    ASSERT_TRUE(GetObjectW(FontFor(""), sizeof fallback, &fallback));
    EXPECT_STREQ(fallback.lfFaceName, L"SimSun") << "an empty text is SimSun 9";
}

}  // namespace
