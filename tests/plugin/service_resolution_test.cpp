// Finding host services among a module's exports.
#include "plugin/service_resolution.h"

#include <gtest/gtest.h>

#include <map>

using orv::plugin::resolveService;

namespace {

void* address(int n) { return reinterpret_cast<void*>(static_cast<uintptr_t>(n)); }

}  // namespace

TEST(ServiceResolution, ExactNameThenDecoratedSizes) {
    const std::map<std::string, void*> exports{
        {"GETEXEAPP", address(1)},        {"GETEXEAPP@0", address(2)},
        {"SQLITEBOX_FIND@32", address(3)}, {"SQLITEBOX_COUNT@8", address(4)},
        {"SQLITEBOX_COUNT@12", address(5)}, {"SQLITEBOX_VACUUM@252", address(6)},
        {"SQLITEBOX_ERRMSG@256", address(7)}, {"SQLITEBOX_MAXID@6", address(8)},
    };
    std::vector<std::string> asked;
    const auto lookup = [&](const std::string& name) -> void* {
        asked.push_back(name);
        auto it = exports.find(name);
        return it == exports.end() ? nullptr : it->second;
    };
    const struct { const char* name; int expected; } cases[] = {
        {"GETEXEAPP", 1},          // the exact name wins
        {"SQLITEBOX_FIND", 3},     // only decorated
        {"SQLITEBOX_COUNT", 4},    // the first size that is exported
        {"SQLITEBOX_VACUUM", 6},   // the largest size tried
        {"SQLITEBOX_ERRMSG", 0},   // beyond 252
        {"SQLITEBOX_MAXID", 0},    // not a multiple of 4
        {"INSERTTOOL", 0},
        {"SQLITEBOX_FIND@8", 0},   // a decorated name is taken as it stands
    };
    for (const auto& c : cases) EXPECT_EQ(resolveService(c.name, lookup), address(c.expected)) << c.name;
    asked.clear();
    resolveService("INSERTTOOL", lookup);
    EXPECT_EQ(asked.size(), 1u + 64u);  // the name, then @0 ... @252
    EXPECT_EQ(asked.back(), "INSERTTOOL@252");
}
