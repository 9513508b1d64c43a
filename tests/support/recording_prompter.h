// A prompter that notes every message it is asked to show, with its kind, and answers
// every question No (the default answer of a destructive step).
#pragma once

#include "library/prompt.h"

#include <string>
#include <string_view>
#include <vector>

namespace orv::test {

class RecordingPrompter : public library::Prompter {
public:
    void message(std::string_view text, library::MessageKind kind) override {
        shown.emplace_back(text);
        kinds.push_back(kind);
    }
    bool ask(std::string_view) override { return false; }

    std::vector<std::string> shown;
    std::vector<library::MessageKind> kinds;
};

}  // namespace orv::test
