// The reply frame and the table of server error words.
#include "sync/server_reply.h"

namespace orv::sync {
namespace {

struct ErrorRow {
    std::string_view word;
    std::string_view message;
    // When set, the reply text after the word (the server's count) follows the message,
    // then this closing line.
    std::string_view afterCount = {};
};

// In the order they are tested: a reply holding several words gets the first one's text.
constexpr ErrorRow kErrorRows[] = {
    {"密码错误", "密码错误！！！\r\n已经出错次数：", "\r\n连续出错10次将会冻结账号。"},
    {"非法数据", "联网数据异常，被服务器拒绝访问！！！\r\n服务器接受到软件发送的数据校对错误。"},
    {"会员不存在", "你输入的帐号名不存在！！！"},
    {"密码超5次", "由于密码出错太多，账号已经被冻结！"},
    {"被锁用户", "你的帐号已经加了【安全锁】，无法使用软件。\r\n你可以联系澄岭为你解锁后才可以使用。"},
    {"服务器维护中", "服务器维护中，暂时不可用，稍候再试。"},
    {"公库出错", "网络数据库异常，请联系澄岭。"},
    {"次数不足", kNoChangesLeft},
    {"Error", "服务器发生故障！！请联系澄岭排错。"},
};

constexpr std::string_view kNoContact = "网络异常，无法和澄岭的服务器通信。";

}  // namespace

std::string replyPayload(std::string_view reply) {
    const size_t first = reply.find(kReplyMarker);
    if (first == std::string_view::npos) return {};
    const size_t start = first + kReplyMarker.size();
    const size_t second = reply.find(kReplyMarker, start);
    if (second == std::string_view::npos) return {};
    return std::string(reply.substr(start, second - start));
}

std::string serverReplyMessage(std::string_view reply) {
    for (const ErrorRow& row : kErrorRows) {
        const size_t at = reply.find(row.word);
        if (at == std::string_view::npos) continue;
        std::string message(row.message);
        if (!row.afterCount.empty())
            message.append(reply.substr(at + row.word.size())).append(row.afterCount);
        return message;
    }
    if (reply.find(kGoodReplySign) == std::string_view::npos) return std::string(kNoContact);
    return {};
}

int CheckServerReply(library::Prompter& prompter, std::string_view reply, const std::function<void()>& openSetup) {
    const std::string message = serverReplyMessage(reply);
    if (message.empty()) return 0;
    prompter.message(message, library::MessageKind::Error);
    if (openSetup) openSetup();
    return -1;
}

}  // namespace orv::sync
