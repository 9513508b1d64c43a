// orvhelp's login, fetch and submit against a loopback server named in an IDE folder's
// settings.
#include "cli/commands.h"
#include "library/schema.h"
#include "library/sqlite_host_db.h"
#include "protocol_server.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace orv;

namespace {

class ServerCommands : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.start());
        std::filesystem::create_directories(dir.path() / "Settings");
        test::writeFile(dir.path() / "Settings" / "orv.ini",
                        "[setup]\nuser=O'Neil\npassword=" + sync::PasswordDigest("secret") + "\nserver=" +
                            server.base() + "\n");
        std::string error;
        ASSERT_TRUE(db.open(library::kPublic, dir.file("Settings/PubHelp.db"), library::OpenMode::CreateMissing, error))
            << error;
        ASSERT_GT(db.addItemUtf(library::kPublic, library::tables::Directory, "dID=5,DirName='A'"), 0);
    }
    int orvhelp(std::vector<std::string> args) {
        args.insert(args.begin(), {"--ide", dir.path().string()});
        std::ostringstream o, e;
        const int status = cli::run(args, o, e);
        out = o.str();
        err = e.str();
        return status;
    }
    std::string value(std::string_view table, std::string_view where, std::string_view field) {
        return db.findOnly(library::kPublic, table, where, field, "");
    }

    test::ProtocolServer server;
    test::TempDir dir;
    library::SqliteHostDb db;
    std::string out, err;
};

}  // namespace

TEST_F(ServerCommands, LoginShowsTheAllowance) {
    EXPECT_EQ(orvhelp({"login"}), 0) << err;
    EXPECT_EQ(out, "测试登陆成功！！！\n你的账号积分：120\n可以修改公库次数为：10\n剩余可修改公库次数：7\n");
    server.fixedReply = "会员不存在";
    EXPECT_EQ(orvhelp({"login"}), 1);
    EXPECT_NE(err.find("你输入的帐号名不存在！！！"), std::string::npos) << err;
}

TEST_F(ServerCommands, SubmitSendsThenAppliesAndRecordsWithTheServersIds) {
    const std::string body = "dID=5,DisplayKeyWord='Print',KeyWord='Print',UKeyWord='PRINT',nType=1";
    EXPECT_EQ(orvhelp({"submit", "2", "0", "Print, Using", body}), 0) << err;
    EXPECT_EQ(out, "501\n");
    EXPECT_EQ(value(library::tables::KeywordList, "kID=501", "sID"), "777");
    EXPECT_EQ(value(library::tables::KeywordList, "kID=501", "dID"), "5");
    EXPECT_EQ(value(library::tables::KeywordData, "sID=777", "uDate"), "1700000000");
    EXPECT_EQ(value(library::tables::User, "uID=9", "uName"), "O'Neil");
    EXPECT_EQ(value(library::tables::UpdateList, "tID=501", "sText"), body + ",sID=777");
    EXPECT_EQ(value(library::tables::UpdateList, "tID=501", "sName"), "Print, Using");
    EXPECT_EQ(value(library::tables::UpdateList, "tID=501", "uName"), "O'Neil");
    EXPECT_EQ(value(library::tables::UpdateList, "tID=501", "sExecute"), "2");
    EXPECT_EQ(value(library::tables::UpdateList, "tID=501", "uDate"), "1700000000");
}

TEST_F(ServerCommands, ARefusedSubmitChangesNothing) {
    server.fixedReply = "次数不足";
    EXPECT_EQ(orvhelp({"submit", "1", "5", "A", "DirName='B'"}), 1);
    EXPECT_NE(err.find("你的公共库修改次数不足"), std::string::npos) << err;
    EXPECT_EQ(value(library::tables::Directory, "dID=5", "DirName"), "A");
    EXPECT_EQ(db.count(library::kPublic, library::tables::UpdateList, ""), 0);
    EXPECT_EQ(db.count(library::kPublic, library::tables::User, ""), 0);
    EXPECT_EQ(orvhelp({"submit", "6", "5", "A", "DirName='B'"}), 2);
}

TEST_F(ServerCommands, FetchPrintsHowManyRecordsWereAdded) {
    server.records = {"uID=4,uName='x',sCommand=1,sName='n',sText='DirName=''n''',sExecute=0,uDate=5,tID=5",
                      "uID=4,sText=(SELECT 1),sExecute=0"};
    EXPECT_EQ(orvhelp({"fetch"}), 0) << err;
    EXPECT_EQ(out, "1\n");
    EXPECT_EQ(db.count(library::kPublic, library::tables::UpdateList, "sExecute=0"), 1);

    server.fixedReply = "no sync server here";
    out.clear();
    err.clear();
    EXPECT_EQ(orvhelp({"fetch"}), 1) << "a fetch that brought nothing usable is no success";
    EXPECT_NE(err.find("服务器的回答无法识别，没有取得更新记录。"), std::string::npos) << err;
    EXPECT_EQ(out, "");
}
