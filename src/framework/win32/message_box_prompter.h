// The prompt seam as message boxes under the plug-in's caption. Win32 only.
#pragma once

#include "library/prompt.h"

#include <windows.h>

namespace orv::framework {

class MessageBoxPrompter : public library::Prompter {
public:
    explicit MessageBoxPrompter(HWND owner = nullptr) : owner_(owner) {}
    void message(std::string_view text, library::MessageKind kind) override;
    bool ask(std::string_view question) override;

private:
    HWND owner_;
};


}  // namespace orv::framework
