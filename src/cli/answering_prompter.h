// The prompter of the commands that change the libraries: messages as console lines,
// each question on a line of its own and answered Yes only when --yes was given, and
// what was shown remembered for the exit status.
#pragma once

#include "cli/command.h"

#include <ostream>
#include <string>
#include <string_view>

namespace orv::cli {

class AnsweringPrompter : public ConsolePrompter {
public:
    explicit AnsweringPrompter(Context& ctx) : ConsolePrompter(ctx), ctx_(ctx), yes_(ctx.args.has("--yes")) {}
    void message(std::string_view text, library::MessageKind kind) override {
        ConsolePrompter::message(text, kind);
        if (kind == library::MessageKind::Error) ++errors;
    }
    bool ask(std::string_view question) override {
        for (char c : question)
            if (c != '\r') ctx_.out << c;
        ctx_.out << '\n';
        if (!yes_) ++declined;
        return yes_;
    }
    int errors = 0;
    int declined = 0;

private:
    Context& ctx_;
    bool yes_;
};

// An error box or a question answered No means the command did not do what was asked:
// a failure naming `what` ("the delete").
inline void failWhenRefused(const AnsweringPrompter& prompter, const std::string& what) {
    if (prompter.errors > 0) failure(what + " did not happen");
    if (prompter.declined > 0) failure(what + " did not happen: the question was answered No (--yes answers Yes)");
}

}  // namespace orv::cli
