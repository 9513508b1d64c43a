// Control kinds: the class and styles each kind name creates, the passed-style rules and
// the kinds that keep their own font or take an image caption. Expected styles are the
// plain numbers a Win32 programmer would pass to CreateWindowEx.
#include "framework/control_kinds.h"

#include <gtest/gtest.h>

#include <set>

using namespace orv::framework;

namespace {

constexpr std::uint32_t D = kDefaultStyle;

struct CreationCase {
    const char* kind;
    std::uint32_t style, exStyle;                  // as passed
    const char* windowClass;
    std::uint32_t createdStyle, createdExStyle;    // as created
};

const CreationCase kCreationCases[] = {
    {"BUTTON", D, D, "BUTTON", 0x50010F00, 0},
    {"button", D, D, "BUTTON", 0x50010F00, 0},
    {"BUTTON", 0x8000, D, "BUTTON", 0x50018F00, 0},
    {"BUTTON", 0x1, D, "BUTTON", 0x50010F01, 0},
    {"BUTTON", 0xB, D, "BUTTON", 0x5001000B, 0},
    {"BUTTON", 0x10000002, 0x4, "BUTTON", 0x50000002, 0x4},
    {"CUSTOMBUTTON", D, D, "Button", 0x5001000B, 0},
    {"OwnerDrawButton", D, D, "Button", 0x5001000B, 0},
    {"RADIOBUTTON", D, D, "Button", 0x50010D09, 0},
    {"Option", 0x20000, D, "Button", 0x50030D09, 0},
    {"OPTION", 0x8000, D, "Button", 0x40008000, 0},  // the push-button short forms are BUTTON's only
    {"CHECKBOX", D, D, "Button", 0x50010D03, 0},
    {"CHECK3STATE", D, D, "Button", 0x50010D06, 0},
    {"Label", D, D, "Static", 0x50020100, 0},
    {"BITMAPLABEL", D, D, "Static", 0x5002000E, 0x20},
    {"ICONLABEL", D, D, "Static", 0x50020003, 0x20},
    {"BITMAPBUTTON", D, D, "Button", 0x50010080, 0},
    {"ICONBUTTON", D, D, "Button", 0x50010040, 0},
    {"CUSTOMLABEL", D, D, "Static", 0x5002000D, 0},
    {"FRAME", D, D, "Static", 0x54020007, 0x20},
    {"FRAMEWINDOW", D, D, "Static", 0x54020007, 0x20},
    {"GROUPBOX", D, D, "Button", 0x54020007, 0x20},
    {"LINE", D, D, "Static", 0x50000012, 0x20},
    {"EDIT", D, D, "Edit", 0x50010080, 0x200},
    {"TextBox", D, D, "Edit", 0x50010080, 0x200},
    {"TEXTBOX", 0x10010004, 0, "Edit", 0x50010004, 0},
    {"EDITMULTILINE", D, D, "Edit", 0x50211184, 0x200},
    {"MULTILINETEXTBOX", D, D, "Edit", 0x50211184, 0x200},
    {"COMBOBOX", D, D, "COMBOBOX", 0x50A10302, 0x200},
    {"COMBOBOXEX32", D, D, "ComboBoxEx32", 0x50810003, 0},
    {"LISTBOX", D, D, "LISTBOX", 0x50B10043, 0x200},
    {"PROGRESSBAR", D, D, "msctls_progress32", 0x50000000, 0},
    {"MSCTLS_PROGRESS32", D, D, "msctls_progress32", 0x50000000, 0},
    {"HEADER", D, D, "SysHeader32", 0x50000003, 0},
    {"TREEVIEW", D, D, "SysTreeView32", 0x50810027, 0x200},
    {"SysListView32", D, D, "SysListView32", 0x52010349, 0x200},
    {"TOOLBAR", D, D, "ToolbarWindow32", 0x56800901, 0},
    {"REBAR", D, D, "ReBarWindow32", 0x56800640, 0},
    {"DATETIMEPICKER", D, D, "SysDateTimePick32", 0x50010000, 0},
    {"MONTHCAL", D, D, "SysMonthCal32", 0x50010000, 0x200},
    {"IPADDRESS", D, D, "SysIPAddress32", 0x50010000, 0x200},
    {"HOTKEY", D, D, "msctls_hotkey32", 0x50010000, 0x200},
    {"ANIMATION", D, D, "SysAnimate32", 0x50000002, 0},
    {"SYSLINK", D, D, "SYSLINK", 0x50010000, 0},
    {"PAGER", D, D, "SysPager", 0x50010001, 0},
    {"TABCONTROL", D, D, "SysTabControl32", 0x56030800, 0x10000},
    {"TAB", D, 0x200, "SysTabControl32", 0x56030800, 0x10200},
    {"TAB", D, 0, "SysTabControl32", 0x56030800, 0x10000},
    {"STATUSBAR", D, D, "msctls_statusbar32", 0x56000103, 0},
    {"SIZEGRIP", D, D, "Scrollbar", 0x50000014, 0},
    {"HSCROLLBAR", D, D, "Scrollbar", 0x50010000, 0},
    {"VSCROLLBAR", D, D, "Scrollbar", 0x50010001, 0},
    {"SLIDER", D, D, "msctls_trackbar32", 0x50010101, 0},
    {"UPDOWN", D, D, "msctls_updown32", 0x50000027, 0},
    {"RichEdit50W", D, D, "RichEdit50W", 0x503191C4, 0x200},
    {"RICHEDIT", D, D, "RichEdit50W", 0x503191C4, 0x200},
    // Names outside the table are window classes of their own.
    {"mCtrl.grid", D, D, "mCtrl.grid", 0x40000000, 0},
    {"mCtrl.treelist", 0x10010000, 0x200, "mCtrl.treelist", 0x50010000, 0x200},
    {"", D, D, "", 0x40000000, 0},
};

}  // namespace

