// The setup window's core: the account check, writing back only the options and account
// fields that changed (the password hashed only when its box was typed into), and the
// account name a registration page hands back.
#pragma once

#include "library/settings.h"
#include "library/settings_store.h"

#include <optional>
#include <string>
#include <string_view>

namespace orv::setup {

inline constexpr std::string_view kAccountMissing = "你还没有输入的帐号名";
inline constexpr std::string_view kPasswordMissing = "你还没有输入的密码";
inline constexpr std::string_view kSpecialCharacter = "帐号名中不可以有特殊字符：";
// The characters an account name may not hold, in the order the check looks for them.
inline constexpr std::string_view kSpecialCharacters = "`~!@#$%^&*()_+=-{[}]|\\:;'<>,.?/\"";
inline constexpr std::string_view kRegistrationPage = "?user-create2.htm";
inline constexpr std::string_view kRegisteredMark = "<span class=\"out-ok\">";
inline constexpr std::string_view kRegisteredName = "注册账号成功！！！<br>账号名：";

// What the account fields are refused for, or "" when they pass (both trimmed first).
std::string AccountProblem(std::string_view account, std::string_view password);

// The window's fields: the four boxes ticked or not, and the three texts as typed (the
// password box shows the stored digest until it is typed into).
struct SetupFields {
    bool kill = true, update = false, recycle = true, classified = true;
    std::string user, password, server;
};
SetupFields FieldsOf(const library::Settings& settings);

struct SetupWritten {
    bool ok = true;
    std::string error;            // what could not be written, when not ok
    bool recycleChanged = false;  // the contents tree shows bins otherwise now
};

// "确定修改": every field that differs from the settings is stored in `settings` and
// written to `store`, a ticked box as -1 and a clear one as 0; a new password is stored
// as its digest, a server address with one "/" at its end. Stops at the first write
// that fails.
SetupWritten ApplySetup(library::Settings& settings, library::SettingsStore& store, const SetupFields& fields);
// The account part alone (user, password, server), as the account test stores it.
SetupWritten ApplyAccount(library::Settings& settings, library::SettingsStore& store, const SetupFields& fields);

// The registration page of the server at `server` (with or without its closing slash).
std::string registrationUrl(std::string_view server);

// The new account's name in what the registration page handed back; nothing unless the
// page reported success.
std::optional<std::string> RegisteredAccount(std::string_view pageText);

}  // namespace orv::setup
