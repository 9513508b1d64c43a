// The plug-in's side of the host services, called in-process against the services this
// test program exports: resolution by name, marshalling both ways, and absent services.
#include "library/fragment.h"
#include "library/schema.h"
#include "plugin/win32/host_services.h"
#include "plugin/win32/plugin_host_db.h"
#include "wine/ide_fixture.h"

#include <gtest/gtest.h>

using namespace orv;
using namespace orv::library;
using orv::plugin::PluginHostDb;

namespace {

class HostServicesTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(plugin::resolveHostServices(), 15); }
    PluginHostDb db;
};

}  // namespace

TEST_F(HostServicesTest, ServicesExportedOnlyWithTheirDecorationAreFound) {
    HMODULE self = GetModuleHandleW(nullptr);
    EXPECT_EQ(GetProcAddress(self, "SQLITEBOX_COUNT"), nullptr);
    EXPECT_NE(GetProcAddress(self, "SQLITEBOX_COUNT@12"), nullptr);
    EXPECT_EQ(reinterpret_cast<void*>(plugin::hostServices().count),
              reinterpret_cast<void*>(GetProcAddress(self, "SQLITEBOX_COUNT@12")));
    EXPECT_NE(GetProcAddress(self, "GETEXEAPP"), nullptr);
    for (const void* p : plugin::hostServices().uncalled) EXPECT_NE(p, nullptr);
    EXPECT_EQ(plugin::hostIdeFolder(), wine::ideFolderUtf8());
    EXPECT_EQ(plugin::hostIdeFolder().back(), '\\');
}

TEST_F(HostServicesTest, TextCrossesBothWaysUnchanged) {
    const std::string name = "澄岭 it's \xF0\x9F\x98\x80";
    const long long a = db.addItem(kPrivate, tables::Directory, Assignments().addText("DirName", name).add("Sort", 7).str());
    const long long b = db.addItemUtf(kPrivate, tables::Directory, Assignments().addText("DirName", name).add("Sort", 7).str());
    ASSERT_GT(a, 0);
    ASSERT_EQ(b, a + 1);
    const std::string both = "dID in (" + std::to_string(a) + "," + std::to_string(b) + ")";
    ResultTable t;
    ASSERT_EQ(db.find(kPrivate, tables::Directory, both, t, "dID,DirName,Sort", "dID", 0), 2);
    EXPECT_EQ(t.columns, (std::vector<std::string>{"dID", "DirName", "Sort"}));
    EXPECT_EQ(t.text(0, 1), name);
    EXPECT_EQ(t.text(1, 1), name);
    EXPECT_EQ(t.number(1, 2), 7);
    EXPECT_EQ(db.find(kPrivate, tables::Directory, both, t, "dID", "dID", 1), 1);
    EXPECT_EQ(db.count(kPrivate, tables::Directory, both), 2);

    EXPECT_EQ(db.update(kPrivate, tables::Directory, "dID=" + std::to_string(a), "DirName='甲'"), 1);
    EXPECT_EQ(db.updateUtf(kPrivate, tables::Directory, "dID=" + std::to_string(b), "DirName='乙'"), 1);
    Row row;
    ASSERT_TRUE(db.findOne(kPrivate, tables::Directory, both, row, "*", "dID"));
    ASSERT_EQ(row.size(), kDirectoryColumns.size());
    EXPECT_EQ(cellText(row, dir::DirName), "甲");
    EXPECT_EQ(db.findOnly(kPrivate, tables::Directory, "dID=" + std::to_string(b), "DirName", ""), "乙");
    EXPECT_EQ(db.findOnly(kPrivate, tables::Directory, "dID=-1", "DirName", ""), "");
    EXPECT_FALSE(db.findOne(kPrivate, tables::Directory, "dID=-1", row, "*", ""));
    EXPECT_EQ(db.maxId(kPrivate, tables::Directory, "dID", ""), b);
    EXPECT_EQ(db.deleteItem(kPrivate, tables::Directory, both), 2);
}

