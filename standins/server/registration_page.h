// The server's registration page (?user-create2.htm): the form that asks for an account
// name and password, and the answers to it, as the setup window's online window shows
// them. The account itself is made by PortScript::registerAccount.
#pragma once

#include <string>
#include <string_view>

namespace orv::server {

// What a person fills in.
struct Registration {
    std::string name;
    std::string password;
    std::string confirm;
};

// The form, with a refusal above it when there is one.
std::string registrationForm(std::string_view refusal = {});
// The success page; its marked span is what the setup window reads the name from.
std::string registrationDone(std::string_view name, long long points, long long allowance);

// Why a registration is refused before the store is asked, or "".
std::string registrationProblem(const Registration& r);

inline constexpr std::string_view kNameTaken = "账号名已经存在，请换一个。";
inline constexpr std::string_view kPasswordsDiffer = "两次输入的密码不一样。";

}  // namespace orv::server
