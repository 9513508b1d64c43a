// How the core talks to the user: messages and yes/no questions, all under one caption.
// The Win32 shell shows message boxes; tests answer from a script.
#pragma once

#include <string_view>

namespace orv::library {

inline constexpr std::string_view kPromptCaption = "Orvinta插件";

enum class MessageKind { Error, Information, Exclamation };

class Prompter {
public:
    virtual ~Prompter() = default;
    virtual void message(std::string_view text, MessageKind kind) = 0;
    // A destructive step's question; No is the default answer.
    virtual bool ask(std::string_view question) = 0;
};

}  // namespace orv::library
