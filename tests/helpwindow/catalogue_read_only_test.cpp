// The catalogue commands on library files the user may not write: each says so clearly,
// leaves every row as it was and returns.
#include "helpwindow/catalogue_fixture.h"

#include "library/schema.h"
#include "library/sqlite_host_db.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/fsuid.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <thread>

namespace orv::test {
namespace {

using library::kPrivate;
using library::kPublic;
namespace fs = std::filesystem;

constexpr unsigned kNobody = 65534;

std::string r(int lib, long long id) { return "r" + std::to_string(lib) + std::to_string(id); }
std::string k(int lib, long long id) { return "k" + std::to_string(lib) + std::to_string(id); }

// Opens the files as a user without write permission would: they are made read-only and
// opened from a thread whose file-system user is nobody, so that a test run as root
// (which may write anything) gets a read-only connection too. "" or why not.
std::string openReadOnly(library::SqliteHostDb& db, const std::string& pub, const std::string& pri) {
    for (const std::string& file : {pub, pri})
        fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    std::string why;
    std::thread opener([&] {
        if (setfsuid(kNobody) == -1) {
            why = "cannot take another file-system user";
            return;
        }
        for (const std::string& file : {pub, pri}) {
            const int fd = ::open(file.c_str(), O_RDWR);
            if (fd >= 0) {
                ::close(fd);
                why = "the library files stay writable here";
                return;
            }
        }
        std::string error;
        if (!db.open(kPublic, pub, library::OpenMode::ExistingOnly, error) ||
            !db.open(kPrivate, pri, library::OpenMode::ExistingOnly, error))
            why = error;
    });
    opener.join();
    return why;
}

struct Libraries {
    long long root = 0, bin = 0, source = 0, target = 0, print = 0, privateCategory = 0, privateEntry = 0;
    long long old = 0;
};

Libraries fill(library::HostDb& db) {
    LibraryRows rows(db);
    Libraries l;
    l.root = rows.privateRoot();
    l.bin = rows.category(kPublic, 0, "[公用库回收站]", library::kCategoryRecycleBin, library::kRecycleBinSort);
    l.old = rows.entry(kPublic, l.bin, "Old");
    l.source = rows.category(kPublic, 0, "Statements");
    l.target = rows.category(kPublic, 0, "Graphics");
    l.print = rows.entry(kPublic, l.source, "Print");
    l.privateCategory = rows.category(kPrivate, 0, "Mine");
    l.privateEntry = rows.entry(kPrivate, l.privateCategory, "Helper");
    return l;
}

TEST(CatalogueReadOnly, EveryCommandSaysWhyAndLeavesTheFilesAsTheyWere) {
    TempDir dir;
    const std::string pub = dir.file("PubHelp.db"), pri = dir.file("PriHelp.db");
    Libraries l;
    {
        library::SqliteHostDb writable;
        std::string error;
        ASSERT_TRUE(writable.open(kPublic, pub, library::OpenMode::CreateMissing, error)) << error;
        ASSERT_TRUE(writable.open(kPrivate, pri, library::OpenMode::CreateMissing, error)) << error;
        l = fill(writable);
    }
    library::SqliteHostDb db;
    if (const std::string why = openReadOnly(db, pub, pri); !why.empty()) GTEST_SKIP() << why;

    library::Settings settings;
    settings.kill = 0;
    settings.update = 1;
    const std::string failedWrite = "写数据库失败！\r\n错误信息：\r\n";
    const struct {
        const char* name;
        std::function<void(CatalogueRig&)> run;
        std::string said;  // how the last message starts
    } cases[] = {
        {"into the public bin",
         [&](CatalogueRig& rig) {
             rig.select({k(kPublic, l.print)});
             rig.catalogue.DeleteSelection();
         },
         failedWrite},
        {"the first private delete makes a bin",
         [&](CatalogueRig& rig) {
             rig.select({k(kPrivate, l.privateEntry)});
             rig.catalogue.DeleteSelection();
         },
         failedWrite},
        {"for good",
         [&](CatalogueRig& rig) {
             rig.select({k(kPublic, l.old)});
             rig.catalogue.DeleteSelection();
         },
         failedWrite},
        {"move",
         [&](CatalogueRig& rig) {
             rig.select({k(kPublic, l.print)});
             rig.catalogue.MoveSelection(l.target);
         },
         failedWrite},
        {"paste",
         [&](CatalogueRig& rig) {
             rig.select({r(kPublic, l.source)});
             rig.catalogue.CopySelection();
             rig.select({r(kPublic, l.target)});
             rig.catalogue.PasteCopied(false);
         },
         "复制分类出错，写入公库的数据库失败"},
        {"favorite",
         [&](CatalogueRig& rig) {
             rig.select({k(kPrivate, l.privateEntry)});
             rig.catalogue.ToggleFavorite();
         },
         failedWrite},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string before = snapshot(db);
        CatalogueRig rig(db, settings);
        rig.prompter.answer = true;
        c.run(rig);
        ASSERT_FALSE(rig.prompter.said.empty());
        const std::string& message = rig.prompter.said.back();
        EXPECT_EQ(message.rfind(c.said, 0), 0u) << message;
        if (c.said == failedWrite) {
            EXPECT_NE(message.find("readonly"), std::string::npos) << message;
        }
        EXPECT_EQ(snapshot(db), before);
    }
}

}  // namespace
}  // namespace orv::test
