// The control kinds a form can create by name: window class, default styles and the
// few kind-specific creation rules, kept as one table.
#pragma once

#include "framework/window_styles.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace orv::framework {

// What the creator passes for "the kind's default" style or extended style (its -1).
inline constexpr std::uint32_t kDefaultStyle = 0xFFFFFFFF;

// Kind-specific rules, as bits of ControlKind::rules.
enum ControlRule : unsigned {
    kRuleNoFormFont = 1u << 0,        // the form's font is not set on it
    kRuleBitmapCaption = 1u << 1,     // the caption names a bitmap, set after creation
    kRuleIconCaption = 1u << 2,       // the caption names an icon, set after creation
    kRuleButtonStyles = 1u << 3,      // passed styles 0x8000, 0x1, 0xB map to full styles
    kRuleRadioGroupStart = 1u << 4,   // a passed WS_GROUP starts a group with the full style
    kRuleControlParent = 1u << 5,     // WS_EX_CONTROLPARENT is always added
    kRuleLowerRightCorner = 1u << 6,  // placed in the parent's lower right corner
    kRuleProgressRange = 1u << 7,     // range 0 to 100 and position 0 set after creation
};

struct ControlKind {
    std::array<const char*, 3> names;  // upper case; unused places are null
    const char* windowClass;
    std::uint32_t defaultStyle;
    std::uint32_t defaultExStyle;
    unsigned rules;
};

