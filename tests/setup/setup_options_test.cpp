// The setup window's core: the account check, what "确定修改" writes (only what changed,
// boxes as -1 or 0, the password hashed once, the server with its slash), a write that
// fails, and the account name a registration page hands back.
#include "setup/setup_options.h"

#include "sync/wire_packing.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace orv::test {
namespace {

// Keys in memory; every write is recorded, and one key can be made to fail.
class RecordingStore : public library::SettingsStore {
public:
    std::string read(std::string_view section, std::string_view key, std::string_view fallback) const override {
        const auto found = values.find(std::string(section) + "/" + std::string(key));
        return found == values.end() ? std::string(fallback) : found->second;
    }
    bool write(std::string_view section, std::string_view key, std::string_view value, std::string& error) override {
        if (key == failing) {
            error = "cannot write " + std::string(key);
            return false;
        }
        writes.push_back(std::string(key) + "=" + std::string(value));
        values[std::string(section) + "/" + std::string(key)] = std::string(value);
        return true;
    }
    const std::string& path() const override { return path_; }

    std::map<std::string, std::string> values;
    std::vector<std::string> writes;
    std::string failing;

private:
    std::string path_ = "orv.ini";
};

TEST(SetupOptions, TheAccountCheckNamesTheFirstSpecialCharacterOfItsList) {
    const struct {
        const char* account;
        const char* password;
        std::string problem;
    } cases[] = {
        {"  ", "secret", "你还没有输入的帐号名"},
        {"demo", " ", "你还没有输入的密码"},
        {"li si", "secret", ""},
        {"a#b", "secret", "帐号名中不可以有特殊字符：#"},
        {"a/b#c", "secret", "帐号名中不可以有特殊字符：#"},  // "#" comes before "/" in the list
        {"say\"hi\"", "secret", "帐号名中不可以有特殊字符：\""},
        {"back`tick~", "secret", "帐号名中不可以有特殊字符：`"},
        {"澄岭", "secret", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(setup::AccountProblem(c.account, c.password), c.problem) << c.account;
    EXPECT_EQ(setup::kSpecialCharacters.size(), 32u);
}

TEST(SetupOptions, OnlyWhatChangedIsWrittenAndThePasswordIsHashedOnce) {
    RecordingStore store;
    library::Settings settings;
    settings.user = "demo";
    settings.password = sync::PasswordDigest("orvdemo");
    settings.server = "http://example.test/";

    // Nothing touched: nothing written, the digest kept.
    setup::SetupFields fields = setup::FieldsOf(settings);
    EXPECT_TRUE(setup::ApplySetup(settings, store, fields).ok);
    EXPECT_TRUE(store.writes.empty());

    fields.recycle = false;
    fields.update = true;
    fields.server = "http://127.0.0.1:1314";
    const setup::SetupWritten written = setup::ApplySetup(settings, store, fields);
    EXPECT_TRUE(written.ok);
    EXPECT_TRUE(written.recycleChanged);
    EXPECT_EQ(store.writes, (std::vector<std::string>{"update=-1", "recycle=0", "server=http://127.0.0.1:1314/"}));
    EXPECT_TRUE(settings.freeChanges());
    EXPECT_EQ(settings.password, sync::PasswordDigest("orvdemo")) << "an untouched box keeps the digest";

    store.writes.clear();
    fields = setup::FieldsOf(settings);
    fields.password = "new secret";
    fields.user = "li si";
    EXPECT_FALSE(setup::ApplyAccount(settings, store, fields).recycleChanged);
    EXPECT_EQ(store.writes,
              (std::vector<std::string>{"user=li si", "password=" + sync::PasswordDigest("new secret")}));
    EXPECT_EQ(settings.password, sync::PasswordDigest("new secret"));

    // The digest typed back into the box is no new password.
    store.writes.clear();
    fields = setup::FieldsOf(settings);
    EXPECT_TRUE(setup::ApplySetup(settings, store, fields).ok);
    EXPECT_TRUE(store.writes.empty());
}

TEST(SetupOptions, AWriteThatFailsStopsAndSaysWhich) {
    RecordingStore store;
    store.failing = "user";
    library::Settings settings;
    setup::SetupFields fields = setup::FieldsOf(settings);
    fields.kill = false;
    fields.user = "demo";
    fields.server = "http://other/";
    const setup::SetupWritten written = setup::ApplySetup(settings, store, fields);
    EXPECT_FALSE(written.ok);
    EXPECT_EQ(written.error, "cannot write user");
    EXPECT_EQ(store.writes, std::vector<std::string>{"kill=0"});
    EXPECT_EQ(settings.user, "") << "what was not written is not taken";
    EXPECT_EQ(settings.server, library::Settings{}.server);
}

TEST(SetupOptions, TheRegistrationPageHandsBackTheNewAccountName) {
    const struct {
        const char* page;
        std::optional<std::string> account;
    } cases[] = {
        {"<div><span class=\"out-ok\">注册账号成功！！！<br>账号名：李四<br>积分：0</span></div>", "李四"},
        {"<span class=\"out-ok\">注册账号成功！！！<br>账号名：demo2</span>", "demo2"},
        {"<span class=\"out-err\">账号名已经存在</span>", std::nullopt},
        {"注册账号成功！！！<br>账号名：nobody<br>", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(setup::RegisteredAccount(c.page), c.account) << c.page;
}

}  // namespace
}  // namespace orv::test
