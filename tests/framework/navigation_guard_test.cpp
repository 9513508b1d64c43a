// What a page view may load by itself, and which addresses go to the user's browser.
#include "framework/navigation_guard.h"

#include <gtest/gtest.h>

namespace orv::framework {
namespace {

TEST(NavigationGuard, FolderAddressesAsAnEngineWritesThem) {
    EXPECT_EQ(FolderFileUrl("C:\\Program Files\\Orvinta"), "file:///C:/Program Files/Orvinta/");
    EXPECT_EQ(FolderFileUrl("C:/ide/"), "file:///C:/ide/");
    EXPECT_EQ(FolderFileUrl("/opt/ide"), "file:///opt/ide/");
}

TEST(NavigationGuard, OnlyOurPagesAndTheIdeFolderLoad) {
    const NavigationGuard guard(FolderFileUrl("C:\\Orvinta IDE"));
    struct Case {
        const char* url;
        bool allowed;
    } cases[] = {
        {"file:///C:/Orvinta IDE/_orv_page_3.htm", true},
        {"file:///C:/Orvinta%20IDE/view/pui/help.css", true},
        {"file:///c:/orvinta ide/VIEW/pui/prettify.css?v=2#x", true},
        {"about:blank", true},
        {"data:image/png;base64,iVBORw0KGgo=", true},
        {"file:///C:/Orvinta IDE/", false},  // the folder itself is no page
        {"file:///C:/Orvinta IDE/../Windows/win.ini", false},
        {"file:///C:/Orvinta IDE/view/../../secret.txt", false},
        {"file:///C:/Orvinta IDE/view/..%2F..%2Fsecret.txt", false},
        {"file:///C:/Orvinta IDE/%2e%2e/secret.txt", false},
        {"file:///C:/Orvinta IDE2/page.htm", false},
        {"file:///D:/other/page.htm", false},
        {"http://evil.example/steal", false},
        {"https://www.freebasic.net/", false},
        {"javascript:alert(1)", false},
        {"about:srcdoc", false},
        {"ftp://host/file", false},
        {"", false},
    };
    for (const Case& c : cases) EXPECT_EQ(guard.Allows(c.url), c.allowed) << c.url;
}

TEST(NavigationGuard, APosixFolderToo) {
    const NavigationGuard guard(FolderFileUrl("/work/ide"));
    EXPECT_TRUE(guard.Allows("file:///work/ide/view/pui/help.css"));
    EXPECT_FALSE(guard.Allows("file:///work/ide/../etc/passwd"));
    EXPECT_FALSE(guard.Allows("file:///etc/passwd"));
}

TEST(NavigationGuard, OutsideAddressesAreWebAndMail) {
    EXPECT_TRUE(IsOutsideAddress("http://www.freebasic.net/forum"));
    EXPECT_TRUE(IsOutsideAddress("HTTPS://example.org"));
    EXPECT_TRUE(IsOutsideAddress("mailto:someone@example.org"));
    EXPECT_FALSE(IsOutsideAddress("file:///C:/Windows/system32/calc.exe"));
    EXPECT_FALSE(IsOutsideAddress("javascript:alert(1)"));
}

}  // namespace
}  // namespace orv::framework
