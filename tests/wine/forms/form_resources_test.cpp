// What forms take from outside the window system's own messages: pictures from the
// module's resources, GDI+ while someone uses it, the message box's caption, the
// window placement of the settings file, and a menu's shortcuts.
#include "forms/forms_support.h"

#include "framework/win32/gdiplus_session.h"
#include "framework/win32/images.h"
#include "framework/win32/message_box.h"
#include "framework/win32/window_placement.h"
#include "library/prompt.h"
#include "wine/message_boxes.h"

#include <gtest/gtest.h>

using namespace orv;
using namespace orv::framework;
using namespace orv::forms_test;

namespace {

struct IconSize {
    int width = 0, height = 0;
    COLORREF centre = CLR_INVALID;
};

IconSize measure(HICON icon) {
    IconSize size;
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) return size;
    BITMAP bitmap{};
    GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    size.width = bitmap.bmWidth;
    size.height = info.hbmColor ? bitmap.bmHeight : bitmap.bmHeight / 2;
    if (info.hbmColor) {
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ previous = SelectObject(dc, info.hbmColor);
        size.centre = GetPixel(dc, size.width / 2, size.height / 2);
        SelectObject(dc, previous);
        DeleteDC(dc);
        DeleteObject(info.hbmColor);
    }
    if (info.hbmMask) DeleteObject(info.hbmMask);
    return size;
}

struct ImageCase {
    const char* text;
    int size;
    bool found;
    COLORREF centre;  // CLR_INVALID: any
};

TEST(FormImages, IconsFromEachKindOfResource) {
    const ImageCase cases[] = {
        {"book.ico|ICON_TEST", 32, true, CLR_INVALID},
        {"ICON_TEST", 16, true, CLR_INVALID},
        {"BITMAP_TEST", 24, true, RGB(255, 0, 0)},
        {"logo.png|RCDATA_TEST", 32, true, RGB(0, 160, 0)},
        {"RCDATA_TEST", 16, true, RGB(0, 160, 0)},
        {"ICON_MISSING", 32, false, CLR_INVALID},
        {"RCDATA_MISSING", 32, false, CLR_INVALID},
        {"plain.ico", 32, false, CLR_INVALID},
    };
    for (const ImageCase& c : cases) {
        SCOPED_TRACE(c.text);
        std::string problem;
        HICON icon = LoadImageIcon(c.text, c.size, &problem);
        EXPECT_EQ(icon != nullptr, c.found) << problem;
        if (!icon) {
            EXPECT_FALSE(problem.empty()) << "a missing picture says why";
            continue;
        }
        const IconSize size = measure(icon);
        EXPECT_EQ(size.width, c.size);
        EXPECT_EQ(size.height, c.size);
        if (c.centre != CLR_INVALID) {
            EXPECT_EQ(size.centre, c.centre);
        }
        DestroyIcon(icon);
    }
}

TEST(FormImages, ControlImagesByNameAndNumber) {
    struct Case {
        ResourceRef ref;
        UINT type;
        bool found;
    };
    const Case cases[] = {
        {{0, "ICON_TEST"}, IMAGE_ICON, true},
        {{101, ""}, IMAGE_ICON, true},
        {{0, "BITMAP_TEST"}, IMAGE_BITMAP, true},
        {{102, ""}, IMAGE_BITMAP, true},
        {{0, "NO_SUCH"}, IMAGE_BITMAP, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ref.id ? std::to_string(c.ref.id) : c.ref.name);
        HANDLE image = LoadControlImage(c.ref, c.type);
        EXPECT_EQ(image != nullptr, c.found);
        if (!image) continue;
        if (c.type == IMAGE_ICON) DestroyIcon(static_cast<HICON>(image));
        else DeleteObject(image);
    }
}

