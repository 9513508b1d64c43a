// The help window's toolbar. Win32 only.
#include "helpwindow/win32/toolbar.h"

#include "framework/win32/controls.h"
#include "framework/win32/images.h"
#include "framework/win32/screen_scale.h"
#include "helpwindow/menu_states.h"
#include "helpwindow/window_layout.h"
#include "text/win32/wide_text.h"

#include <stdexcept>

namespace orv::helpwindow {
namespace {

constexpr int kToolbarIcon = 16;

}  // namespace

Toolbar::~Toolbar() {
    if (images_) ImageList_Destroy(images_);
}

void Toolbar::create(HWND form, const char* font) {
    framework::ControlOptions options;
    options.kind = "TOOLBAR";
    options.name = L"ToolBar1";
    options.id = kToolBar1;
    options.style = WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | TBSTYLE_LIST |
                    CCS_TOP | CCS_NODIVIDER;
    options.font = font;
    std::string error;
    window_ = framework::CreateControl(form, options, error);
    if (!window_) throw std::runtime_error(error);
    SendMessageW(window_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(window_, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS | TBSTYLE_EX_MIXEDBUTTONS);
    const int size = framework::ScreenScale().ScaleX(kToolbarIcon);
    images_ = ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 12, 4);
    if (!images_) throw std::runtime_error("工具栏图标未能建立。");
    SendMessageW(window_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_));
    texts_.reserve(kToolbarButtons.size());  // the buttons keep pointers into the texts
    for (const CommandItem& item : kToolbarButtons) {
        TBBUTTON button{};
        button.idCommand = item.id;
        if (item.text.empty()) {
            button.fsStyle = BTNS_SEP;
        } else {
            HICON icon = framework::LoadIconResource(item.icon, size);
            button.iBitmap = icon ? ImageList_AddIcon(images_, icon) : I_IMAGENONE;
            if (icon) DestroyIcon(icon);
            button.fsState = TBSTATE_ENABLED;
            button.fsStyle = BTNS_BUTTON | BTNS_AUTOSIZE | BTNS_SHOWTEXT | (item.id == kCmdNewMenu ? BTNS_WHOLEDROPDOWN : 0);
            texts_.push_back(text::utf8ToWide(item.text));
            button.iString = reinterpret_cast<INT_PTR>(texts_.back().c_str());
        }
        if (!SendMessageW(window_, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&button)))
            throw std::runtime_error("工具栏按钮未能建立。");
    }
    SendMessageW(window_, TB_AUTOSIZE, 0, 0);
}

void Toolbar::setText(int id, const std::string& text) {
    std::wstring value = text::utf8ToWide(text);
    TBBUTTONINFOW info{};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_TEXT;
    info.pszText = value.data();
    SendMessageW(window_, TB_SETBUTTONINFOW, id, reinterpret_cast<LPARAM>(&info));
    SendMessageW(window_, TB_AUTOSIZE, 0, 0);
}

void Toolbar::enable(int id, bool enabled) { SendMessageW(window_, TB_ENABLEBUTTON, id, MAKELPARAM(enabled, 0)); }

bool Toolbar::answerTooltip(NMHDR& header) {
    if (!window_ || header.code != TTN_GETDISPINFOW) return false;
    HWND tips = reinterpret_cast<HWND>(SendMessageW(window_, TB_GETTOOLTIPS, 0, 0));
    if (!tips || header.hwndFrom != tips) return false;
    auto& request = reinterpret_cast<NMTTDISPINFOW&>(header);
    const int id = static_cast<int>(header.idFrom);
    const LRESULT length = SendMessageW(window_, TB_GETBUTTONTEXTW, static_cast<WPARAM>(id), 0);
    tip_.assign(length > 0 ? static_cast<size_t>(length) : 0, L'\0');
    if (length > 0) SendMessageW(window_, TB_GETBUTTONTEXTW, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(tip_.data()));
    request.lpszText = tip_.data();
    request.hinst = nullptr;
    return true;
}

RECT Toolbar::buttonRect(int id) const {
    RECT button{};
    SendMessageW(window_, TB_GETRECT, id, reinterpret_cast<LPARAM>(&button));
    MapWindowPoints(window_, nullptr, reinterpret_cast<POINT*>(&button), 2);
    return button;
}

}  // namespace orv::helpwindow
