// Message boxes for the prompt seam. Win32 only.
#include "framework/win32/message_box_prompter.h"

#include "text/encoding.h"
#include "text/win32/wide_text.h"

namespace orv::framework {

void MessageBoxPrompter::message(std::string_view text, library::MessageKind kind) {
    UINT icon = MB_ICONERROR;
    if (kind == library::MessageKind::Information) icon = MB_ICONINFORMATION;
    else if (kind == library::MessageKind::Exclamation) icon = MB_ICONEXCLAMATION;
    MessageBoxW(owner_, text::utf8ToWide(text).c_str(), text::utf8ToWide(library::kPromptCaption).c_str(), MB_OK | icon);
}

bool MessageBoxPrompter::ask(std::string_view question) {
    return MessageBoxW(owner_, text::utf8ToWide(question).c_str(), text::utf8ToWide(library::kPromptCaption).c_str(),
                       MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

}  // namespace orv::framework