// clang-format off
inline constexpr std::uint32_t kVisTab = kWsVisible | kWsTabStop;
inline constexpr ControlKind kControlKinds[] = {
    {{"BUTTON"},                                     "BUTTON",            kVisTab | 0xF00, 0, kRuleButtonStyles},
    {{"CUSTOMBUTTON", "OWNERDRAWBUTTON"},            "Button",            kVisTab | 0xB, 0, 0},
    {{"RADIOBUTTON", "OPTION"},                      "Button",            kVisTab | 0xD09, 0, kRuleRadioGroupStart},
    {{"CHECKBOX"},                                   "Button",            kVisTab | 0xD03, 0, 0},
    {{"CHECK3STATE"},                                "Button",            kVisTab | 0xD06, 0, 0},
    {{"LABEL"},                                      "Static",            kWsVisible | kWsGroup | 0x100, 0, 0},
    {{"BITMAPLABEL"},                                "Static",            kWsVisible | kWsGroup | 0xE, kWsExTransparent, kRuleNoFormFont | kRuleBitmapCaption},
    {{"ICONLABEL"},                                  "Static",            kWsVisible | kWsGroup | 0x3, kWsExTransparent, kRuleNoFormFont | kRuleIconCaption},
    {{"BITMAPBUTTON"},                               "Button",            kVisTab | 0x80, 0, kRuleBitmapCaption},
    {{"ICONBUTTON"},                                 "Button",            kVisTab | 0x40, 0, kRuleIconCaption},
    {{"CUSTOMLABEL"},                                "Static",            kWsVisible | kWsGroup | 0xD, 0, kRuleNoFormFont},
    {{"FRAME", "FRAMEWINDOW"},                       "Static",            kWsVisible | kWsClipSiblings | kWsGroup | 0x7, kWsExTransparent, kRuleNoFormFont},
    {{"GROUPBOX"},                                   "Button",            kWsVisible | kWsClipSiblings | kWsGroup | 0x7, kWsExTransparent, 0},
    {{"LINE"},                                       "Static",            kWsVisible | 0x12, kWsExTransparent, kRuleNoFormFont},
    {{"EDIT", "TEXTBOX"},                            "Edit",              kVisTab | 0x80, kWsExClientEdge, 0},
    {{"EDITMULTILINE", "MULTILINETEXTBOX"},          "Edit",              kWsVisible | kWsVScroll | kWsTabStop | 0x1184, kWsExClientEdge, 0},
    {{"COMBOBOX"},                                   "COMBOBOX",          kWsChild | kWsVisible | kWsBorder | kWsVScroll | kWsTabStop | 0x302, kWsExClientEdge, 0},
    {{"COMBOBOXEX", "COMBOBOXEX32"},                 "ComboBoxEx32",      kWsVisible | kWsBorder | kWsTabStop | 0x3, 0, 0},
    {{"LISTBOX"},                                    "LISTBOX",           kWsVisible | kWsBorder | kWsVScroll | kWsHScroll | kWsTabStop | 0x43, kWsExClientEdge, 0},
    {{"PROGRESSBAR", "MSCTLS_PROGRESS32"},           "msctls_progress32", kWsVisible, 0, kRuleNoFormFont | kRuleProgressRange},
    {{"HEADER", "SYSHEADER32"},                      "SysHeader32",       kWsVisible | 0x3, 0, 0},
    {{"TREEVIEW", "SYSTREEVIEW32"},                  "SysTreeView32",     kWsVisible | kWsBorder | kWsTabStop | 0x27, kWsExClientEdge, 0},
    {{"LISTVIEW", "SYSLISTVIEW32"},                  "SysListView32",     kWsVisible | kWsClipChildren | kWsTabStop | 0x349, kWsExClientEdge, 0},
    {{"TOOLBAR", "TOOLBARWINDOW32"},                 "ToolbarWindow32",   kWsVisible | kWsClipSiblings | kWsClipChildren | kWsBorder | 0x901, 0, 0},
    {{"REBAR", "REBARWINDOW32"},                     "ReBarWindow32",     kWsVisible | kWsClipSiblings | kWsClipChildren | kWsBorder | 0x640, 0, 0},
    {{"DATETIMEPICKER", "SYSDATETIMEPICK32"},        "SysDateTimePick32", kVisTab, 0, 0},
    {{"MONTHCALENDAR", "MONTHCAL", "SYSMONTHCAL32"}, "SysMonthCal32",     kVisTab, kWsExClientEdge, 0},
    {{"IPADDRESS", "SYSIPADDRESS32"},                "SysIPAddress32",    kVisTab, kWsExClientEdge, 0},
    {{"HOTKEY", "MSCTLS_HOTKEY32"},                  "msctls_hotkey32",   kVisTab, kWsExClientEdge, 0},
    {{"ANIMATE", "ANIMATION", "SYSANIMATE32"},       "SysAnimate32",      kWsVisible | 0x2, 0, 0},
    {{"SYSLINK"},                                    "SYSLINK",           kVisTab, 0, kRuleNoFormFont},
    {{"PAGER", "SYSPAGER"},                          "SysPager",          kVisTab | 0x1, 0, kRuleNoFormFont},
    {{"TAB", "TABCONTROL", "SYSTABCONTROL32"},       "SysTabControl32",   kWsVisible | kWsClipSiblings | kWsClipChildren | kWsGroup | kWsTabStop | 0x800, 0, kRuleControlParent},
    {{"STATUSBAR", "MSCTLS_STATUSBAR32"},            "msctls_statusbar32", kWsVisible | kWsClipSiblings | kWsClipChildren | 0x103, 0, 0},
    {{"SIZEBAR", "SIZEBOX", "SIZEGRIP"},             "Scrollbar",         kWsVisible | 0x14, 0, kRuleNoFormFont | kRuleLowerRightCorner},
    {{"HSCROLLBAR"},                                 "Scrollbar",         kVisTab, 0, kRuleNoFormFont},
    {{"VSCROLLBAR"},                                 "Scrollbar",         kVisTab | 0x1, 0, kRuleNoFormFont},
    {{"TRACKBAR", "MSCTLS_TRACKBAR32", "SLIDER"},    "msctls_trackbar32", kVisTab | 0x101, 0, kRuleNoFormFont},
    {{"UPDOWN", "MSCTLS_UPDOWN32"},                  "msctls_updown32",   kWsVisible | 0x27, 0, kRuleNoFormFont},
    {{"RICHEDIT", "RICHEDIT50W"},                    "RichEdit50W",       kWsVisible | kWsVScroll | kWsHScroll | kWsTabStop | 0x91C4, kWsExClientEdge, 0},
};
// clang-format on

// The kind of a kind name, compared in upper case; null for a name not in the table.
const ControlKind* FindControlKind(std::string_view kindName);

// What CreateWindowEx is called with for a control.
struct ControlCreation {
    std::string windowClass;
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
    unsigned rules = 0;
};

// The class and styles of a new control: a kind in the table gives its class, and its
// defaults where kDefaultStyle is passed; any other name is itself the class, with
// defaults of 0 (mCtrl's "mCtrl.grid", "mCtrl.treelist"). WS_CHILD is always added.
ControlCreation ResolveControlCreation(std::string_view kindName, std::uint32_t style, std::uint32_t exStyle);

}  // namespace orv::framework