TEST(FormGdiplus, StartedByTheFirstUserAndShutDownByTheLast) {
    ASSERT_FALSE(GdiplusRunning()) << "nothing in this program holds GDI+ between tests";
    ASSERT_TRUE(AcquireGdiplus());
    {
        GdiplusUse second;
        EXPECT_TRUE(second.ok());
        EXPECT_TRUE(GdiplusRunning());
    }
    EXPECT_TRUE(GdiplusRunning()) << "the first user still holds it";
    ReleaseGdiplus();
    EXPECT_FALSE(GdiplusRunning());
    ReleaseGdiplus();  // one too many changes nothing
    EXPECT_FALSE(GdiplusRunning());
    HICON decoded = LoadImageIcon("RCDATA_TEST", 16);
    EXPECT_NE(decoded, nullptr) << "a user after the shutdown starts it again";
    DestroyIcon(decoded);
    EXPECT_FALSE(GdiplusRunning());
}

TEST(FormMessageBox, CaptionIsAlwaysThePlugInsName) {
    wine::MessageBoxWatcher watcher;
    EXPECT_EQ(ShowMessageBox(nullptr, "已保存。", MB_OK | MB_ICONINFORMATION), IDOK);
    const auto boxes = watcher.take();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, std::string(library::kPromptCaption));
    EXPECT_EQ(boxes[0].text, "已保存。");
}

TEST(FormPlacement, PlacementComesBackAsItWasApplied) {
    HWND form = makeForm(FormOptions{});
    ASSERT_NE(form, nullptr);
    struct Case {
        library::WindowPlacement applied;
        int expectShow;
    };
    const Case cases[] = {
        {{40, 50, 440, 350, -1, 0, SW_SHOWNORMAL}, SW_SHOWNORMAL},
        {{60, 70, 560, 470, 0, 0, SW_SHOWNORMAL}, SW_SHOWNORMAL},
        {{30, 30, 330, 330, 0, 0, SW_SHOWMINIMIZED}, SW_SHOWNORMAL},  // never reopened out of sight
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.applied.left);
        ASSERT_TRUE(ApplyPlacement(form, c.applied));
        const library::WindowPlacement back = CurrentPlacement(form);
        EXPECT_EQ(back.left, c.applied.left);
        EXPECT_EQ(back.top, c.applied.top);
        EXPECT_EQ(back.right, c.applied.right);
        EXPECT_EQ(back.bottom, c.applied.bottom);
        EXPECT_EQ(back.topMost, c.applied.topMost);
        EXPECT_EQ(back.showCmd, c.expectShow);
    }
    DestroyWindow(form);
}

TEST(FormAccelerators, ShortcutsOfTheMenuMakeTheTable) {
    HWND form = makeForm(FormOptions{});
    ASSERT_NE(form, nullptr);
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    AppendMenuW(file, MF_STRING, 301, L"保存(&S)\tCtrl+S");
    AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(file, MF_STRING, 302, L"帮助\tF1");
    AppendMenuW(file, MF_STRING, 303, L"坏的\tCtrl+?");
    AppendMenuW(file, MF_STRING, 304, L"没有快捷键");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"文件");
    ASSERT_TRUE(SetMenu(form, bar));

    std::string problems;
    ASSERT_TRUE(SetFormAccelerators(form, &problems));
    EXPECT_FALSE(problems.empty()) << "the unreadable shortcut is named";
    HACCEL table = FormAccelerators(form);
    ASSERT_NE(table, nullptr);
    ACCEL entries[8] = {};
    ASSERT_EQ(CopyAcceleratorTableW(table, entries, 8), 2);
    EXPECT_EQ(entries[0].cmd, 301);
    EXPECT_EQ(entries[0].key, 'S');
    EXPECT_EQ(entries[0].fVirt, FVIRTKEY | FCONTROL);
    EXPECT_EQ(entries[1].cmd, 302);
    EXPECT_EQ(entries[1].key, VK_F1);
    DestroyWindow(form);
}

}  // namespace
