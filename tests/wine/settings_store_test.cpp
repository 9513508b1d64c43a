// The profile functions and the program's own INI reader answer alike for the same file.
#include "library/settings.h"
#include "library/settings_store.h"
#include "text/encoding.h"
#include "wine/ide_fixture.h"

#include <gtest/gtest.h>

using namespace orv;
using namespace orv::library;
using namespace orv::wine;

namespace {

std::string utf16File(const std::string& utf8) {
    std::string out = "\xFF\xFE";
    for (char16_t c : text::utf8ToUtf16(utf8)) {
        out += static_cast<char>(c & 0xFF);
        out += static_cast<char>(c >> 8);
    }
    return out;
}

const std::wstring kFile = L"Settings\\agree.ini";

}  // namespace

TEST(SettingsStores, ProfileAndIniReadTheSameFilesAlike) {
    const std::string body =
        " [Setup] \r\nUser = 澄岭 \r\nquoted=\"a b\"\r\nsingle='x'\r\nempty=\r\n;server=c\r\n"
        "[orvHelp]\r\nRight=0\r\nDividing=260\r\n";
    const std::string files[] = {text::utf8ToGbk(body), utf16File(body)};
    const char* keys[][2] = {{"setup", "user"},   {"SETUP", "USER"},      {"setup", "quoted"},
                             {"setup", "single"}, {"setup", "empty"},     {"setup", "server"},
                             {"setup", "none"},   {"nosection", "user"},  {"orvHelp", "Right"}};
    for (const std::string& bytes : files) {
        writeIdeFile(kFile, bytes);
        const std::string path = ideFolderUtf8() + "Settings\\agree.ini";
        const auto profile = makeSettingsStore(path);
        const auto ini = makeIniSettingsStore(path);
        for (const auto& k : keys)
            EXPECT_EQ(profile->read(k[0], k[1], "<d>"), ini->read(k[0], k[1], "<d>")) << k[0] << "/" << k[1];
        EXPECT_EQ(profile->read("setup", "user", ""), "澄岭");
        const Settings a = readSettings(*profile), b = readSettings(*ini);
        EXPECT_EQ(a.user, b.user);
        EXPECT_EQ(a.server, b.server);
        EXPECT_EQ(a.placement.right, 750);
        EXPECT_EQ(b.placement.right, 750);
        EXPECT_EQ(a.dividing, b.dividing);
    }
    deleteIdeFile(kFile);
}

TEST(SettingsStores, WhatOneWritesTheOtherReads) {
    deleteIdeFile(kFile);
    const std::string path = ideFolderUtf8() + "Settings\\agree.ini";
    const auto profile = makeSettingsStore(path);
    const auto ini = makeIniSettingsStore(path);
    std::string error;
    // A new file is UTF-16, so a name outside the code page survives.
    ASSERT_TRUE(profile->write("setup", "user", "澄岭\xF0\x9F\x98\x80", error)) << error;
    EXPECT_EQ(readIdeFile(kFile).substr(0, 2), "\xFF\xFE");
    EXPECT_EQ(ini->read("setup", "user", ""), "澄岭\xF0\x9F\x98\x80");
    ASSERT_TRUE(ini->write("orvHelp", "Dividing", "321", error)) << error;
    ASSERT_TRUE(ini->write("setup", "user", "it's", error)) << error;
    EXPECT_EQ(profile->read("orvHelp", "Dividing", ""), "321");
    EXPECT_EQ(readSettings(*profile).user, "it's");  // the account name as typed
    deleteIdeFile(kFile);
}

TEST(SettingsStores, AnUnwritableFileIsReported) {
    const std::string path = ideFolderUtf8() + "Settings\\adir.ini";
    CreateDirectoryW((ideFolder() + L"Settings\\adir.ini").c_str(), nullptr);
    std::string error;
    EXPECT_FALSE(makeSettingsStore(path)->write("setup", "user", "x", error));
    EXPECT_NE(error.find("cannot write"), std::string::npos);
    RemoveDirectoryW((ideFolder() + L"Settings\\adir.ini").c_str());
}
