// Entries of the shared library written to take the help window's view away, shown
// through the real page path: whatever an entry holds, the view keeps our page, nothing
// remote is asked for and no script of the entry runs.
#include <winsock2.h>

#include "helpwindow/journey_fixture.h"

#include "helpwindow/win32/page_message.h"
#include "library/fragment.h"
#include "wine/request_listener.h"
#include "wine/user_input.h"

#include <gtest/gtest.h>

#include <string>

using namespace orv;
using namespace orv::helpwindow;
using namespace orv::helpwindow_test;

namespace {

// What a script of an entry would do if it ran: a title of its own and a request.
std::string scriptBody(const wine::RequestListener& remote, const std::string& name) {
    return "document.title='ran';new Image().src='" + remote.url("/ran-" + name) + "';";
}

TEST_F(HelpWindowJourney, HostileEntriesNeverTakeTheViewAway) {
    wine::RequestListener remote;
    const std::string script = "<script>" + scriptBody(remote, "script") + "</script>";
    const struct {
        const char* name;
        std::string explain;
    } entries[] = {
        {"refresh to the settings", "<meta http-equiv=\"refresh\" content=\"0;url=Settings/orv.ini\">"},
        {"refresh above the folder", "<meta http-equiv=\"refresh\" content=\"0;url=..\\Settings\\orv.ini\">"},
        {"refresh to a data page",
         "<meta http-equiv=\"refresh\" content=\"0;url=data:text/html,<script>" + scriptBody(remote, "data") + "</script>\">"},
        {"refresh to script", "<meta http-equiv=\"refresh\" content=\"0;url=javascript:" + scriptBody(remote, "js") + "\">"},
        {"refresh away", "<META HTTP-EQUIV=refresh CONTENT=0;url=" + remote.url("/refresh") + ">"},
        {"base", "<base href=\"" + remote.url("/base/") + "\"><img src=\"pic.png\"><a href=\"page\">page</a>"},
        {"frames", "<iframe src=\"" + remote.url("/iframe") + "\"></iframe><object data=\"" + remote.url("/object") +
                       "\"></object><embed src=\"" + remote.url("/embed") + "\">"},
        {"form", "<form action=\"" + remote.url("/post") +
                     "\" method=\"post\"><input name=\"a\" value=\"1\"><button id=\"send\">send</button></form>"},
        {"remote image and styles",
         "<img src=\"" + remote.url("/image.png") + "\"><link rel=\"stylesheet\" href=\"" + remote.url("/style.css") +
             "\"><style>@import url(\"" + remote.url("/import.css") + "\");</style><p style=\"background:url(" +
             remote.url("/background.png") + ")\">styled</p><img src=\"file://otherhost/share/pic.png\">"},
        {"svg", "<svg xmlns=\"http://www.w3.org/2000/svg\" onload=\"" + scriptBody(remote, "onload") + "\">" + script +
                    "<image href=\"" + remote.url("/svg-image.png") + "\"/></svg><img src=\"view/pui/missing.svg\">" + script},
        {"out of its section", "</div></blockquote></div></body></html><meta http-equiv=\"refresh\" content=\"0;url=" +
                                   remote.url("/out") + "\"><base href=\"" + remote.url("/") + "\">" + script},
        {"misquoted", "<meta content=\"0;url=" + remote.url("/quoted") + "\" http-equiv=refresh/><<meta>meta http-equiv=refresh content=0;url=" +
                          remote.url("/joined") + ">"},
    };
    open();
    HelpWindowDriver& w = window();
    int n = 0;
    for (const auto& entry : entries) {
        SCOPED_TRACE(entry.name);
        const std::string mark = "hostile entry " + std::to_string(++n);
        const long long sID = db_.addItemUtf(library::kPublic, library::tables::KeywordData,
                                             library::Assignments()
                                                 .addText("KeyWord", mark)
                                                 .addText("UKeyWord", mark)
                                                 .addText("Description", mark)
                                                 .addText("Explain", entry.explain + "<p>" + mark + "</p>")
                                                 .str());
        const long long kID = db_.addItemUtf(library::kPublic, library::tables::KeywordList,
                                             library::Assignments().add("dID", 0).add("sID", sID).addText("DisplayKeyWord", mark).str());
        ASSERT_GT(kID, 0);
        const std::string link = "k0" + std::to_string(kID);
        SendMessageW(w.form(), kPageMessage, kFollowLink, reinterpret_cast<LPARAM>(link.c_str()));
        ASSERT_TRUE(w.waitForPage("<p>" + mark + "</p>"));
        w.runScript(L"var b = document.getElementById('send'); if (b) b.click(); return '';");
        wine::pumpFor(1500);
        EXPECT_NE(w.pageSource().find("<p>" + mark + "</p>"), std::string::npos) << "the view left the entry's page";
        EXPECT_NE(w.runScript(L"return location.href;").find(L"_miniblink__data_"), std::wstring::npos)
            << text::wideToUtf8(w.runScript(L"return location.href;"));
        EXPECT_EQ(w.runScript(L"return document.title;"), L"Orvinta 帮助") << "a script of the entry ran";
        EXPECT_EQ(w.runScript(L"return String(document.querySelectorAll('meta[http-equiv=refresh], base, iframe, "
                              L"object, embed, form, link:not([href^=\"view/pui/\"])').length);"),
                  L"0");
    }
    w.picture("helpwindow-hostile-entry.png");
    for (const std::string& request : remote.requests()) ADD_FAILURE() << "a hostile entry reached " << request;
}

}  // namespace
