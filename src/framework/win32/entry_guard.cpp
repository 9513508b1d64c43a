// Telling the user of a failure that an entry point stopped. Win32 only.
#include "framework/win32/entry_guard.h"

#include "framework/win32/message_box_prompter.h"

#include <atomic>
#include <string>

namespace orv::framework {

void TellUser::operator()(const char* reason) const {
    static std::atomic<bool> telling{false};
    if (telling.exchange(true)) return;
    struct Done {
        ~Done() { telling = false; }
    } done;
    MessageBoxPrompter(owner).message(std::string(action) + "\r\n" + reason, library::MessageKind::Error);
}

}  // namespace orv::framework
