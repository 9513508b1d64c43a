// Options read from and written to the settings file.
#include "library/ini_file.h"
#include "library/settings.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

using namespace orv::library;
using orv::test::TempDir;

TEST(Settings, DefaultsWhenTheFileHasNoSetupSection) {
    TempDir dir;
    orv::test::writeFile(dir.path() / "orv.ini", "[orvHelp]\r\nDividing=260\r\n");
    const Settings s = readSettings(*makeSettingsStore(dir.file("orv.ini")));
    EXPECT_EQ(s.kill, 1);
    EXPECT_EQ(s.update, 0);
    EXPECT_EQ(s.recycle, 1);
    EXPECT_EQ(s.classified, 1);
    EXPECT_EQ(s.user, "");
    EXPECT_EQ(s.server, kDefaultServer);
    EXPECT_EQ(s.dividing, 260);
    EXPECT_EQ(s.placement.right, 750);
    EXPECT_EQ(s.placement.bottom, 450);
    // A missing file reads the same way.
    EXPECT_EQ(readSettings(*makeSettingsStore(dir.file("none.ini"))).dividing, 205);
}

TEST(Settings, ValuesAsTheProgramHoldsThem) {
    TempDir dir;
    orv::test::writeFile(dir.path() / "orv.ini",
                         "[setup]\r\nuser=O'Neil\r\nserver=http://example.test:1314\r\nkill=0\r\nupdate=\r\n"
                         "[orvHelp]\r\nRight=0\r\nBottom=600\r\nLeft=40\r\nTopMost=-1\r\n");
    const Settings s = readSettings(*makeSettingsStore(dir.file("orv.ini")));
    EXPECT_EQ(s.user, "O'Neil");
    EXPECT_EQ(s.server, "http://example.test:1314/");
    EXPECT_EQ(s.kill, 0);
    EXPECT_EQ(s.update, 0);  // empty text takes the default
    EXPECT_EQ(s.placement.right, 750);
    EXPECT_EQ(s.placement.bottom, 600);
    EXPECT_EQ(s.placement.left, 40);
    EXPECT_EQ(s.placement.topMost, -1);
}

TEST(Settings, WrittenBackKeyByKeyAndReadAgain) {
    TempDir dir;
    orv::test::writeFile(dir.path() / "orv.ini", "; kept\r\n[other]\r\nx=1\r\n");
    auto store = makeSettingsStore(dir.file("orv.ini"));
    Settings s = readSettings(*store);
    s.placement = {10, 20, 810, 620, -1, 2, 3};
    s.user = "O'Neil";
    s.update = 1;
    std::string error;
    ASSERT_TRUE(writePlacement(*store, s.placement, error)) << error;
    ASSERT_TRUE(writeSetup(*store, s, error)) << error;
    ASSERT_TRUE(writeDividing(*store, 300, error)) << error;
    const Settings back = readSettings(*store);
    EXPECT_EQ(back.placement.left, 10);
    EXPECT_EQ(back.placement.bottom, 620);
    EXPECT_EQ(back.placement.showCmd, 3);
    EXPECT_EQ(back.user, "O'Neil");
    EXPECT_EQ(store->read(kSetupSection, "user", ""), "O'Neil");
    EXPECT_EQ(back.update, 1);
    EXPECT_EQ(back.dividing, 300);
    EXPECT_EQ(store->read("other", "x", ""), "1");
}

TEST(Settings, AnUnwritableFileFailsClearlyAndChangesNothing) {
    TempDir dir;
    // The settings path is a folder: nothing can be written there.
    std::filesystem::create_directories(dir.path() / "orv.ini");
    auto store = makeSettingsStore(dir.file("orv.ini"));
    std::string error;
    EXPECT_FALSE(writeDividing(*store, 300, error));
    EXPECT_NE(error.find("cannot write"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "orv.ini"));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "orv.ini.tmp"));
    // A settings folder that does not exist.
    auto missing = makeSettingsStore(dir.file("no/such/orv.ini"));
    EXPECT_FALSE(writeDividing(*missing, 300, error));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "no"));
}
