// Reading the fields of the three requests once they are unpacked, and refusing any
// that are malformed: a change body must be one the clients can replay as it stands.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orv::server {

// "name,digest" of the account test.
struct AccountFields {
    std::string name;
    std::string digest;
};

// "name,digest,code,target,record name,packed body" of a submission; `body` is unpacked.
struct ChangeFields {
    AccountFields account;
    long long code = 0;
    long long target = 0;
    std::string name;
    std::string body;
};

// "random fraction,date" of a fetch, optionally ",account name" to leave that account's
// own changes out.
struct FetchFields {
    long long after = 0;
    std::string except;
};

// Each is nullopt for a malformed request, with `why` (for the log) saying what is wrong.
std::optional<AccountFields> readAccountFields(std::string_view text, std::string& why);
std::optional<ChangeFields> readChangeFields(std::string_view text, std::string& why);
std::optional<FetchFields> readFetchFields(std::string_view text, std::string& why);

// Ids a change refers to that the libraries hold already; the server never hands them out.
struct IdsSeen {
    std::vector<long long> categories;
    std::vector<long long> entries;
    std::vector<long long> data;
};
IdsSeen idsSeenIn(const ChangeFields& change);

// The sID item of an entry's assignment list, when it names one.
std::optional<long long> dataIdOf(std::string_view body);

}  // namespace orv::server
