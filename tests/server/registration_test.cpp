// The registration page over real HTTP: the form, an account made from it that can then
// sign in, and the refusals shown above the form again; the stand-in's hostile pages.
#include "running_server.h"

#include "setup/setup_options.h"
#include "sync/server_reply.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>

namespace orv::test {
namespace {

std::string form(const std::string& name, const std::string& password, const std::string& confirm) {
    const auto encoded = [](const std::string& text) {
        std::string out;
        for (const unsigned char c : text) {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", c);
            out += std::isalnum(c) ? std::string(1, static_cast<char>(c)) : std::string(hex);
        }
        return out;
    };
    return "uName=" + encoded(name) + "&uPass=" + encoded(password) + "&uPass2=" + encoded(confirm);
}

TEST(Registration, AnAccountMadeOnThePageCanSignIn) {
    RunningServer server;
    const std::string page = server.get("/" + std::string(setup::kRegistrationPage));
    for (const char* field : {"name=\"uName\"", "name=\"uPass\"", "name=\"uPass2\"", "action=\"?user-create2.htm\""})
        EXPECT_NE(page.find(field), std::string::npos) << field;

    const std::string done = server.post("/?user-create2.htm", form("李四", "secret", "secret"));
    EXPECT_EQ(setup::RegisteredAccount(done), "李四") << done;
    EXPECT_TRUE(sync::serverReplyMessage(server.testAccount("李四", "secret")).empty()) << "the new account signs in";

    const struct {
        std::string name, password, confirm, refusal;
    } refused[] = {
        {"李四", "other", "other", "账号名已经存在，请换一个。"},
        {"a#b", "secret", "secret", "帐号名中不可以有特殊字符：#"},
        {"", "secret", "secret", "你还没有输入的帐号名"},
        {"王五", "one", "two", "两次输入的密码不一样。"},
        {"<b>x", "secret", "secret", "帐号名中不可以有特殊字符：&lt;"},  // shown as text
    };
    for (const auto& r : refused) {
        const std::string again = server.post("/?user-create2.htm", form(r.name, r.password, r.confirm));
        EXPECT_FALSE(setup::RegisteredAccount(again).has_value()) << r.name;
        EXPECT_NE(again.find("<span class=\"out-err\">" + r.refusal), std::string::npos) << again;
    }
    EXPECT_TRUE(server.get("/?other.htm").empty());
}

// The stand-in's hostile pages are served under their fixed paths only, and the claim
// among them reads as a registration, as a tampered answer would.
TEST(Registration, TheHostilePagesAreServedUnderTheirOwnPathsOnly) {
    RunningServer server;
    for (const char* name : {"alert-flood", "popup", "close", "leave", "claim"})
        EXPECT_NE(server.get("/hostile/" + std::string(name) + ".htm").find("<html>"), std::string::npos) << name;
    EXPECT_EQ(setup::RegisteredAccount(server.get("/hostile/claim.htm")), "intruder");
    EXPECT_TRUE(server.get("/hostile/other.htm").empty());
    EXPECT_TRUE(server.get("/hostile/claim.htm/").empty());
}

}  // namespace
}  // namespace orv::test
