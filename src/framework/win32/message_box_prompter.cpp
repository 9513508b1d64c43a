// Message boxes for the prompt seam. Win32 only.
#include "framework/win32/message_box_prompter.h"

#include "framework/win32/message_box.h"

namespace orv::framework {

void MessageBoxPrompter::message(std::string_view text, library::MessageKind kind) {
    UINT icon = MB_ICONERROR;
    if (kind == library::MessageKind::Information) icon = MB_ICONINFORMATION;
    else if (kind == library::MessageKind::Exclamation) icon = MB_ICONEXCLAMATION;
    ShowMessageBox(owner_, text, MB_OK | icon);
}

bool MessageBoxPrompter::ask(std::string_view question) {
    return ShowMessageBox(owner_, question, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

}  // namespace orv::framework
