// Reading the sync server's replies: the frame around the payload, and the error words
// that turn a reply into a message for the user.
#pragma once

#include "library/prompt.h"

#include <functional>
#include <string>
#include <string_view>

namespace orv::sync {

// The payload sits between the first two occurrences of this marker.
inline constexpr std::string_view kReplyMarker = "澄岭";
// Every reply that is not an error carries this.
inline constexpr std::string_view kGoodReplySign = "//chengling//";

// What the user reads when the account has no changes of the public library left.
inline constexpr std::string_view kNoChangesLeft = "你的公共库修改次数不足，请24小后再修改。";
// How many changes a day each account level has, as the setup window shows it.
inline constexpr std::string_view kAccountLevels =
    "【同步修改】服务器公共库文档次数(暂定)，等级说明登陆网站查看。\r\n"
    "账号等级，普通(10积分内)：24小时修改     1 次。\r\n"
    "账号等级，资深(  1万以内)：24小时修改     3 次。\r\n"
    "账号等级，高级(10万以下)：24小时修改   30 次。\r\n"
    "账号等级，至尊(10万以上)：24小时修改 300 次。";

// The text between the first and the second marker; "" when either is missing.
std::string replyPayload(std::string_view reply);

// The message a reply calls for, "" for a good reply. The first matching row of the
// error table decides; an empty reply (time-out, no connection, stopped) is a failure
// to communicate.
std::string serverReplyMessage(std::string_view reply);

// 0 for a good reply. Otherwise shows the message as an error, calls `openSetup` (when
// set) so that the user can correct the account, and returns -1.
int CheckServerReply(library::Prompter& prompter, std::string_view reply,
                     const std::function<void()>& openSetup = {});

}  // namespace orv::sync