TEST(ControlKinds, EachKindNameCreatesItsClassAndStyles) {
    for (const CreationCase& c : kCreationCases) {
        const ControlCreation creation = ResolveControlCreation(c.kind, c.style, c.exStyle);
        EXPECT_EQ(creation.windowClass, c.windowClass) << c.kind;
        EXPECT_EQ(creation.style, c.createdStyle) << c.kind << std::hex << " style 0x" << creation.style;
        EXPECT_EQ(creation.exStyle, c.createdExStyle) << c.kind << std::hex << " ex 0x" << creation.exStyle;
    }
}

TEST(ControlKinds, EveryControlIsAChild) {
    for (const ControlKind& kind : kControlKinds)
        for (const std::uint32_t style : {D, 0u, 0x10000000u}) {
            const ControlCreation creation = ResolveControlCreation(kind.names[0], style, D);
            EXPECT_EQ(creation.style & kWsChild, kWsChild) << kind.names[0];
        }
}

// A name found twice would make the second kind unreachable; a lower-case name in the
// table could never be found.
TEST(ControlKinds, EveryNameIsUpperCaseAndFoundOnce) {
    std::set<std::string> seen;
    for (const ControlKind& kind : kControlKinds) {
        ASSERT_NE(kind.names[0], nullptr);
        for (const char* name : kind.names) {
            if (!name) continue;
            EXPECT_TRUE(seen.insert(name).second) << name << " twice";
            EXPECT_EQ(FindControlKind(name), &kind) << name;
            std::string lower(name);
            for (char& ch : lower) ch = static_cast<char>(ch >= 'A' && ch <= 'Z' ? ch + 32 : ch);
            EXPECT_EQ(FindControlKind(lower), &kind) << lower;
        }
    }
    EXPECT_EQ(FindControlKind("mCtrl.grid"), nullptr);
    EXPECT_EQ(FindControlKind("BUTTONS"), nullptr);
}

TEST(ControlKinds, KindsThatKeepTheirOwnFont) {
    const std::set<std::string> withoutFormFont = {
        "BITMAPLABEL", "ICONLABEL", "CUSTOMLABEL", "FRAME", "FRAMEWINDOW", "LINE", "PROGRESSBAR",
        "MSCTLS_PROGRESS32", "SYSLINK", "PAGER", "SYSPAGER", "HSCROLLBAR", "VSCROLLBAR", "SIZEBAR",
        "SIZEBOX", "SIZEGRIP", "TRACKBAR", "MSCTLS_TRACKBAR32", "SLIDER", "UPDOWN", "MSCTLS_UPDOWN32"};
    for (const ControlKind& kind : kControlKinds)
        for (const char* name : kind.names) {
            if (!name) continue;
            EXPECT_EQ((kind.rules & kRuleNoFormFont) != 0, withoutFormFont.count(name) == 1) << name;
        }
    EXPECT_EQ(ResolveControlCreation("mCtrl.grid", D, D).rules & kRuleNoFormFont, 0u)
        << "other classes take the form's font";
}

TEST(ControlKinds, ImageKindsNameTheirImageInTheCaption) {
    EXPECT_TRUE(ResolveControlCreation("BITMAPLABEL", D, D).rules & kRuleBitmapCaption);
    EXPECT_TRUE(ResolveControlCreation("BITMAPBUTTON", D, D).rules & kRuleBitmapCaption);
    EXPECT_TRUE(ResolveControlCreation("ICONLABEL", D, D).rules & kRuleIconCaption);
    EXPECT_TRUE(ResolveControlCreation("ICONBUTTON", D, D).rules & kRuleIconCaption);
    int imageKinds = 0;
    for (const ControlKind& kind : kControlKinds)
        if (kind.rules & (kRuleBitmapCaption | kRuleIconCaption)) ++imageKinds;
    EXPECT_EQ(imageKinds, 4);
    EXPECT_TRUE(ResolveControlCreation("SIZEBOX", D, D).rules & kRuleLowerRightCorner);
    EXPECT_TRUE(ResolveControlCreation("PROGRESSBAR", D, D).rules & kRuleProgressRange);
}
