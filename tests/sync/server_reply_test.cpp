// The reply frame and the error table of server replies.
#include "sync/server_reply.h"
#include "support/recording_prompter.h"

#include <gtest/gtest.h>

#include <vector>

using namespace orv;

namespace {

using RecordingPrompter = orv::test::RecordingPrompter;

}  // namespace

TEST(ServerReply, PayloadBetweenTheFirstTwoMarkers) {
    const struct { const char* reply; const char* payload; } cases[] = {
        {"澄岭abc澄岭", "abc"}, {"x澄岭a澄岭b澄岭", "a"}, {"澄岭澄岭", ""},
        {"澄岭abc", ""},       {"abc", ""},            {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(sync::replyPayload(c.reply), c.payload) << c.reply;
}

TEST(ServerReply, EveryRowOfTheErrorTableInOrder) {
    const struct { std::string reply; const char* message; } cases[] = {
        {"密码错误3", "密码错误！！！\r\n已经出错次数：3\r\n连续出错10次将会冻结账号。"},
        {"非法数据 密码错误", "密码错误！！！\r\n已经出错次数：\r\n连续出错10次将会冻结账号。"},
        {"非法数据会员不存在", "联网数据异常，被服务器拒绝访问！！！\r\n服务器接受到软件发送的数据校对错误。"},
        {"会员不存在密码超5次", "你输入的帐号名不存在！！！"},
        {"密码超5次被锁用户", "由于密码出错太多，账号已经被冻结！"},
        {"被锁用户服务器维护中", "你的帐号已经加了【安全锁】，无法使用软件。\r\n你可以联系澄岭为你解锁后才可以使用。"},
        {"//chengling//服务器维护中公库出错", "服务器维护中，暂时不可用，稍候再试。"},
        {"公库出错次数不足", "网络数据库异常，请联系澄岭。"},
        {"次数不足Error", "你的公共库修改次数不足，请24小后再修改。"},
        {"澄岭x澄岭//chengling//Error", "服务器发生故障！！请联系澄岭排错。"},
        {"澄岭x澄岭", "网络异常，无法和澄岭的服务器通信。"},
        {"", "网络异常，无法和澄岭的服务器通信。"},
    };
    for (const auto& c : cases) {
        RecordingPrompter prompter;
        int setupOpened = 0;
        EXPECT_EQ(sync::CheckServerReply(prompter, c.reply, [&] { ++setupOpened; }), -1) << c.reply;
        ASSERT_EQ(prompter.shown.size(), 1u) << c.reply;
        EXPECT_EQ(prompter.shown[0], c.message) << c.reply;
        EXPECT_EQ(prompter.kinds[0], library::MessageKind::Error);
        EXPECT_EQ(setupOpened, 1);
    }
}

TEST(ServerReply, GoodReplyShowsNothing) {
    RecordingPrompter prompter;
    int setupOpened = 0;
    EXPECT_EQ(sync::CheckServerReply(prompter, "澄岭MDAwMA==澄岭//chengling//", [&] { ++setupOpened; }), 0);
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(setupOpened, 0);
    // Without a setup window to open the error is still shown.
    EXPECT_EQ(sync::CheckServerReply(prompter, "被锁用户"), -1);
    EXPECT_EQ(prompter.shown.size(), 1u);
}
