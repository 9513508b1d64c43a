// What the server's port.php answers to the account test, the submission of a change and
// the fetch of other users' changes: from the packed request to the framed reply.
#pragma once

#include "registration_page.h"
#include "server_store.h"
#include "sync/wire_packing.h"

#include <functional>
#include <mutex>
#include <string>
#include <string_view>

namespace orv::server {

// The words the client's reply check looks for.
namespace words {
inline constexpr std::string_view kWrongPassword = "密码错误";  // followed by the count so far
inline constexpr std::string_view kMalformed = "非法数据";
inline constexpr std::string_view kUnknownAccount = "会员不存在";
inline constexpr std::string_view kFrozen = "密码超5次";
inline constexpr std::string_view kLocked = "被锁用户";
inline constexpr std::string_view kStoreFailure = "公库出错";
inline constexpr std::string_view kAllowanceUsedUp = "次数不足";
inline constexpr std::string_view kFault = "Error";
}  // namespace words

// The client warns that ten wrong passwords in a row freeze the account.
inline constexpr long long kFreezeAfterFailures = 10;
// The allowance counts the changes of the last 24 hours.
inline constexpr long long kAllowanceWindowSeconds = 24 * 60 * 60;

// Changes per 24 hours of an account without an allowance of its own, by its points.
long long allowanceForPoints(long long points);

// Now, in the libraries' date convention; tests turn it.
using Clock = std::function<long long()>;

class PortScript {
public:
    explicit PortScript(ServerStore& store, Clock now = {}, sync::DigitSource digit = sync::clockDigit);

    // The reply to "port.php?c=<command>" with the packed text of the request (the value
    // of "a" for a GET, the whole body for a POST). Never throws.
    std::string answer(std::string_view command, bool post, std::string_view packed);
    // The registration page: the form for a GET, the made account (or the form again
    // with why not) for a POST.
    std::string registrationPage(bool post, const Registration& registration);

private:
    std::string testAccount(std::string_view packed);
    std::string submitChange(std::string_view packed);
    std::string fetchChanges(std::string_view packed);
    // "" when the account may go on, else the reply that refuses it.
    std::string refusal(const std::optional<Account>& account, std::string_view digest);
    long long remainingChanges(const Account& account, long long now);
    std::string goodReply(std::string_view payload) const;

    ServerStore& store_;
    Clock now_;
    sync::DigitSource digit_;
    std::mutex mutex_;  // one request at a time reaches the store
};

}  // namespace orv::server
