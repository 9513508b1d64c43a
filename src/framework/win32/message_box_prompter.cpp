// Message boxes for the prompt seam. Win32 only.
#include "framework/win32/message_box_prompter.h"

#include "text/encoding.h"

namespace orv::framework {

std::wstring toWide(std::string_view utf8) {
    const std::u16string w = text::utf8ToUtf16(utf8);
    return std::wstring(w.begin(), w.end());
}

void MessageBoxPrompter::message(std::string_view text, library::MessageKind kind) {
    UINT icon = MB_ICONERROR;
    if (kind == library::MessageKind::Information) icon = MB_ICONINFORMATION;
    else if (kind == library::MessageKind::Exclamation) icon = MB_ICONEXCLAMATION;
    MessageBoxW(owner_, toWide(text).c_str(), toWide(library::kPromptCaption).c_str(), MB_OK | icon);
}

bool MessageBoxPrompter::ask(std::string_view question) {
    return MessageBoxW(owner_, toWide(question).c_str(), toWide(library::kPromptCaption).c_str(),
                       MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

}  // namespace orv::framework