TEST_F(HostServicesTest, JoinedStarReadAndTransactions) {
    EXPECT_TRUE(db.transaction(kPublic, TransactionStep::Begin));
    const long long sID = db.addItemUtf(kPublic, tables::KeywordData, "KeyWord='Print',UKeyWord='PRINT',Explain='<b>x</b>'");
    const long long kID = db.addItemUtf(kPublic, tables::KeywordList,
                                        "dID=1,sID=" + std::to_string(sID) + ",DisplayKeyWord='Print'");
    EXPECT_TRUE(db.transaction(kPublic, TransactionStep::Commit));
    Row row;
    ASSERT_TRUE(db.findOne(kPublic, tables::ListAndData,
                           joinConditions({tables::JoinCondition, "KeywordList.kID=" + std::to_string(kID)}), row,
                           "*", ""));
    EXPECT_EQ(row.size(), 23u);
    EXPECT_EQ(cellText(row, joined::Explain), "<b>x</b>");
}

TEST_F(HostServicesTest, FailuresCarryTheHostsErrorText) {
    EXPECT_EQ(db.addItemUtf(kPublic, tables::Directory, "NoSuchColumn=1"), 0);
    EXPECT_NE(db.errMsg(kPublic).find("NoSuchColumn"), std::string::npos) << db.errMsg(kPublic);
    EXPECT_EQ(failedAddMessage(db, kPublic).rfind("写数据库失败！", 0), 0u);
}

TEST_F(HostServicesTest, AbsentServicesFailCleanly) {
    // A module that exports none of the services: every binding stays empty.
    ASSERT_EQ(plugin::resolveHostServicesFrom(GetModuleHandleW(L"kernel32.dll")), 0);
    ResultTable t;
    t.columns = {"left over"};
    Row row{"left over"};
    EXPECT_EQ(db.find(kPublic, tables::Directory, "", t, "*", "", 0), 0);
    EXPECT_TRUE(t.columns.empty());
    EXPECT_FALSE(db.findOne(kPublic, tables::Directory, "", row, "*", ""));
    EXPECT_TRUE(row.empty());
    EXPECT_EQ(db.count(kPublic, tables::Directory, ""), 0);
    EXPECT_EQ(db.errMsg(kPublic), "the IDE does not provide the service SQLITEBOX_COUNT");
    EXPECT_EQ(db.addItemUtf(kPublic, tables::Directory, "DirName='x'"), 0);
    EXPECT_EQ(db.update(kPublic, tables::Directory, "dID=1", "DirName='x'"), -1);
    EXPECT_EQ(db.findOnly(kPublic, tables::Directory, "", "dID", ""), "");
    EXPECT_FALSE(db.transaction(kPublic, TransactionStep::Begin));
    EXPECT_EQ(db.errMsg(kPublic), "the IDE does not provide the service SQLITEBOX_TRANSACTION");
    db.vacuum(kPublic);
    EXPECT_EQ(db.errMsg(kPublic), "the IDE does not provide the service SQLITEBOX_VACUUM");
    EXPECT_EQ(plugin::hostIdeFolder(), "");

    // Bound again, the services answer as the host does, and the absence is forgotten.
    ASSERT_EQ(plugin::resolveHostServices(), 15);
    const long long before = standin::hostRuntime().db.count(kPrivate, tables::Directory, "");
    const long long id = db.addItemUtf(kPrivate, tables::Directory, "DirName='back again'");
    ASSERT_GT(id, 0);
    EXPECT_EQ(db.count(kPrivate, tables::Directory, ""), before + 1);
    EXPECT_EQ(db.count(kPublic, tables::Directory, ""),
              standin::hostRuntime().db.count(kPublic, tables::Directory, ""));
    EXPECT_EQ(db.errMsg(kPublic).find("does not provide"), std::string::npos) << db.errMsg(kPublic);
    EXPECT_EQ(db.deleteItem(kPrivate, tables::Directory, "dID=" + std::to_string(id)), 1);
}
