// The plug-in's message box. Win32 only.
#include "framework/win32/message_box.h"

#include "library/prompt.h"
#include "text/win32/wide_text.h"

namespace orv::framework {

int ShowMessageBox(HWND owner, std::string_view text, UINT flags) {
    return MessageBoxW(owner, text::utf8ToWide(text).c_str(), text::utf8ToWide(library::kPromptCaption).c_str(), flags);
}

}  // namespace orv::framework
